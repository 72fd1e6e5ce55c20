// The receive path, fed read by read so that read boundaries are exact, and the
// session against a scripted recorder on 127.0.0.1 with shortened timer periods.
#include <gtest/gtest.h>

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "platform/LocalFile.h"
#include "support/TestPictures.h"

using namespace wire;
using Bytes = std::vector<std::uint8_t>;
using testpictures::MakeJpeg;

namespace {

constexpr LinkTiming kQuiet{.responseMs = 60000, .pauseMs = 60000, .reconnectMs = 60000, .keepAliveMs = 60000,
                            .afterLoginKeyMs = 1, .afterStatusMs = 1};
constexpr std::uint8_t kPtzStop[] = {0xA0, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAF, 0x0F};

Bytes Packet(std::uint32_t type, PacketInfo info = {}, const Bytes& payload = {}, std::string_view magic = kMagic12) {
  return BuildPacket(MakeMagic(magic), PacketClass::Command, type, info, payload);
}

// The packet with another announced length and class.
Bytes Patched(Bytes p, std::uint32_t length, std::uint32_t cls = 1) {
  PutU32(&p[16], length);
  PutU32(&p[20], cls);
  return p;
}

Bytes LiveImage(int channel /*from 0*/, const Bytes& jpeg, std::uint32_t w3 = 0) {
  return Packet(DATATYPE_LIVE_IMAGE, {{4321, 0, 0, w3 ? w3 : static_cast<std::uint32_t>(channel + 1)}}, jpeg);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A JPEG comment segment put after the JFIF segment.
Bytes WithComment(Bytes jpeg, const Bytes& text) {
  const std::size_t at = 4 + (static_cast<std::size_t>(jpeg[4]) << 8 | jpeg[5]);
  Bytes segment = {0xFF, 0xFE, static_cast<std::uint8_t>((text.size() + 2) >> 8),
                   static_cast<std::uint8_t>(text.size() + 2)};
  segment.insert(segment.end(), text.begin(), text.end());
  jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), segment.begin(), segment.end());
  return jpeg;
}

// Runs the event loop until the condition holds, 5 s at most.
bool WaitUntil(const std::function<bool()>& condition) { return ardeviz_test::WaitFor(condition, 5000); }

// A recorder stand-in on 127.0.0.1 with an ephemeral port: keeps every packet
// the client sends, with its arrival time, and answers the login as told.
class FakeRecorder {
 public:
  struct Received {
    PacketHeader header;
    Bytes bytes;
    qint64 atMs = 0;
  };

  FakeRecorder() {
    m_clock.start();
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++connections;  // the tests expect one; the latest is read
        m_client = socket;
        m_pending.clear();
        QObject::connect(socket, &QTcpSocket::readyRead, [this] { Read(); });
      }
    });
    m_server.listen(QHostAddress::LocalHost, 0);
  }
  quint16 Port() const { return m_server.serverPort(); }
  bool Has(std::uint32_t type) const {
    return std::any_of(packets.begin(), packets.end(), [type](const auto& p) { return p.header.dataType == type; });
  }
  void SendLoginReply(std::uint32_t result) {
    const Bytes reply = BuildPacket(MakeMagic(kMagic12), PacketClass::Command, DATATYPE_LOGIN_REPLY, {{result, 16}});
    m_client->write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
  }

  // The recorder stops reading: what the client sends piles up in the kernel.
  void StopReading() {
    m_client->disconnect();
    m_client->setReadBufferSize(1);
  }

  std::vector<Received> packets;
  int connections = 0;

 private:
  void Read() {
    const QByteArray data = m_client->readAll();
    m_pending.insert(m_pending.end(), data.begin(), data.end());
    while (m_pending.size() >= kHeaderSize) {
      const PacketHeader header = PacketHeader::Decode(m_pending.data());
      // Not a packet, or not all of it yet: a bad one leaves the test seeing nothing more.
      if (header.totalLength < kHeaderSize || m_pending.size() < header.totalLength) return;
      packets.push_back({header, Bytes(m_pending.begin(), m_pending.begin() + header.totalLength), m_clock.elapsed()});
      m_pending.erase(m_pending.begin(), m_pending.begin() + header.totalLength);
    }
  }

  QTcpServer m_server;
  QTcpSocket* m_client = nullptr;
  Bytes m_pending;
  QElapsedTimer m_clock;
};

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeLink(kQuiet); }
  void MakeLink(LinkTiming timing) {
    link.reset();
    owner = FakeLinkOwner();  // host 127.0.0.1
    owner.port = recorder.Port();
    link = std::make_unique<CDvrLink>(&owner, timing);
    owner.link = link.get();
    link->SetArchivePanel(&panel);
  }
  // In reads of at most readSize bytes; one read unless told.
  void Feed(const Bytes& bytes, std::size_t readSize = std::numeric_limits<std::size_t>::max()) {
    for (std::size_t at = 0; at < bytes.size(); at += std::min(readSize, bytes.size() - at))
      link->InjectReceived(bytes.data() + at, std::min(readSize, bytes.size() - at));
  }
  bool Await(std::uint32_t type) { return WaitUntil([&] { return recorder.Has(type); }); }

  FakeRecorder recorder;
  FakeLinkOwner owner;
  FakeArchivePanel panel;
  std::unique_ptr<CDvrLink> link;
  const Bytes picture2 = MakeJpeg(704, 288, 2, true);
};

