// Camera-control bytes: the Pelco-D and Pelco-P reader, the virtual camera,
// and the recorder's handling of PTZ data packets.

#include <gtest/gtest.h>

#include <tuple>

#include "sim/PelcoDecoder.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

std::vector<std::uint8_t> PelcoD(std::uint8_t address, std::uint8_t cmd1, std::uint8_t cmd2, std::uint8_t pan,
                                 std::uint8_t tilt) {
  std::vector<std::uint8_t> m{0xFF, address, cmd1, cmd2, pan, tilt, 0};
  m[6] = static_cast<std::uint8_t>(address + cmd1 + cmd2 + pan + tilt);
  return m;
}

std::vector<std::uint8_t> PelcoP(std::uint8_t address, std::uint8_t d1, std::uint8_t d2, std::uint8_t pan,
                                 std::uint8_t tilt) {
  std::vector<std::uint8_t> m{0xA0, address, d1, d2, pan, tilt, 0xAF, 0};
  for (int i = 0; i < 7; ++i) m[7] ^= m[static_cast<std::size_t>(i)];
  return m;
}

void SendPtz(SimTestClient& client, const std::vector<std::uint8_t>& bytes) {
  wire::PacketInfo info;
  info.w[0] = 2;
  info.w[1] = static_cast<std::uint32_t>(bytes.size());
  client.Send(wire::DATATYPE_PTZ_DATA, info, bytes, wire::PacketClass::CameraData);
}

}  // namespace

TEST(PelcoDecoder, ReadsPelcoDAndPelcoPMovesWithTheirAddressing) {
  using P = PtzCommand::Protocol;
  struct Case {
    std::vector<std::uint8_t> bytes;
    P protocol;
    int channel, pan, tilt, zoom, panSpeed, tiltSpeed;
  };
  for (const Case& c : {Case{PelcoD(2, 0, 0x02 | 0x08, 0x20, 0x10), P::PelcoD, 2, 1, 1, 0, 0x20, 0x10},  // right, up
                        Case{PelcoD(3, 0, 0x20, 0, 0), P::PelcoD, 3, 0, 0, 1, 0, 0},                    // zoom in
                        Case{PelcoP(0, 0, 0x10 | 0x40, 0, 0x3F), P::PelcoP, 1, 0, -1, -1, 0, 0x3F},  // down, wide
                        Case{PelcoP(1, 0, 0x02, 0x10, 0), P::PelcoP, 2, 1, 0, 0, 0x10, 0}}) {  // address from 0
    const auto cmds = PelcoDecoder::Decode(c.bytes);
    ASSERT_EQ(cmds.size(), 1u);
    const PtzCommand& d = cmds[0];
    EXPECT_EQ(d.protocol, c.protocol);
    EXPECT_TRUE(d.checksumOk);
    EXPECT_EQ(d.channel, c.channel);
    EXPECT_EQ(std::tuple(d.pan, d.tilt, d.zoom), std::tuple(c.pan, c.tilt, c.zoom)) << c.channel;
    EXPECT_EQ(std::tuple(d.panSpeed, d.tiltSpeed), std::tuple(c.panSpeed, c.tiltSpeed)) << c.channel;
  }
  EXPECT_TRUE(PelcoDecoder::Decode(PelcoD(1, 0, 0, 0, 0))[0].IsStop());
  const auto preset = PelcoDecoder::Decode(PelcoD(1, 0, 0x07, 0, 3));  // call preset 3
  ASSERT_EQ(preset.size(), 1u);
  EXPECT_TRUE(preset[0].extended);
  EXPECT_FALSE(preset[0].IsStop());
}

TEST(PelcoDecoder, BadChecksumsAreFlaggedAndRawBytesKeptApart) {
  auto badD = PelcoD(1, 0, 0x04, 0x3F, 0);
  badD[6] ^= 1;
  auto badP = PelcoP(3, 0, 0x20, 0, 0);
  badP[7] ^= 0x80;
  std::vector<std::uint8_t> bytes{0x01, 0x02};
  bytes.insert(bytes.end(), badD.begin(), badD.end());
  bytes.insert(bytes.end(), badP.begin(), badP.end());
  bytes.push_back(0xFF);  // a Pelco-D sync without a message behind it
  const auto cmds = PelcoDecoder::Decode(bytes);
  ASSERT_EQ(cmds.size(), 4u);
  EXPECT_EQ(cmds[0].protocol, PtzCommand::Protocol::Unknown);
  EXPECT_EQ(cmds[0].bytes, (std::vector<std::uint8_t>{0x01, 0x02}));
  EXPECT_EQ(cmds[1].protocol, PtzCommand::Protocol::PelcoD);
  EXPECT_FALSE(cmds[1].checksumOk);
  EXPECT_EQ(cmds[1].pan, -1);
  EXPECT_EQ(cmds[2].protocol, PtzCommand::Protocol::PelcoP);
  EXPECT_FALSE(cmds[2].checksumOk);
  EXPECT_EQ(cmds[3].protocol, PtzCommand::Protocol::Unknown);
}

TEST(SimCamera, MovesWhileCommandsRepeatStopsAfterTheHoldTimeAndClampsTilt) {
  SimCamera camera;
  PtzCommand right;
  right.pan = 1;
  right.panSpeed = 20;
  camera.Apply(right, 1000);
  const double afterStep = camera.Pan();
  EXPECT_GT(afterStep, 0.0);  // one command moves at once
  camera.Advance(1200);
  EXPECT_GT(camera.Pan(), afterStep);
  camera.Advance(5000);  // no repeat: the move ends after the hold time
  const double settled = camera.Pan();
  camera.Advance(9000);
  EXPECT_DOUBLE_EQ(camera.Pan(), settled);
  EXPECT_FALSE(camera.IsMoving());
  PtzCommand up;
  up.tilt = 1;
  up.tiltSpeed = 63;
  for (int t = 0; t < 100; ++t) camera.Apply(up, 12000 + t * 100);
  EXPECT_DOUBLE_EQ(camera.Tilt(), SimCamera::kMaxTilt);
}

TEST(SimPtz, ReplyOnlyWhenAskedForAndBadBytesMoveNothing) {
  for (const bool reply : {false, true}) {
    SimOptions o;
    o.ptzReply = reply;
    SimRecorder recorder(o);
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    ASSERT_TRUE(client.Login());
    if (!reply) {
      SendPtz(client, PelcoD(2, 0, 0x02, 0x20, 0));  // camera 2: pan right
      ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Camera(2).Pan() > 0; }, 2000));
      EXPECT_FALSE(client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY, 100));
      continue;
    }
    auto bad = PelcoD(1, 0, 0x02, 0x20, 0);
    bad[6] ^= 0xFF;
    SendPtz(client, bad);
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY));
    SendPtz(client, PelcoD(9, 0, 0x02, 0x20, 0));  // no camera 9 on a 4-channel recorder
    SendPtz(client, {0x12, 0x34, 0x56});
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY));
    EXPECT_TRUE(client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY));
    EXPECT_EQ(recorder.Counters().ptzCommandsApplied, 0);
    EXPECT_DOUBLE_EQ(recorder.Camera(1).Pan(), 0.0);
  }
}
