// The receive path: framing of the byte stream, picture assembly and its
// checks, pause, the stop counter, status reports and the event file. Reads
// are handed to the link directly so that their boundaries are exact.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "support/FakeRecorder.h"
#include "support/TestPictures.h"

using namespace wire;

namespace {

LinkTiming QuietTiming() {
  LinkTiming t;  // long periods: no watch tick interferes unless a test wants one
  t.responseMs = 60000;
  t.keepAliveMs = 60000;
  t.pauseMs = 60000;
  t.reconnectMs = 60000;
  t.afterLoginKeyMs = 1;
  t.afterStatusMs = 1;
  return t;
}

std::vector<std::uint8_t> Packet(std::uint32_t type, PacketInfo info, const std::vector<std::uint8_t>& payload = {},
                                 std::uint32_t cls = 1) {
  auto p = BuildPacket(MakeMagic(kMagic12), PacketClass::Command, type, info, payload);
  PutU32(&p[20], cls);
  return p;
}

std::vector<std::uint8_t> LiveImage(int channel /*from 0*/, const std::vector<std::uint8_t>& jpeg,
                                    std::uint32_t w3Override = 0) {
  PacketInfo info;
  info.w[0] = 4321;
  info.w[3] = w3Override ? w3Override : static_cast<std::uint32_t>(channel + 1);
  info.w[4] = 123456;
  return Packet(DATATYPE_LIVE_IMAGE, info, jpeg);
}

std::vector<std::uint8_t> PlayImage(int channel, const std::vector<std::uint8_t>& jpeg, std::uint32_t status = 1) {
  PlayImageStamp stamp;
  stamp.channel = channel + 1;
  stamp.year = 2005;
  stamp.month = 1;
  stamp.day = 31;
  stamp.hour = 23;
  PacketInfo info;
  info.w[0] = stamp.Word0();
  info.w[1] = stamp.Word1();
  info.w[3] = status;
  info.w[4] = 500000;
  return Packet(DATATYPE_PLAY_IMAGE, info, jpeg);
}

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
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

  void Feed(const std::vector<std::uint8_t>& bytes) { link->InjectReceived(bytes.data(), bytes.size()); }
  // Feeds bytes as reads of the given size.
  void FeedInReads(const std::vector<std::uint8_t>& bytes, std::size_t readSize) {
    for (std::size_t at = 0; at < bytes.size(); at += readSize) {
      link->InjectReceived(bytes.data() + at, std::min(readSize, bytes.size() - at));
    }
  }

  // A connected link, logged in to a recorder on loopback, for paths that send.
  void ConnectAndLogin(std::uint32_t channelInfo = 16) {
    owner.host = "127.0.0.1";
    owner.port = recorder.Port();
    ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
    ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LOGIN).empty(); }));
    recorder.SendLoginReply(kMagic12, 1, channelInfo);
    ASSERT_TRUE(WaitUntil([&] {
      return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty() ||
             !recorder.PacketsOfType(DATATYPE_LIVE_STOP).empty() ||
             !recorder.PacketsOfType(DATATYPE_PLAY_REQUEST).empty();
    }));
  }

  FakeRecorder recorder;
  FakeLinkOwner owner;
  FakeArchivePanel panel;
  std::unique_ptr<CDvrLink> link;
  const std::vector<std::uint8_t> picture2 = testpictures::MakeJpeg(704, 288, 2, true);
};

TEST_F(LinkReceive, PictureSplitOverManyReadsIsDecodedAndDrawn) {
  ASSERT_GT(picture2.size(), static_cast<std::size_t>(CDvrLink::kReceiveChunk));  // the buffers must grow
  FeedInReads(LiveImage(2, picture2), 1000);
  ASSERT_EQ(owner.drawn, std::vector<int>{2});
  EXPECT_EQ(owner.headers.back().width, 704);
  EXPECT_EQ(owner.headers.back().height, 288);
  EXPECT_EQ(owner.fieldFlags[2], 0);
  EXPECT_EQ(owner.positions.back(), std::make_pair(123456u, 4321u));
  EXPECT_EQ(link->RecordingPosition(), 123456u);
  ASSERT_NE(link->Holder(2), nullptr);
  EXPECT_EQ(link->Holder(2)->Header().width, 704);
}

