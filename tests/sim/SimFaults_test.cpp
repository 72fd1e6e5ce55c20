// The fault switches of the simulated recorder, as a client sees them byte by byte.

#include <gtest/gtest.h>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

class SimFaultsTest : public ::testing::Test {
 protected:
  // Connects, logs in and asks for live pictures of the mask.
  void Open(const SimFaults& faults, std::uint32_t liveMask = 0x5) {
    m_client = std::make_unique<SimTestClient>();
    SimOptions o;
    o.fps = 25;
    o.faults = faults;
    m_recorder = std::make_unique<SimRecorder>(o);
    ASSERT_TRUE(m_client->Connect(m_recorder->Start(0)));
    const auto reply = m_client->Login();
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->info.w[0], 1u);
    m_client->RequestLive(liveMask);
  }
  std::unique_ptr<SimRecorder> m_recorder;
  std::unique_ptr<SimTestClient> m_client;
};

}  // namespace

TEST_F(SimFaultsTest, GarbageSplitCoalescedOversizedAndWrongMarkStreamsCarryWholePackets) {
  for (const SimFaults& f : {SimFaults{.garbage = true}, SimFaults{.splitBytes = 7}, SimFaults{.splitBytes = 1000},
                             SimFaults{.coalesce = true}, SimFaults{.oversize = true}, SimFaults{.wrongMark = true},
                             SimFaults{.garbage = true, .splitBytes = 333, .coalesce = true}}) {
    Open(f);
    CImageCodec codec;
    for (int i = 0; i < 6; ++i) {
      const auto p = m_client->WaitFor(wire::DATATYPE_LIVE_IMAGE);
      ASSERT_TRUE(p) << f.splitBytes << " " << f.coalesce;
      const int mark = static_cast<int>(p->info.w[3]) - 1 + (f.wrongMark ? 1 : 0);  // wrong: the next channel's
      EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), mark);
    }
    if (f.garbage) { EXPECT_GT(m_client->SkippedBytes(), 5); }
    if (f.oversize) { EXPECT_GE(m_client->RejectedHeaders(), 1); }
    // Replies get through too, coalesced ones within the gathering wait.
    m_client->Send(wire::DATATYPE_DVR_STATUS2);
    EXPECT_TRUE(m_client->WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
  }
}

TEST_F(SimFaultsTest, DropAfterClosesInTheMiddleOfAPicture) {
  Open({.dropAfterSeconds = 0.3});
  ASSERT_TRUE(m_client->WaitFor(wire::DATATYPE_LIVE_IMAGE));
  ASSERT_TRUE(m_client->WaitForDisconnect());
  while (m_client->Next(10)) {
  }
  // What is left is the start of a picture, cut short.
  const qsizetype pending = m_client->PendingBytes();
  EXPECT_GT(pending, static_cast<qsizetype>(wire::kPacketBaseSize));
  EXPECT_GT(m_client->PendingAnnounced(), static_cast<std::uint32_t>(pending));
}

TEST_F(SimFaultsTest, StrayBytesAndBadHeadersFromTheClientAreSkipped) {
  Open({}, 0);
  m_client->SendRaw(std::vector<std::uint8_t>(100, 0x42));
  auto bad = wire::BuildPacket(wire::MakeMagic(wire::kMagic12), wire::PacketClass::Command, wire::DATATYPE_DVR_STATUS2, {});
  wire::PutU32(bad.data() + 16, 0x7FFFFFFF);  // absurd length
  m_client->SendRaw(bad);
  m_client->Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_TRUE(m_client->WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
}
