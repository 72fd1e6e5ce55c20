// The fault switches of the simulated recorder, as a client sees them.

#include <gtest/gtest.h>

#include <optional>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

SimOptions FaultOptions(const SimFaults& faults) {
  SimOptions o;
  o.fps = 25;
  o.faults = faults;
  return o;
}

class SimFaultsTest : public ::testing::Test {
 protected:
  // Connects; with a mask, also logs in and asks for live pictures of it.
  void Open(const SimFaults& faults, std::optional<std::uint32_t> liveMask = 0x3) {
    m_recorder = std::make_unique<SimRecorder>(FaultOptions(faults));
    ASSERT_TRUE(m_client.Connect(m_recorder->Start(0)));
    if (!liveMask) return;
    const auto reply = m_client.Login();
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->info.w[0], 1u);
    m_client.RequestLive(*liveMask);
  }
  std::unique_ptr<SimRecorder> m_recorder;
  SimTestClient m_client;
};

}  // namespace

TEST_F(SimFaultsTest, RejectLoginRefusesEvenTheRightPassword) {
  Open({.rejectLogin = true}, std::nullopt);
  const auto reply = m_client.Login();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->info.w[0], 0u);
  EXPECT_TRUE(m_client.WaitForDisconnect());
}

TEST_F(SimFaultsTest, SilentAfterStopsEverythingButKeepsTheConnection) {
  Open({.silentAfterSeconds = 0.3});
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  m_client.Drain(400);
  EXPECT_FALSE(m_client.Next(300));
  m_client.Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY, 200));
  EXPECT_EQ(m_client.Socket().state(), QAbstractSocket::ConnectedState);
}

TEST_F(SimFaultsTest, DropAfterClosesInTheMiddleOfAPicture) {
  Open({.dropAfterSeconds = 0.3});
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  ASSERT_TRUE(m_client.WaitForDisconnect());
  while (m_client.Next(10)) {
  }
  // What is left is the start of a picture, cut short.
  const qsizetype pending = m_client.PendingBytes();
  EXPECT_GT(pending, static_cast<qsizetype>(wire::kPacketBaseSize));
  EXPECT_GT(m_client.PendingAnnounced(), static_cast<std::uint32_t>(pending));
}

TEST_F(SimFaultsTest, GarbageSplitCoalescedAndOversizedStreamsCarryWholePackets) {
  for (const SimFaults& f : {SimFaults{.garbage = true}, SimFaults{.splitBytes = 7}, SimFaults{.splitBytes = 1000},
                             SimFaults{.coalesce = true}, SimFaults{.oversize = true},
                             SimFaults{.garbage = true, .splitBytes = 333, .coalesce = true}}) {
    SimRecorder recorder(FaultOptions(f));
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    const auto reply = client.Login();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->info.w[0], 1u);
    client.RequestLive(0x5);
    CImageCodec codec;
    for (int i = 0; i < 6; ++i) {
      const auto p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
      ASSERT_TRUE(p) << f.splitBytes << " " << f.coalesce;
      EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), p->info.w[3] - 1);
    }
    if (f.garbage) {
      EXPECT_GT(client.SkippedBytes(), 5);
    }
    if (f.oversize) {
      EXPECT_GE(client.RejectedHeaders(), 1);
    }
    // Replies get through too, coalesced ones within the gathering wait.
    client.Send(wire::DATATYPE_DVR_STATUS2);
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
  }
}

TEST_F(SimFaultsTest, WrongMarkPaintsAnotherChannel) {
  Open({.wrongMark = true}, 0x1);
  const auto p = m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  ASSERT_TRUE(p);
  CImageCodec codec;
  EXPECT_EQ(p->info.w[3], 1u);
  EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 1);
}

TEST_F(SimFaultsTest, StrayBytesAndBadHeadersFromTheClientAreSkipped) {
  Open({}, std::nullopt);
  ASSERT_TRUE(m_client.Login());
  std::vector<std::uint8_t> junk(100, 0x42);
  m_client.SendRaw(junk);
  auto bad = wire::BuildPacket(wire::MakeMagic(wire::kMagic12), wire::PacketClass::Command, wire::DATATYPE_DVR_STATUS2, {});
  wire::PutU32(bad.data() + 16, 0x7FFFFFFF);  // absurd length
  m_client.SendRaw(bad);
  m_client.Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_TRUE(m_client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
}
