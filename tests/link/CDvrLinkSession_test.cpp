// The link's session against a scripted recorder on 127.0.0.1: login bytes,
// the order and spacing of the first requests, the watch on missing data,
// reconnection and giving up. Timer periods are shortened.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "support/FakeRecorder.h"

using namespace wire;

namespace {

LinkTiming FastTiming() {
  LinkTiming t;
  t.responseMs = 80;
  t.pauseMs = 40;
  t.reconnectMs = 80;
  t.keepAliveMs = 60000;
  t.afterLoginKeyMs = 40;
  t.afterStatusMs = 100;
  return t;
}

std::string MagicText(const PacketHeader& h) {
  return std::string(reinterpret_cast<const char*>(h.magic.data()),
                     strnlen(reinterpret_cast<const char*>(h.magic.data()), h.magic.size()));
}

class LinkSession : public ::testing::Test {
 protected:
  void SetUp() override { MakeLink(FastTiming()); }

  void MakeLink(LinkTiming timing) {
    link = std::make_unique<CDvrLink>(&owner, timing);
    owner.link = link.get();
    owner.host = "127.0.0.1";  // never anything but loopback
    owner.port = recorder.Port();
    link->SetArchivePanel(&panel);
  }

  void ConnectAndLogin(std::string_view magic = kMagic12, std::uint32_t channelInfo = 16) {
    ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
    ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LOGIN).empty(); }));
    recorder.SendLoginReply(magic, 1, channelInfo);
  }

  FakeRecorder recorder;
  FakeLinkOwner owner;
  FakeArchivePanel panel;
  std::unique_ptr<CDvrLink> link;
};

TEST_F(LinkSession, LoginPacketCarriesTheStoredCredentials) {
  owner.userId = "operator";
  owner.password = "7";
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(WaitUntil([&] { return !recorder.Packets().empty(); }));
  const auto& login = recorder.Packets().front();
  ASSERT_EQ(login.bytes.size(), 300u);
  EXPECT_EQ(login.header.dataType, DATATYPE_LOGIN);
  EXPECT_EQ(login.header.packetClass, 2u);
  EXPECT_EQ(MagicText(login.header), "DVR PACKET1.0");
  EXPECT_STREQ(reinterpret_cast<const char*>(&login.bytes[28]), "operator");
  EXPECT_STREQ(reinterpret_cast<const char*>(&login.bytes[156]), "7");
  EXPECT_EQ(owner.state, 1);
  ASSERT_FALSE(owner.statuses.empty());
  EXPECT_EQ(owner.statuses.back(), status::kEstablished);
}

TEST_F(LinkSession, FirstRequestsFollowTheLoginReplyInOrderAndSpacing) {
  LinkTiming t = FastTiming();
  t.responseMs = 5000;  // no watch tick between the spaced sends
  MakeLink(t);
  owner.selection = 0x0102;  // multi-channel layout, first channel 3
  owner.mask = 0x1F0F;       // only the low eight bits may go out
  ConnectAndLogin(kMagic12, 16);
  // Sends from buttons and ticks that fall between the spaced steps never reach the recorder.
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_REMOTE_KEY).empty(); }));
  const std::uint8_t stop[] = {0xA0, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAF, 0x0F};
  link->SendPtzData(stop, sizeof stop);
  link->SendRequest(RequestKind::LiveRequest, true);
  link->SendRemoteKey(0x1234);
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty(); }));
  WaitUntil([] { return false; }, 50);

  const auto& p = recorder.Packets();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[1].header.dataType, DATATYPE_REMOTE_KEY);
  EXPECT_EQ(p[1].info.w[0], 0xFF20u);
  EXPECT_EQ(p[2].header.dataType, DATATYPE_DVR_STATUS2);
  EXPECT_EQ(p[3].header.dataType, DATATYPE_LIVE_REQUEST);
  EXPECT_GE(p[2].atMs - p[1].atMs, 40 - 5);
  EXPECT_GE(p[3].atMs - p[2].atMs, 100 - 5);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(MagicText(p[i].header), "DVR PACKET1.2") << i;
    EXPECT_EQ(p[i].header.packetClass, 1u);
    EXPECT_EQ(p[i].bytes.size(), 60u);
  }
  EXPECT_EQ(p[3].info.w[0], 1u);
  EXPECT_EQ(p[3].info.w[1], 3u);
  EXPECT_EQ(p[3].info.w[2], 0x0Fu);
  EXPECT_EQ(owner.channelCount, 16);
  EXPECT_EQ(link->ProtocolVersion(), 2);
  EXPECT_FALSE(link->ImagesCarryNoMark());
}