TEST_F(LinkReceive, PacketsSharingOneReadAreAllHandled) {
  const auto picture0 = testpictures::MakeJpeg(704, 288, 0, false);
  PacketInfo statusInfo;
  statusInfo.w[0] = 3;
  statusInfo.w[1] = 0x01000200;
  // The end of one picture, a whole status report and the start of the next picture in one read.
  const auto stream = Concat({LiveImage(2, picture2), Packet(DATATYPE_CHANNEL_STATUS, statusInfo), LiveImage(0, picture0)});
  const std::size_t cut1 = 2000, cut2 = LiveImage(2, picture2).size() + 60 + 500;
  link->InjectReceived(stream.data(), cut1);
  link->InjectReceived(stream.data() + cut1, cut2 - cut1);
  link->InjectReceived(stream.data() + cut2, stream.size() - cut2);
  EXPECT_EQ(owner.drawn, (std::vector<int>{2, 0}));
  EXPECT_EQ(owner.fieldFlags[0], 1);
  EXPECT_EQ(owner.statuses, std::vector<int>{status::kChannelStatus});
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000203u);
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
  PacketInfo login;
  login.w[0] = 1;
  login.w[1] = 8;
  Feed(Packet(DATATYPE_LOGIN_REPLY, login));
  ASSERT_TRUE(link->ImagesCarryNoMark());
  Feed(LiveImage(2, markedOne));
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
  // Undecodable bytes are never shown, trusted channel or not.
  std::vector<std::uint8_t> junk(5000, 0x5A);
  Feed(LiveImage(3, junk));
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, UnusableHeadersAreSkippedAndTheStreamResynchronises) {
  auto lengthZero = Packet(DATATYPE_CHANNEL_STATUS, {});
  PutU32(&lengthZero[16], 0);
  auto length59 = Packet(DATATYPE_CHANNEL_STATUS, {});
  PutU32(&length59[16], 59);
  auto lengthHuge = Packet(DATATYPE_CHANNEL_STATUS, {});
  PutU32(&lengthHuge[16], 0x80000000u);
  PacketInfo report;
  report.w[0] = 1;
  const auto classFour = Packet(DATATYPE_CHANNEL_STATUS, report, {}, 4);
  const std::vector<std::uint8_t> garbage(777, 0x11);
  Feed(Concat({garbage, lengthZero, length59, lengthHuge, classFour, garbage}));
  EXPECT_TRUE(owner.statuses.empty());
  EXPECT_EQ(owner.toggles, 1);  // the garbage read counts as activity; rejected headers do not

  FeedInReads(LiveImage(2, picture2), 4096);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, HeaderCutAfterFiftyNineBytesWaitsForItsLastByte) {
  PacketInfo report;
  report.w[0] = 2;
  report.w[1] = 0x01000100;
  const auto packet = Packet(DATATYPE_CHANNEL_STATUS, report);
  link->InjectReceived(packet.data(), 59);
  EXPECT_TRUE(owner.statuses.empty());
  link->InjectReceived(packet.data() + 59, 1);
  EXPECT_EQ(owner.statuses, std::vector<int>{status::kChannelStatus});
  EXPECT_EQ(link->ChannelStatusWord(), 0x01000102u);
}

TEST_F(LinkReceive, ChannelStatusNeedsAlertModeAndAChannelOneToFour) {
  PacketInfo report;
  report.w[0] = 5;
  report.w[1] = 0x01000100;
  Feed(Packet(DATATYPE_CHANNEL_STATUS, report));
  report.w[0] = 0;
  Feed(Packet(DATATYPE_CHANNEL_STATUS, report));
  owner.alertMode = false;
  report.w[0] = 2;
  Feed(Packet(DATATYPE_CHANNEL_STATUS, report));
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

  std::vector<std::uint8_t> events(20000);
  for (std::size_t i = 0; i < events.size(); ++i) events[i] = static_cast<std::uint8_t>(i * 7);
  FeedInReads(Packet(DATATYPE_EVENT_FILE, {}, events), 3000);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  ASSERT_EQ(written.size(), 20000);
  EXPECT_EQ(std::memcmp(written.constData(), events.data(), events.size()), 0);
  EXPECT_EQ(panel.eventFiles, 1);
}