TEST_F(LinkTest, FramingSkipsUnusableHeadersAndWaitsForACutOne) {
  const auto report = [](std::uint32_t w0) { return Packet(DATATYPE_CHANNEL_STATUS, {{w0, 0x01000100}}); };
  // Garbage, headers announcing 0, 59 and 2^31 bytes and one of class 4: only the garbage counts as activity.
  const Bytes junk(777, 0x11);
  Feed(Concat({junk, Patched(report(1), 0), Patched(report(1), 59), Patched(report(1), 0x80000000),
               Patched(report(1), 60, 4), junk}));
  EXPECT_EQ(owner.toggles, 1);
  // Reports need alert mode and a channel from 1 to 4; a video loss reaches the panes in any mode.
  Feed(Concat({report(5), report(0)}));
  owner.alertMode = false;
  Feed(Concat({report(2), Packet(DATATYPE_CHANNEL_STATUS, {{3, 0x00010000}})}));
  EXPECT_TRUE(owner.statuses.empty());
  EXPECT_EQ(owner.videoLosses, std::vector<int>{2});
  EXPECT_EQ(link->ChannelStatusWord(), 0u);

  // A packet start cut to 59 bytes is ignored, and the next packet read, in the same read or one of its own.
  owner.alertMode = true;
  Bytes cut = report(1);
  cut.resize(59);
  Feed(cut);
  Feed(report(3));
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000103u);
  Feed(Concat({cut, report(4)}));
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000104u);
  // The last header byte arrives in one read with the whole picture that follows.
  const auto stream = Concat({report(2), LiveImage(2, picture2)});
  link->InjectReceived(stream.data(), 59);
  EXPECT_EQ(owner.statuses.size(), 2u);
  link->InjectReceived(stream.data() + 59, stream.size() - 59);
  EXPECT_EQ(owner.statuses, std::vector<int>(3, status::kChannelStatus));
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000102u);
  ASSERT_GT(picture2.size(), static_cast<std::size_t>(CDvrLink::kReceiveChunk));  // the buffers must grow
  Feed(LiveImage(2, picture2), 4096);
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2}));
}

TEST_F(LinkTest, PicturesAreShownOnlyInTheirOwnRequestedPane) {
  // A small picture in one read is refused; split over reads it is shown.
  const auto small = MakeJpeg(640, 16, 1, true, testpictures::JpegKind::Colour, 50);
  ASSERT_LT(small.size(), CDvrLink::kMinOneChunkImage);
  Feed(LiveImage(1, small));
  EXPECT_EQ(link->DecodeChannel(), 16);
  Feed(LiveImage(1, small), 60 + small.size() / 2);
  // Channel 9, an unrequested channel and a mark that says another channel are never shown.
  owner.mask = 0xFFFF;
  Feed(LiveImage(0, picture2, /*w3=*/10));
  owner.mask = 0xFB;
  Feed(LiveImage(2, picture2));
  Feed(LiveImage(1, small));  // assembled in the buffer that picture grew: still refused
  owner.mask = 0xFF;
  const auto markedOne = MakeJpeg(704, 288, 1, true);
  Feed(LiveImage(2, markedOne));
  EXPECT_EQ(link->DecodeChannel(), 16);
  EXPECT_EQ(owner.drawn, std::vector<int>{1});

  // 632 pixels are wide enough for the mark: a wrong one is refused as before (narrower
  // pictures, placed by the packet's channel, are shown against the simulated recorder).
  Feed(LiveImage(3, MakeJpeg(632, 240, 5, true)));
  Feed(LiveImage(5, MakeJpeg(632, 240, 5, true)));
  EXPECT_EQ(owner.drawn, (std::vector<int>{1, 5}));

  // After a login reply with channel byte 8 the packet's channel is trusted; undecodable bytes are still never shown.
  Feed(Packet(DATATYPE_LOGIN_REPLY, {{1, 8}}));
  Feed(LiveImage(2, markedOne));
  Feed(LiveImage(3, Bytes(5000, 0x5A)));
  EXPECT_EQ(owner.drawn, (std::vector<int>{1, 5, 2}));
}

