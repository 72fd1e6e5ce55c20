// The receive path: framing of the byte stream, picture checks, pause, the
// stop counter, status reports and the event file. Reads are handed to the
// link directly so that their boundaries are exact.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "support/FakeRecorder.h"
#include "support/TestPictures.h"

using namespace wire;
using Bytes = std::vector<std::uint8_t>;

namespace {

LinkTiming QuietTiming() {
  LinkTiming t;  // long periods: no watch tick interferes
  t.responseMs = t.keepAliveMs = t.pauseMs = t.reconnectMs = 60000;
  t.afterLoginKeyMs = t.afterStatusMs = 1;
  return t;
}

Bytes Packet(std::uint32_t type, PacketInfo info, const Bytes& payload = {}, std::uint32_t cls = 1) {
  auto p = BuildPacket(MakeMagic(kMagic12), PacketClass::Command, type, info, payload);
  PutU32(&p[20], cls);
  return p;
}

Bytes LiveImage(int channel /*from 0*/, const Bytes& jpeg, std::uint32_t w3Override = 0) {
  const std::uint32_t w3 = w3Override ? w3Override : static_cast<std::uint32_t>(channel + 1);
  return Packet(DATATYPE_LIVE_IMAGE, {{4321, 0, 0, w3}}, jpeg);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A header written byte by byte: any magic text, any length, class and type.
Bytes RawHeader(std::string_view magic, std::uint32_t length, std::uint32_t cls, std::uint32_t type,
                PacketInfo info = {}) {
  Bytes p(kPacketBaseSize, 0);
  std::copy(magic.begin(), magic.end(), p.begin());
  PutU32(&p[16], length);
  PutU32(&p[20], cls);
  PutU32(&p[24], type);
  for (std::size_t i = 0; i < kInfoWords; ++i) PutU32(&p[28 + 4 * i], info.w[i]);
  return p;
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

class LinkReceive : public ::testing::Test {
 protected:
  void SetUp() override {
    link = std::make_unique<CDvrLink>(&owner, QuietTiming());
    owner.link = link.get();
    link->SetArchivePanel(&panel);
  }

  void Feed(const Bytes& bytes) { link->InjectReceived(bytes.data(), bytes.size()); }
  void FeedInReads(const Bytes& bytes, std::size_t readSize) {
    for (std::size_t at = 0; at < bytes.size(); at += readSize)
      link->InjectReceived(bytes.data() + at, std::min(readSize, bytes.size() - at));
  }

  // A connected link, logged in to a recorder on loopback, for paths that send.
  void ConnectAndLogin() {
    owner.host = "127.0.0.1";
    owner.port = recorder.Port();
    ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
    ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LOGIN).empty(); }));
    recorder.SendLoginReply(kMagic12, 1, 16);
    ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty(); }));
  }

  FakeRecorder recorder;
  FakeLinkOwner owner;
  FakeArchivePanel panel;
  std::unique_ptr<CDvrLink> link;
  const Bytes picture2 = testpictures::MakeJpeg(704, 288, 2, true);
};

