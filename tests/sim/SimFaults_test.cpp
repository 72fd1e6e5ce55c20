// The fault switches of the simulated recorder, as a client sees them.

#include <gtest/gtest.h>

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
  void Open(const SimFaults& faults) {
    m_recorder = std::make_unique<SimRecorder>(FaultOptions(faults));
    ASSERT_TRUE(m_client.Connect(m_recorder->Start(0)));
  }
  void OpenAndStream(const SimFaults& faults, std::uint32_t mask = 0x3) {
    Open(faults);
    const auto reply = m_client.Login();
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->info.w[0], 1u);
    m_client.RequestLive(mask);
  }
  // Whole live pictures decode with the mark of the channel in w3.
  void ExpectGoodPictures(int count) {
    CImageCodec codec;
    for (int i = 0; i < count; ++i) {
      const auto p = m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
      ASSERT_TRUE(p) << i;
      EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), p->info.w[3] - 1) << i;
    }
  }

  std::unique_ptr<SimRecorder> m_recorder;
  SimTestClient m_client;
};

}  // namespace

TEST_F(SimFaultsTest, RejectLoginRefusesEvenTheRightPassword) {
  SimFaults f;
  f.rejectLogin = true;
  Open(f);
  const auto reply = m_client.Login();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->info.w[0], 0u);
  EXPECT_TRUE(m_client.WaitForDisconnect());
}

TEST_F(SimFaultsTest, SilentAfterStopsEverythingButKeepsTheConnection) {
  SimFaults f;
  f.silentAfterSeconds = 0.3;
  OpenAndStream(f);
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  QTest::qWait(400);
  while (m_client.Next(30)) {
  }
  EXPECT_FALSE(m_client.Next(300));
  m_client.Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY, 200));
  EXPECT_EQ(m_client.Socket().state(), QAbstractSocket::ConnectedState);
}

TEST_F(SimFaultsTest, DropAfterClosesInTheMiddleOfAPicture) {
  SimFaults f;
  f.dropAfterSeconds = 0.3;
  OpenAndStream(f);
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  ASSERT_TRUE(m_client.WaitForDisconnect());
  while (m_client.Next(10)) {
  }
  // What is left is the start of a picture, cut short.
  const qsizetype pending = m_client.PendingBytes();
  EXPECT_GT(pending, static_cast<qsizetype>(wire::kPacketBaseSize));
  EXPECT_GT(m_client.PendingAnnounced(), static_cast<std::uint32_t>(pending));
}

TEST_F(SimFaultsTest, DropAfterWithNothingStreamingJustCloses) {
  SimFaults f;
  f.dropAfterSeconds = 0.1;
  Open(f);
  ASSERT_TRUE(m_client.Login());
  EXPECT_TRUE(m_client.WaitForDisconnect());
}

TEST_F(SimFaultsTest, GarbageBetweenPacketsLeavesThePacketsIntact) {
  SimFaults f;
  f.garbage = true;
  OpenAndStream(f);
  ExpectGoodPictures(6);
  EXPECT_GT(m_client.SkippedBytes(), 5);
}

TEST_F(SimFaultsTest, SplitAndCoalescedWritesCarryTheSameBytes) {
  for (const SimFaults& f : {SimFaults{.splitBytes = 7}, SimFaults{.splitBytes = 1000}, SimFaults{.coalesce = true},
                             SimFaults{.garbage = true, .splitBytes = 333, .coalesce = true}}) {
    SimRecorder recorder(FaultOptions(f));
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    const auto reply = client.Login();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->info.w[0], 1u);
    client.RequestLive(0x5);
    CImageCodec codec;
    for (int i = 0; i < 4; ++i) {
      const auto p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
      ASSERT_TRUE(p) << f.splitBytes << " " << f.coalesce;
      EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), p->info.w[3] - 1);
    }
    // Replies get through too, coalesced ones within the gathering wait.
    client.Send(wire::DATATYPE_DVR_STATUS2);
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
  }
}

TEST_F(SimFaultsTest, OversizedHeaderIsFollowedByNormalPackets) {
  SimFaults f;
  f.oversize = true;
  OpenAndStream(f);
  ExpectGoodPictures(3);
  EXPECT_GE(m_client.RejectedHeaders(), 1);
}

TEST_F(SimFaultsTest, WrongMarkPaintsAnotherChannel) {
  SimFaults f;
  f.wrongMark = true;
  OpenAndStream(f, 0x1);
  const auto p = m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  ASSERT_TRUE(p);
  CImageCodec codec;
  EXPECT_EQ(p->info.w[3], 1u);
  EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 1);
}

TEST_F(SimFaultsTest, StrayBytesAndBadHeadersFromTheClientAreSkipped) {
  Open(SimFaults{});
  ASSERT_TRUE(m_client.Login());
  std::vector<std::uint8_t> junk(100, 0x42);
  m_client.SendRaw(junk);
  auto bad = wire::BuildPacket(wire::MakeMagic(wire::kMagic12), wire::PacketClass::Command, wire::DATATYPE_DVR_STATUS2, {});
  wire::PutU32(bad.data() + 16, 0x7FFFFFFF);  // absurd length
  m_client.SendRaw(bad);
  m_client.Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_TRUE(m_client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
}