TEST_F(LinkTest, EachChannelKeepsItsOwnPictureScaledForSmallPanesWithItsMarkChecked) {
  owner.decodeSize = QSize(211, 79);  // a nine-pane cell: half size
  Feed(LiveImage(1, MakeJpeg(704, 288, 1, true)));
  Feed(LiveImage(2, MakeJpeg(704, 288, 1, true)));  // the mark says 1: refused
  EXPECT_EQ(link->DecodeChannel(), 16);
  EXPECT_EQ(owner.fieldFlags[1], 0);
  owner.decodeSize = QSize();
  // Pictures change hands without a copy: what the owner was given for one
  // channel stays that channel's picture whatever is decoded next.
  Feed(LiveImage(0, MakeJpeg(704, 288, 0, true)));
  Feed(LiveImage(4, MakeJpeg(352, 240, 4, true)));
  Feed(LiveImage(0, MakeJpeg(704, 288, 0, true)));
  Feed(LiveImage(5, picture2));  // decoded, then refused: the mark says 2
  ASSERT_EQ(owner.drawn, (std::vector<int>{1, 0, 4, 0}));
  std::vector<std::pair<int, int>> sizes;
  for (const auto& h : owner.headers) sizes.emplace_back(h.width, h.height);
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{352, 144}, {704, 288}, {352, 240}, {704, 288}}));
  EXPECT_EQ(owner.pictureSizes, (std::vector<QSize>{{704, 288}, {704, 288}, {352, 240}, {704, 288}}));
  for (const int ch : {0, 1, 4}) {
    const CImageCodec* held = link->Holder(ch);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(std::tuple(owner.pixels[static_cast<std::size_t>(ch)], held->ReadChannelMark(), held->PictureWidth()),
              std::tuple(held->Pixels(), ch, ch == 4 ? 352 : 704));
  }
}

TEST_F(LinkTest, AReadDecodesOnlyTheNewestPictureOfEachChannelAndAFewPerTurn) {
  Feed(Concat({LiveImage(2, MakeJpeg(352, 240, 2, true)), LiveImage(3, MakeJpeg(704, 288, 3, true)),
               LiveImage(2, picture2)}));
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 3}));
  EXPECT_EQ(link->Holder(2)->PictureWidth(), 704);
  Bytes all;
  for (int ch = 0; ch < 8; ++ch) all = Concat({all, LiveImage(ch, MakeJpeg(704, 288, ch, true))});
  Feed(all);
  EXPECT_EQ(owner.drawn.size(), 2u + CDvrLink::kMaxDecodesPerTurn);
  EXPECT_TRUE(WaitUntil([&] { return owner.drawn.size() == 10u; }));
}