TEST_F(LinkReceive, HeaderCutAfterFiftyNineBytesWaitsForItsLastByte) {
  // The last header byte arrives in one read with the whole picture that follows.
  const auto stream = Concat({Packet(DATATYPE_CHANNEL_STATUS, {{2, 0x01000100}}), LiveImage(2, picture2)});
  link->InjectReceived(stream.data(), 59);
  EXPECT_TRUE(owner.statuses.empty());
  link->InjectReceived(stream.data() + 59, stream.size() - 59);
  EXPECT_EQ(owner.statuses, std::vector<int>{status::kChannelStatus});
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000102u);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, UnusableHeadersAreSkippedAndTheStreamResynchronises) {
  std::vector<Bytes> bad;
  for (std::uint32_t length : {0u, 59u, 0x80000000u}) {
    bad.push_back(Packet(DATATYPE_CHANNEL_STATUS, {}));
    PutU32(&bad.back()[16], length);
  }
  const auto classFour = Packet(DATATYPE_CHANNEL_STATUS, {{1}}, {}, 4);
  const Bytes garbage(777, 0x11);
  Feed(Concat({garbage, bad[0], bad[1], bad[2], classFour, garbage}));
  EXPECT_TRUE(owner.statuses.empty());
  EXPECT_EQ(owner.toggles, 1);  // the garbage read counts as activity; rejected headers do not

  ASSERT_GT(picture2.size(), static_cast<std::size_t>(CDvrLink::kReceiveChunk));  // the buffers must grow
  FeedInReads(LiveImage(2, picture2), 4096);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, SmallPictureInOneReadIsRejectedButSplitIsShown) {
  const auto small = testpictures::MakeJpeg(640, 16, 1, true, testpictures::JpegKind::Colour, 50);
  ASSERT_LT(small.size(), CDvrLink::kMinOneChunkImage);
  Feed(LiveImage(1, small));
  EXPECT_TRUE(owner.drawn.empty());
  EXPECT_EQ(link->DecodeChannel(), 16);
  FeedInReads(LiveImage(1, small), 60 + small.size() / 2);
  EXPECT_EQ(owner.drawn, std::vector<int>{1});
}

TEST_F(LinkReceive, EachChannelKeepsItsOwnPictureWhileOthersArrive) {
  // Pictures change hands without a copy; what the owner was given for one
  // channel must stay that channel's picture whatever is decoded next.
  Feed(LiveImage(0, testpictures::MakeJpeg(704, 288, 0, true)));
  Feed(LiveImage(1, testpictures::MakeJpeg(704, 288, 1, true)));
  Feed(LiveImage(0, testpictures::MakeJpeg(704, 288, 0, true)));
  Feed(LiveImage(4, testpictures::MakeJpeg(352, 240, 4, true)));
  Feed(LiveImage(5, picture2));  // decoded, then refused: the mark says 2
  ASSERT_EQ(owner.drawn, (std::vector<int>{0, 1, 0, 4}));
  for (const int ch : {0, 1, 4}) {
    const CImageCodec* held = link->Holder(ch);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(owner.pixels[static_cast<std::size_t>(ch)], held->Pixels()) << ch;
    EXPECT_EQ(held->ReadChannelMark(), ch) << ch;
    EXPECT_EQ(held->Header().width, ch == 4 ? 352 : 704) << ch;
  }
}

TEST_F(LinkReceive, SmallPanesGetScaledPicturesWhoseMarksAreStillChecked) {
  owner.decodeSize = QSize(211, 79);
  Feed(LiveImage(1, testpictures::MakeJpeg(704, 288, 1, true)));
  Feed(LiveImage(2, testpictures::MakeJpeg(704, 288, 1, true)));  // the mark says 1: refused
  EXPECT_EQ(link->DecodeChannel(), 16);
  owner.decodeSize = QSize();
  Feed(LiveImage(3, testpictures::MakeJpeg(704, 288, 3, true)));
  ASSERT_EQ(owner.drawn, (std::vector<int>{1, 3}));
  EXPECT_EQ(owner.headers[0].width, 352);
  EXPECT_EQ(owner.headers[0].height, 144);
  EXPECT_EQ(owner.pictureSizes[0], QSize(704, 288));
  EXPECT_EQ(owner.fieldFlags[1], 0);
  EXPECT_EQ(link->Holder(1)->ReadChannelMark(), 1);
  EXPECT_EQ(owner.headers[1].width, 704);
  EXPECT_EQ(owner.pictureSizes[1], QSize(704, 288));
}

TEST_F(LinkReceive, ChannelsAboveEightAndUnmaskedChannelsAreNeverShown) {
  owner.mask = 0xFFFF;
  Feed(LiveImage(0, picture2, /*w3=*/10));  // channel 9
  owner.mask = 0xFB;                        // channel 2 (from 0) not requested
  Feed(LiveImage(2, picture2));
  EXPECT_TRUE(owner.drawn.empty());
}