TEST_F(LinkReceive, PlayImagesGoToThePanelWithTheirTimeAndPosition) {
  panel.archiveMode = true;
  panel.playState = 1;
  panel.searching = true;
  FeedInReads(PlayImage(2, picture2), 5000);
  ASSERT_EQ(panel.drawn, std::vector<int>{2});
  EXPECT_TRUE(owner.drawn.empty());
  ASSERT_EQ(panel.playTimes.size(), 1u);
  EXPECT_EQ(panel.playTimes[0][0] >> 24, 3u);
  EXPECT_EQ(panel.playTimes[0][2], 2u);
  EXPECT_EQ(panel.playPositions, std::vector<std::uint32_t>{500000});
  EXPECT_FALSE(panel.searching);
  ASSERT_EQ(panel.searchTexts.size(), 1u);
  EXPECT_EQ(panel.searchTexts[0], QString(30, QLatin1Char(' ')));
  EXPECT_GT(panel.toggles, 0);
  EXPECT_EQ(owner.toggles, 0);

  Feed(PlayImage(2, {}, wire::PLAY_STATUS_END));
  EXPECT_EQ(panel.results, std::vector<int>{3});
}

TEST_F(LinkReceive, LiveImagesAreNotShownInArchiveMode) {
  panel.archiveMode = true;
  FeedInReads(LiveImage(2, picture2), 5000);
  EXPECT_TRUE(owner.drawn.empty());
  EXPECT_EQ(owner.toggles, 0);
  EXPECT_EQ(panel.toggles, 0);  // the panel blinks only for playback
}

TEST_F(LinkReceive, StatusRequestDoesNotLoseThePictureBeingAssembled) {
  ConnectAndLogin();
  const auto packet = LiveImage(2, picture2);
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::DvrStatus2, false);  // the keep-alive
  EXPECT_EQ(link->ReceiveMode(), 102);
  link->InjectReceived(packet.data() + 5000, packet.size() - 5000);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, NewRequestDropsTheRestOfThePictureBeingAssembled) {
  ConnectAndLogin();
  const auto packet = LiveImage(2, picture2);
  link->InjectReceived(packet.data(), 5000);
  link->SendRequest(RequestKind::LiveRequest, true);
  // The rest of that picture is skipped, never read as a header; the next picture shows.
  FeedInReads(Concat({std::vector<std::uint8_t>(packet.begin() + 5000, packet.end()), packet}), 4000);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, PausedLinkDropsPicturesUntilTheStopIsConfirmed) {
  ConnectAndLogin();
  link->SendRequest(RequestKind::LiveStop, true);
  ASSERT_TRUE(link->IsPaused());
  FeedInReads(LiveImage(2, picture2), 5000);
  EXPECT_TRUE(owner.drawn.empty());
  PacketInfo confirmed;
  confirmed.w[0] = 1;
  Feed(Packet(DATATYPE_LIVE_STOP_REPLY, confirmed));
  EXPECT_FALSE(link->IsPaused());
  FeedInReads(LiveImage(2, picture2), 5000);
  EXPECT_EQ(owner.drawn, std::vector<int>{2});
}

TEST_F(LinkReceive, TwentiethPlayImageAfterAStopStartsReconnection) {
  ConnectAndLogin();
  panel.archiveMode = true;
  link->SetPlayRequestWords(0, 0, 0, play::Command(0, 1, play::kActionStop));
  link->SendRequest(RequestKind::PlayRequest, false);
  const auto packet = PlayImage(2, picture2);
  for (int i = 0; i < 19; ++i) Feed(packet);
  EXPECT_EQ(panel.drawn.size(), 19u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 0);
  Feed(packet);
  EXPECT_EQ(panel.drawn.size(), 19u);
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 1);
}

TEST_F(LinkReceive, ArbitraryBytesNeverCrashAndLeaveTheLinkUsable) {
  std::uint32_t seed = 12345;
  std::vector<std::uint8_t> noise(200000);
  for (auto& b : noise) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(seed >> 16);
  }
  // Sprinkle magics with random lengths through the noise.
  for (std::size_t at = 100; at + 60 < noise.size(); at += 7919) {
    std::memcpy(&noise[at], "DVR PACKET1.2", 13);
  }
  FeedInReads(noise, 1234);
  // Whatever the noise announced is over after the longest acceptable packet; then pictures show again.
  FeedInReads(Concat({std::vector<std::uint8_t>(kMaxPacketLength, 0), LiveImage(2, picture2)}), 9129);
  EXPECT_FALSE(owner.drawn.empty());
  EXPECT_EQ(owner.drawn.back(), 2);
}

}  // namespace