TEST_F(LinkTest, LoginReplyFoundByItsMagicSetsVersionChannelCountAndMarkCheck) {
  // The magic, bytes before the reply, the reply's channel word; the version, channel count and no-mark choice read.
  using Case = std::tuple<std::string_view, Bytes, std::uint32_t, int, int, bool>;
  for (const auto& [magic, before, info, version, count, noMark] :
       {Case{"NDVR PACKET2.0", {}, 16, 3, 16, false}, Case{"ABCDEFDVR PACKET", {}, 16, 3, 16, false},
        Case{"NDVR PACKET2.0", {0x00, 'x', 'y'}, 16, 3, 16, false},
        Case{"DVR PACKET1.0", {'q'}, 16, 1, -1, false},  // version 1 keeps its count
        Case{kMagic12, {}, 0, 2, -1, false}, Case{kMagic12, {}, 8, 2, 8, true}, Case{kMagic12, {}, 4, 2, 4, false},
        Case{kMagic12, {}, 0x301, 2, 1, true}, Case{kMagic12, {}, 5, 2, 5, true}}) {
    MakeLink(kQuiet);
    Feed(Concat({before, Packet(DATATYPE_LOGIN_REPLY, {{1, info}}, {}, magic)}));
    EXPECT_EQ(std::tuple(link->ProtocolVersion(), owner.channelCount, link->ImagesCarryNoMark()),
              std::tuple(version, count, noMark))
        << magic << " " << info;
  }
}

TEST_F(LinkTest, WrongAnnouncedLengthCostsOnlyItsPacketAndTheMagicTextInAPictureStaysPicture) {
  // A live picture announcing 1,000,000 payload bytes that carries 64, then 50 status reports and a picture.
  const Bytes wrong = Patched(Packet(DATATYPE_LIVE_IMAGE, {{0, 0, 0, 3}}, Bytes(64, 0x55)), 1000060);
  const Bytes report = Packet(DATATYPE_CHANNEL_STATUS, {{2, 0x01000100}});
  const Bytes picture = LiveImage(2, picture2);
  Bytes stream = wrong;
  for (int i = 0; i < 50; ++i) stream = Concat({stream, report});
  for (const bool paced : {true, false}) {
    owner.statuses.clear();
    owner.drawn.clear();
    if (paced) {  // each packet in reads of its own
      Feed(wrong);
      for (int i = 0; i < 50; ++i) Feed(report);
      Feed(picture, 5000);
    } else {  // coalesced and split at arbitrary places
      Feed(Concat({stream, picture}), 1000);
    }
    EXPECT_EQ(owner.CountStatus(status::kChannelStatus), 50) << paced;
    EXPECT_EQ(owner.drawn, std::vector<int>{2}) << paced;
  }

  const std::string_view text = "DVR PACKET1.2 CAM 3";
  const Bytes padded = Patched(Packet(DATATYPE_CHANNEL_STATUS), 0, 0x20202020);  // no usable header
  const Bytes packet = LiveImage(2, WithComment(WithComment(picture2, Bytes(text.begin(), text.end())), padded));
  const auto at = static_cast<std::size_t>(std::search(packet.begin() + 60, packet.end(), text.begin(), text.end()) -
                                           packet.begin());
  // A read that starts with the text, one that starts with the padded magic, and one whole read.
  for (const std::size_t cut : {at, at + text.size() + 4, std::size_t{0}}) {
    link->InjectReceived(packet.data(), cut);
    link->InjectReceived(packet.data() + cut, packet.size() - cut);
  }
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2, 2, 2}));
}