TEST_F(LinkReceive, MarkMustMatchThePacketUnlessTheRecorderPaintsNone) {
  const auto markedOne = testpictures::MakeJpeg(704, 288, 1, true);
  Feed(LiveImage(2, markedOne));
  EXPECT_TRUE(owner.drawn.empty());
  EXPECT_EQ(link->DecodeChannel(), 16);

  // A login reply with channel byte 8: the packet's channel is trusted from now on.
  Feed(Packet(DATATYPE_LOGIN_REPLY, {{1, 8}}));
  ASSERT_TRUE(link->ImagesCarryNoMark());
  Feed(LiveImage(2, markedOne));
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
  // Undecodable bytes are never shown, trusted channel or not.
  Feed(LiveImage(3, Bytes(5000, 0x5A)));
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, ChannelStatusNeedsAlertModeAndAChannelOneToFour) {
  const auto report = [](std::uint32_t w0) { return Packet(DATATYPE_CHANNEL_STATUS, {{w0, 0x01000100}}); };
  Feed(Concat({report(5), report(0)}));
  owner.alertMode = false;
  Feed(report(2));
  EXPECT_TRUE(owner.statuses.empty());
  EXPECT_EQ(link->ChannelStatusWord(), 0u);
}

TEST_F(LinkReceive, OnlyRequestedEventListsAreWrittenExactlyAndAnEmptyOneNotAtAll) {
  QTemporaryDir dir;
  const QString path = dir.filePath(CDvrLink::kEventFileName);
  link->SetEventFilePath(path);
  ConnectAndLogin();
  Bytes events(20000);
  for (std::size_t i = 0; i < events.size(); ++i) events[i] = static_cast<std::uint8_t>(i * 7);
  const auto list = Packet(DATATYPE_EVENT_FILE, {}, events);
  FeedInReads(list, 3000);  // never asked for
  EXPECT_FALSE(QFile::exists(path));

  link->SendRequest(RequestKind::EventFileRequest, false);
  Feed(Packet(DATATYPE_EVENT_FILE, {}));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(panel.eventFiles, 0);

  link->SendRequest(RequestKind::EventFileRequest, false);
  FeedInReads(list, 3000);
  FeedInReads(Packet(DATATYPE_EVENT_FILE, {}, Bytes(500, 0xEE)), 3000);  // one list per request
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(events.data()), 20000));
  EXPECT_EQ(panel.eventFiles, 1);
}

TEST_F(LinkReceive, StatusRequestKeepsThePictureButANewRequestDropsIt) {
  ConnectAndLogin();
  const auto packet = LiveImage(2, picture2);
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::DvrStatus2, false);  // the keep-alive
  EXPECT_EQ(link->ReceiveMode(), 102);
  link->InjectReceived(packet.data() + 5000, packet.size() - 5000);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});

  // The rest of a picture cut by a new request is skipped, never read as a header; the next one shows.
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::LiveRequest, true);
  FeedInReads(Concat({Bytes(packet.begin() + 5000, packet.end()), packet}), 4000);
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2}));
}

