// The stream fault switches of the simulated recorder, as a client sees them byte by byte.

#include <gtest/gtest.h>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

TEST(SimFaults, GarbageSplitCoalescedOversizedAndWrongMarkStreamsCarryWholePackets) {
  for (const SimFaults& f : {SimFaults{.garbage = true}, SimFaults{.splitBytes = 7}, SimFaults{.splitBytes = 1000},
                             SimFaults{.coalesce = true}, SimFaults{.oversize = true}, SimFaults{.wrongMark = true},
                             SimFaults{.garbage = true, .splitBytes = 333, .coalesce = true}}) {
    SimOptions o;
    o.fps = 25;
    o.faults = f;
    SimRecorder recorder(o);
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    ASSERT_TRUE(client.Login());
    client.RequestLive(0x5);
    CImageCodec codec;
    for (int i = 0; i < 6; ++i) {
      const auto p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
      ASSERT_TRUE(p) << f.splitBytes << " " << f.coalesce;
      const int mark = static_cast<int>(p->info.w[3]) - 1 + (f.wrongMark ? 1 : 0);  // wrong: the next channel's
      EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), mark);
    }
    if (f.garbage) { EXPECT_GT(client.SkippedBytes(), 5); }
    if (f.oversize) { EXPECT_GE(client.RejectedHeaders(), 1); }
    // Stray bytes and a header of absurd length from the client are skipped; replies get
    // through too, coalesced ones within the gathering wait.
    client.SendRaw(std::vector<std::uint8_t>(100, 0x42));
    auto bad = wire::BuildPacket(wire::MakeMagic(wire::kMagic12), wire::PacketClass::Command, wire::DATATYPE_DVR_STATUS2, {});
    wire::PutU32(bad.data() + 16, 0x7FFFFFFF);
    client.SendRaw(bad);
    client.Send(wire::DATATYPE_DVR_STATUS2);
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
  }
}