TEST_F(LinkTest, RequestsDecideWhatIsKeptEventListsPicturesAndPlayImagesAfterAStop) {
  QTemporaryDir dir;
  const QString path = dir.filePath(CDvrLink::kEventFileName);
  link->SetEventFilePath(path);
  link->SetEventFileWriter([](const QString& p, QByteArrayView bytes) { return LocalFile::ReplaceBytes(p, bytes); });
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(Await(DATATYPE_LOGIN));
  recorder.SendLoginReply(1);
  ASSERT_TRUE(Await(DATATYPE_LIVE_REQUEST));
  Bytes events(20000);
  for (std::size_t i = 0; i < events.size(); ++i) events[i] = static_cast<std::uint8_t>(i * 7);
  const auto list = Packet(DATATYPE_EVENT_FILE, {}, events);
  Feed(list, 3000);  // never asked for
  EXPECT_FALSE(QFile::exists(path));

  link->SendRequest(RequestKind::EventFileRequest, false);
  Feed(Packet(DATATYPE_EVENT_FILE));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(panel.eventFiles, 0);

  link->SendRequest(RequestKind::EventFileRequest, false);
  Feed(list, 3000);
  Feed(Packet(DATATYPE_EVENT_FILE, {}, Bytes(500, 0xEE)), 3000);  // one list per request
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(events.data()), 20000));
  EXPECT_EQ(panel.eventFiles, 1);

  // A status request keeps the picture under way, a new request drops it, and a pause drops all until confirmed.
  const auto packet = LiveImage(2, picture2);
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::DvrStatus2, false);  // the keep-alive
  EXPECT_EQ(link->ReceiveMode(), 102);
  link->InjectReceived(packet.data() + 5000, packet.size() - 5000);
  // The rest of a picture cut by a new request is skipped, never read as a header; the next one shows.
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::LiveRequest, true);
  Feed(Concat({Bytes(packet.begin() + 5000, packet.end()), packet}), 4000);
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2}));

  link->SendRequest(RequestKind::LiveStop, true);
  ASSERT_TRUE(link->IsPaused());
  Feed(packet, 5000);
  Feed(Packet(DATATYPE_LIVE_STOP_REPLY, {{1}}));
  EXPECT_FALSE(link->IsPaused());
  Feed(packet, 5000);
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2, 2}));

  // The twentieth play image after a stop starts reconnection, unless a play key came.
  panel.archiveMode = true;
  link->SetPlayRequestWords(0, 0, 0, play::Command(0, 1, play::kActionStop));
  link->SendRequest(RequestKind::PlayRequest, false);
  const PlayImageStamp stamp{3, 2005, 1, 31, 23, 0, 0};
  const auto played = Packet(DATATYPE_PLAY_IMAGE, {{stamp.Word0(), stamp.Word1(), 0, 1}}, picture2);
  for (int i = 0; i < 19; ++i) Feed(played);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 0);
  Feed(played);
  EXPECT_EQ(panel.drawn.size(), 19u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 1);

  // A recorder without a usable range is played with a remote key: that ends the count too.
  link->SendRequest(RequestKind::PlayRequest, false);
  link->SendRemoteKey(REMOTE_KEY_PLAY);
  for (int i = 0; i < 25; ++i) Feed(played);
  EXPECT_EQ(panel.drawn.size(), 44u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 1);
}

TEST_F(LinkTest, InvalidHeadersStrayPacketsAndStalledPayloadsCountAsSilence) {
  constexpr int kPeriodMs = 60;
  MakeLink({.responseMs = kPeriodMs, .pauseMs = 60000, .reconnectMs = 60000, .keepAliveMs = 60000});
  const auto reconnecting = [&] { return owner.CountStatus(status::kTryReconnection) > 0; };
  const Bytes junk(100, 0x33), header = Packet(DATATYPE_LIVE_IMAGE, {{0, 0, 0, 1}});
  std::vector<Bytes> invalid;
  for (int i = 0; i < 4; ++i) invalid.insert(invalid.end(), {Patched(header, 60, 4), junk, Patched(header, 59), junk});
  std::vector<Bytes> stray = {Packet(DATATYPE_PLAY_IMAGE, {{0x03000000, 0, 0, 1}}), Packet(DATATYPE_EVENT_FILE),
                              Packet(DATATYPE_LIVE_STOP_REPLY, {{1}})};
  std::vector<Bytes> trickle = {Patched(header, kMaxPacketLength)};
  trickle.resize(12, Bytes{0x42});

  for (const auto* pieces : {&invalid, &stray, &trickle}) {
    owner.statuses.clear();
    Feed(LiveImage(2, picture2));  // live pictures flow, and then ...
    const int toggles = owner.toggles;
    // ... pieces a little more than half a period apart.
    bool silence = false;
    for (std::size_t i = 0; i < pieces->size() && !silence; ++i) {
      Feed((*pieces)[i]);
      silence = QTest::qWaitFor(reconnecting, kPeriodMs * 2 / 3);
    }
    EXPECT_TRUE(silence || QTest::qWaitFor(reconnecting, kPeriodMs * 4));
    EXPECT_EQ(link->ReceiveMode(), 2);
    if (pieces == &invalid) {
      EXPECT_EQ(owner.toggles, toggles) << "invalid headers are not traffic";
    }
    link->StopReconnectCycle();
  }
}

// --- the session ---------------------------------------------------------

using LinkSession = LinkTest;  // each with the timing it needs