TEST_F(LinkReceive, PausedLinkDropsPicturesUntilTheStopIsConfirmed) {
  ConnectAndLogin();
  link->SendRequest(RequestKind::LiveStop, true);
  ASSERT_TRUE(link->IsPaused());
  FeedInReads(LiveImage(2, picture2), 5000);
  EXPECT_TRUE(owner.drawn.empty());
  Feed(Packet(DATATYPE_LIVE_STOP_REPLY, {{1}}));
  EXPECT_FALSE(link->IsPaused());
  FeedInReads(LiveImage(2, picture2), 5000);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, TwentiethPlayImageAfterAStopStartsReconnection) {
  ConnectAndLogin();
  panel.archiveMode = true;
  link->SetPlayRequestWords(0, 0, 0, play::Command(0, 1, play::kActionStop));
  link->SendRequest(RequestKind::PlayRequest, false);
  const PlayImageStamp stamp{3, 2005, 1, 31, 23, 0, 0};
  const auto packet = Packet(DATATYPE_PLAY_IMAGE, {{stamp.Word0(), stamp.Word1(), 0, 1}}, picture2);
  for (int i = 0; i < 19; ++i) Feed(packet);
  EXPECT_EQ(panel.drawn.size(), 19u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 0);
  Feed(packet);
  EXPECT_EQ(panel.drawn.size(), 19u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 1);

  // A recorder without a usable range is played with a remote key: that ends the count too.
  link->SendRequest(RequestKind::PlayRequest, false);
  link->SendRemoteKey(REMOTE_KEY_PLAY);
  for (int i = 0; i < 25; ++i) Feed(packet);
  EXPECT_EQ(panel.drawn.size(), 44u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 1);
}

TEST_F(LinkReceive, NarrowPicturesAreShownInThePaneOfTheirPacket) {
  // 352 pixels hold only the first two of the five mark fields; the packet's channel counts.
  for (int ch = 0; ch < 8; ++ch) Feed(LiveImage(ch, testpictures::MakeJpeg(352, 240, ch, true)));
  EXPECT_EQ(owner.drawn, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(owner.fieldFlags[5], 0);  // the index bars still fit
  // Wide enough for the mark: a wrong one is refused as before.
  Feed(LiveImage(3, testpictures::MakeJpeg(632, 240, 5, true)));
  EXPECT_EQ(owner.drawn.size(), 8u);
  Feed(LiveImage(5, testpictures::MakeJpeg(632, 240, 5, true)));
  EXPECT_EQ(owner.drawn.size(), 9u);
}

TEST_F(LinkReceive, HeaderIsFoundByItsMagicTextBeforeTheFirstZeroByte) {
  struct Case { std::string_view magic; Bytes before; int version; };
  for (const Case& c : {Case{"NDVR PACKET2.0", {}, 3}, Case{"ABCDEFDVR PACKET", {}, 3},
                        Case{"NDVR PACKET2.0", {0x00, 'x', 'y'}, 3}, Case{"DVR PACKET1.0", {'q'}, 1}}) {
    owner.channelCount = -1;
    Feed(Concat({c.before, RawHeader(c.magic, 60, 1, DATATYPE_LOGIN_REPLY, {{1, 16}})}));
    EXPECT_EQ(link->ProtocolVersion(), c.version) << c.magic;
    EXPECT_EQ(owner.channelCount, c.version > 1 ? 16 : -1) << c.magic;  // version 1 keeps its count
  }
}

TEST_F(LinkReceive, WrongAnnouncedLengthCostsOnlyItsOwnPacket) {
  // A live picture announcing 1,000,000 payload bytes that carries 64, then 50 status reports and a picture.
  const Bytes wrong = Concat({RawHeader("DVR PACKET1.2", 1000060, 1, DATATYPE_LIVE_IMAGE, {{0, 0, 0, 3}}),
                              Bytes(64, 0x55)});
  const Bytes report = RawHeader("DVR PACKET1.2", 60, 1, DATATYPE_CHANNEL_STATUS, {{2, 0x01000100}});
  const Bytes picture = LiveImage(2, picture2);
  for (const bool paced : {true, false}) {
    owner.statuses.clear();
    owner.drawn.clear();
    if (paced) {
      // Each packet in reads of its own.
      Feed(wrong);
      for (int i = 0; i < 50; ++i) Feed(report);
      FeedInReads(picture, 5000);
    } else {
      // Coalesced and split at arbitrary places.
      Bytes stream = wrong;
      for (int i = 0; i < 50; ++i) stream = Concat({stream, report});
      FeedInReads(Concat({stream, picture}), 1000);
    }
    EXPECT_EQ(owner.CountStatus(status::kChannelStatus), 50) << paced;
    EXPECT_EQ(owner.drawn, std::vector<int>{2}) << paced;
  }
}

TEST_F(LinkReceive, PictureBytesContainingTheMagicTextStayPictureBytes) {
  const std::string_view text = "DVR PACKET1.2 CAM 3";
  Bytes padded = RawHeader("DVR PACKET1.2", 0, 0x20202020, DATATYPE_CHANNEL_STATUS);  // not a usable header
  const Bytes jpeg = WithComment(WithComment(picture2, Bytes(text.begin(), text.end())), padded);
  const Bytes packet = LiveImage(2, jpeg);
  const auto at = static_cast<std::size_t>(std::search(packet.begin() + 60, packet.end(), text.begin(), text.end()) -
                                           packet.begin());
  // A read that starts with the text, one that starts with the padded magic, and one whole read.
  for (const std::size_t cut : {at, at + text.size() + 4, std::size_t{0}}) {
    link->InjectReceived(packet.data(), cut);
    link->InjectReceived(packet.data() + cut, packet.size() - cut);
  }
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 2, 2}));
}

