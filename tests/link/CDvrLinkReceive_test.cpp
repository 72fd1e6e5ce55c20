// The receive path: framing of the byte stream, picture checks, pause, the
// stop counter, status reports and the event file. Reads are handed to the
// link directly so that their boundaries are exact.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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

TEST_F(LinkReceive, EventFileIsWrittenExactlyAndAnEmptyOneNotAtAll) {
  QTemporaryDir dir;
  const QString path = dir.filePath(CDvrLink::kEventFileName);
  link->SetEventFilePath(path);
  Feed(Packet(DATATYPE_EVENT_FILE, {}));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(panel.eventFiles, 0);

  Bytes events(20000);
  for (std::size_t i = 0; i < events.size(); ++i) events[i] = static_cast<std::uint8_t>(i * 7);
  FeedInReads(Packet(DATATYPE_EVENT_FILE, {}, events), 3000);
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
}

}  // namespace