TEST_F(LinkSession, LoginThenSpacedFirstRequestsWithNothingSentBetweenTheSteps) {
  MakeLink({.responseMs = 5000, .pauseMs = 40, .reconnectMs = 80, .keepAliveMs = 60000, .afterLoginKeyMs = 40,
            .afterStatusMs = 100});  // no watch tick between the spaced sends
  owner.userId = "operator";
  owner.password = "7";
  owner.selection = 0x0102;  // multi-channel layout, first channel 3
  owner.mask = 0x1F0F;       // only the low eight bits may go out
  EXPECT_FALSE(link->ConnectToDvr("", 8000));
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(Await(DATATYPE_LOGIN));
  EXPECT_EQ(owner.state, 1);
  EXPECT_EQ(owner.statuses.back(), status::kEstablished);
  EXPECT_FALSE(link->ConnectToDvr(owner.host, owner.port));  // changes nothing while connected
  recorder.SendLoginReply(1);
  // Between the spaced steps the operator's pan/tilt data and event-list request wait for the steps'
  // end; other sends of buttons and ticks never reach the recorder.
  ASSERT_TRUE(Await(DATATYPE_REMOTE_KEY));
  recorder.SendLoginReply(1);  // a repeated reply leaves the running steps alone
  link->SendPtzData(kPtzStop, sizeof kPtzStop);
  link->SendRequest(RequestKind::LiveRequest, true);
  link->SendRemoteKey(0x1234);
  link->SendRequest(RequestKind::EventFileRequest, false);
  ASSERT_TRUE(Await(DATATYPE_EVENT_FILE_REQUEST));
  QTest::qWait(50);

  const auto& p = recorder.packets;
  ASSERT_EQ(p.size(), 6u);
  const std::uint32_t types[] = {DATATYPE_LOGIN, DATATYPE_REMOTE_KEY, DATATYPE_DVR_STATUS2, DATATYPE_LIVE_REQUEST};
  EXPECT_EQ(std::pair(p[4].header.dataType, p[5].header.dataType),
            std::pair(DATATYPE_PTZ_DATA, DATATYPE_EVENT_FILE_REQUEST));
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(std::tuple(p[i].header.dataType, p[i].header.magic, p[i].header.packetClass, p[i].bytes.size()),
              std::tuple(types[i], MakeMagic(i ? kMagic12 : kMagic10), i ? 1u : 2u, i ? 60u : 300u));
  }
  EXPECT_STREQ(reinterpret_cast<const char*>(&p[0].bytes[28]), "operator");
  EXPECT_STREQ(reinterpret_cast<const char*>(&p[0].bytes[156]), "7");
  EXPECT_EQ(PacketInfo::Decode(&p[1].bytes[kHeaderSize]).w[0], 0xFF20u);
  EXPECT_GE(p[2].atMs - p[1].atMs, 40 - 5);
  EXPECT_GE(p[3].atMs - p[2].atMs, 100 - 5);
  const auto live = PacketInfo::Decode(&p[3].bytes[kHeaderSize]).w;
  EXPECT_EQ(std::tuple(live[0], live[1], live[2]), std::tuple(1u, 3u, 0x0Fu));
  EXPECT_EQ(recorder.connections, 1);
}

// Sends that nobody reads never pile up without bound: the link is dropped and retried.
TEST_F(LinkSession, ARecorderThatStopsReadingIsDroppedAndRetried) {
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(Await(DATATYPE_LOGIN));
  recorder.StopReading();
  for (int i = 0; i < 300000 && link->IsConnected(); ++i) {
    link->SendPtzData(kPtzStop, sizeof kPtzStop);
    if (i % 1024 == 0) QCoreApplication::processEvents();
  }
  EXPECT_FALSE(link->IsConnected());
  EXPECT_EQ(owner.statuses.back(), status::kTryReconnection);
}

// Three unanswered logins start the reconnection cycle, whose first tick comes
// a whole period later and, with no attempts allowed, gives up.
TEST_F(LinkSession, ReconnectCountZeroGivesUpAtTheFirstTick) {
  constexpr int kReconnectMs = 600;
  MakeLink({.responseMs = 40, .pauseMs = 40, .reconnectMs = kReconnectMs, .keepAliveMs = 60000});
  owner.reconnectCount = 0;
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(WaitUntil([&] { return owner.goOfflineCount == 1; }));
  EXPECT_GE(clock.elapsed(), kReconnectMs);
  EXPECT_EQ(recorder.connections, 1);
  EXPECT_FALSE(link->IsConnected());
}

}  // namespace