class LinkWatch : public LinkReceive {
 protected:
  static constexpr int kPeriodMs = 60;
  void SetUp() override {
    LinkTiming t = QuietTiming();
    t.responseMs = kPeriodMs;
    link = std::make_unique<CDvrLink>(&owner, t);
    owner.link = link.get();
    link->SetArchivePanel(&panel);
  }
  // Feeds the bytes one piece at a time, a little more than half a period apart,
  // until the watch has started a reconnection or the pieces are used up.
  bool SilenceDetected(const std::vector<Bytes>& pieces) {
    for (const Bytes& piece : pieces) {
      Feed(piece);
      if (QTest::qWaitFor([&] { return owner.CountStatus(status::kTryReconnection) > 0; }, kPeriodMs * 2 / 3)) {
        return true;
      }
    }
    return QTest::qWaitFor([&] { return owner.CountStatus(status::kTryReconnection) > 0; }, kPeriodMs * 4);
  }
};

TEST_F(LinkWatch, InvalidHeadersStrayPacketsAndStalledPayloadsCountAsSilence) {
  const Bytes junk(100, 0x33);
  const std::vector<Bytes> invalid = {RawHeader("DVR PACKET1.2", 60, 4, DATATYPE_LIVE_IMAGE), junk,
                                      RawHeader("DVR PACKET1.2", 59, 1, DATATYPE_LIVE_IMAGE), junk};
  std::vector<Bytes> stray = {Packet(DATATYPE_PLAY_IMAGE, {{0x03000000, 0, 0, 1}}), Packet(DATATYPE_EVENT_FILE, {}),
                              Packet(DATATYPE_LIVE_STOP_REPLY, {{1}})};
  std::vector<Bytes> trickle = {RawHeader("DVR PACKET1.2", kMaxPacketLength, 1, DATATYPE_LIVE_IMAGE, {{0, 0, 0, 1}})};
  trickle.resize(12, Bytes{0x42});
  std::vector<Bytes> invalidOnly;
  for (int i = 0; i < 4; ++i) invalidOnly.insert(invalidOnly.end(), invalid.begin(), invalid.end());

  for (const auto* pieces : {&invalidOnly, &stray, &trickle}) {
    owner.statuses.clear();
    Feed(LiveImage(2, picture2));  // live pictures flow, and then ...
    const int toggles = owner.toggles;
    EXPECT_TRUE(SilenceDetected(*pieces));
    EXPECT_EQ(link->ReceiveMode(), 2);
    if (pieces == &invalidOnly) {
      EXPECT_EQ(owner.toggles, toggles) << "invalid headers are not traffic";
    }
    link->StopReconnectCycle();
  }
}

}  // namespace