TEST_F(LinkSession, ChannelInfoSelectsCountAndMarkCheck) {
  struct Case { std::uint32_t info; int count; bool noMark; };
  for (const Case c : {Case{0, -1, false}, Case{8, 8, true}, Case{16, 16, false}, Case{4, 4, false},
                       Case{0x301, 1, true}, Case{5, 5, true}}) {
    owner = FakeLinkOwner();
    MakeLink(FastTiming());
    recorder.ClearPackets();
    ConnectAndLogin(kMagic12, c.info);
    ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_REMOTE_KEY).empty(); })) << c.info;
    EXPECT_EQ(owner.channelCount, c.count) << c.info;
    EXPECT_EQ(link->ImagesCarryNoMark(), c.noMark) << c.info;
    link->Disconnect(true);
  }
}

TEST_F(LinkSession, RejectedLoginGoesOfflineWithoutSocket) {
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(WaitUntil([&] { return !recorder.Packets().empty(); }));
  const int togglesBefore = owner.toggles;
  recorder.SendLoginReply(kMagic12, 0, 16);
  ASSERT_TRUE(WaitUntil([&] { return owner.goOfflineCount == 1; }));
  EXPECT_EQ(owner.toggles, togglesBefore);  // the lamp the view put out stays out
  EXPECT_FALSE(link->IsConnected());
  EXPECT_EQ(owner.state, 0);
  EXPECT_EQ(owner.statuses.back(), status::kWaiting);
}

TEST_F(LinkSession, SilentRecorderIsAskedTwiceThenReconnected) {
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(WaitUntil([&] { return recorder.ConnectionCount() == 2; }, 5000));
  // Login, two resent logins with status 6, then the cycle.
  const std::vector<int> expected = {status::kEstablished, status::kTryRequestImage, status::kTryRequestImage,
                                     status::kTryReconnection, status::kTryReconnection, status::kConnecting};
  ASSERT_GE(owner.statuses.size(), expected.size());
  EXPECT_EQ(std::vector<int>(owner.statuses.begin(), owner.statuses.begin() + 6), expected);
  ASSERT_TRUE(WaitUntil([&] { return recorder.PacketsOfType(DATATYPE_LOGIN).size() >= 4; }));
  EXPECT_EQ(owner.goOfflineCount, 0);
}

TEST_F(LinkSession, ReconnectCountZeroGivesUpAtTheFirstTick) {
  owner.reconnectCount = 0;
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  ASSERT_TRUE(WaitUntil([&] { return owner.goOfflineCount == 1; }));
  EXPECT_EQ(recorder.ConnectionCount(), 1);
  EXPECT_FALSE(link->IsConnected());
}

TEST_F(LinkSession, RefusedReconnectsShowConnectionFailUntilTheCountIsUsed) {
  owner.reconnectCount = 3;
  ConnectAndLogin();
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty(); }));
  recorder.StopListening();
  recorder.DropClient();
  ASSERT_TRUE(WaitUntil([&] { return owner.goOfflineCount == 1; }, 10000));
  EXPECT_EQ(owner.CountStatus(status::kConnectionFail), 3);
  EXPECT_EQ(owner.CountStatus(status::kConnecting), 3);
  // Start of the cycle and one per tick, the giving-up tick included.
  EXPECT_EQ(owner.CountStatus(status::kTryReconnection), 5);
  EXPECT_EQ(owner.state, 0);
}

TEST_F(LinkSession, NothingIsWrittenWhileTheReconnectIsStillConnecting) {
  ConnectAndLogin();
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty(); }));
  // As a reconnection tick does: the buffers stay, a new connect starts, and the
  // view's once-a-second stop string and a click arrive before the connect completes.
  link->Disconnect(false);
  recorder.ClearPackets();
  ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
  const std::uint8_t stop[] = {0xA0, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAF, 0x0F};
  link->SendPtzData(stop, sizeof stop);
  link->SendRequest(RequestKind::LiveRequest, true);
  ASSERT_TRUE(WaitUntil([&] { return !recorder.Packets().empty(); }));
  EXPECT_EQ(recorder.Packets().front().header.dataType, DATATYPE_LOGIN);
  recorder.SendLoginReply(kMagic12, 1, 16);
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_LIVE_REQUEST).empty(); }));
  EXPECT_EQ(recorder.ConnectionCount(), 2);
  EXPECT_TRUE(recorder.PacketsOfType(DATATYPE_PTZ_DATA).empty());
}

TEST_F(LinkSession, ConnectWhileConnectedChangesNothing) {
  ConnectAndLogin();
  ASSERT_TRUE(WaitUntil([&] { return !recorder.PacketsOfType(DATATYPE_REMOTE_KEY).empty(); }));
  EXPECT_FALSE(link->ConnectToDvr(owner.host, owner.port));
  EXPECT_TRUE(link->IsConnected());
  EXPECT_EQ(recorder.ConnectionCount(), 1);
  EXPECT_FALSE(link->ConnectToDvr("", 8000));
}

}  // namespace
