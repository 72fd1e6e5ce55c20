// Camera-control bytes: the Pelco-D and Pelco-P reader, and the virtual
// cameras of the simulated recorder moved by PTZ data packets.

#include <gtest/gtest.h>

#include "link/CImageCodec.h"
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

// Column of the red pole (bearing 0) in a row of the sky; -1 when not in view.
int RedPoleColumn(const CImageCodec& codec, int rowFromTop) {
  const auto& h = codec.Header();
  const std::uint8_t* row = codec.Pixels() + (h.height - 1 - rowFromTop) * h.Stride();
  for (int x = 0; x < h.width; ++x) {
    const std::uint8_t* px = row + 3 * x;
    if (px[2] > 180 && px[1] < 110 && px[0] < 100) return x;
  }
  return -1;
}

}  // namespace

TEST(PelcoDecoder, ReadsPelcoDMovesAndChecksums) {
  const auto cmds = PelcoDecoder::Decode(PelcoD(2, 0x00, 0x02 | 0x08, 0x20, 0x10));  // right and up
  ASSERT_EQ(cmds.size(), 1u);
  const PtzCommand& c = cmds[0];
  EXPECT_EQ(c.protocol, PtzCommand::Protocol::PelcoD);
  EXPECT_TRUE(c.checksumOk);
  EXPECT_EQ(c.channel, 2);
  EXPECT_EQ(c.pan, 1);
  EXPECT_EQ(c.tilt, 1);
  EXPECT_EQ(c.zoom, 0);
  EXPECT_EQ(c.panSpeed, 0x20);
  EXPECT_EQ(c.tiltSpeed, 0x10);

  auto bad = PelcoD(1, 0, 0x04, 0x3F, 0);
  bad[6] ^= 1;
  const auto badCmds = PelcoDecoder::Decode(bad);
  ASSERT_EQ(badCmds.size(), 1u);
  EXPECT_FALSE(badCmds[0].checksumOk);
  EXPECT_EQ(badCmds[0].pan, -1);

  const auto stop = PelcoDecoder::Decode(PelcoD(1, 0, 0, 0, 0));
  ASSERT_EQ(stop.size(), 1u);
  EXPECT_TRUE(stop[0].IsStop());
  const auto preset = PelcoDecoder::Decode(PelcoD(1, 0, 0x07, 0, 3));  // call preset 3
  ASSERT_EQ(preset.size(), 1u);
  EXPECT_TRUE(preset[0].extended);
  EXPECT_FALSE(preset[0].IsStop());
}

TEST(PelcoDecoder, ReadsPelcoPWithItsZeroBasedAddressAndXorChecksum) {
  const auto cmds = PelcoDecoder::Decode(PelcoP(0, 0, 0x10 | 0x40, 0, 0x3F));  // down and zoom wide
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(cmds[0].protocol, PtzCommand::Protocol::PelcoP);
  EXPECT_TRUE(cmds[0].checksumOk);
  EXPECT_EQ(cmds[0].channel, 1);
  EXPECT_EQ(cmds[0].tilt, -1);
  EXPECT_EQ(cmds[0].zoom, -1);
  auto bad = PelcoP(3, 0, 0x20, 0, 0);
  bad[7] ^= 0x80;
  EXPECT_FALSE(PelcoDecoder::Decode(bad)[0].checksumOk);
}

TEST(PelcoDecoder, SeveralMessagesAndRawBytesInOneString) {
  std::vector<std::uint8_t> bytes{0x01, 0x02};
  const auto d = PelcoD(3, 0, 0x20, 0, 0);
  const auto p = PelcoP(1, 0, 0x02, 0x10, 0);
  bytes.insert(bytes.end(), d.begin(), d.end());
  bytes.insert(bytes.end(), p.begin(), p.end());
  bytes.push_back(0xFF);  // a Pelco-D sync without a message behind it
  const auto cmds = PelcoDecoder::Decode(bytes);
  ASSERT_EQ(cmds.size(), 4u);
  EXPECT_EQ(cmds[0].protocol, PtzCommand::Protocol::Unknown);
  EXPECT_EQ(cmds[0].bytes, (std::vector<std::uint8_t>{0x01, 0x02}));
  EXPECT_EQ(cmds[1].protocol, PtzCommand::Protocol::PelcoD);
  EXPECT_EQ(cmds[1].zoom, 1);
  EXPECT_EQ(cmds[2].protocol, PtzCommand::Protocol::PelcoP);
  EXPECT_EQ(cmds[2].channel, 2);
  EXPECT_EQ(cmds[2].pan, 1);
  EXPECT_EQ(cmds[3].protocol, PtzCommand::Protocol::Unknown);
}

TEST(SimCamera, MovesWhileCommandsRepeatAndStops) {
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

  PtzCommand in;
  in.zoom = 1;
  camera.Apply(in, 10000);
  camera.Apply(PtzCommand{}, 10100);  // stop
  const double zoom = camera.Zoom();
  EXPECT_GT(zoom, 1.0);
  camera.Advance(11000);
  EXPECT_DOUBLE_EQ(camera.Zoom(), zoom);
  PtzCommand up;
  up.tilt = 1;
  up.tiltSpeed = 63;
  for (int t = 0; t < 100; ++t) camera.Apply(up, 12000 + t * 100);
  EXPECT_DOUBLE_EQ(camera.Tilt(), SimCamera::kMaxTilt);
}

TEST(SimPtz, PtzDataMovesTheAddressedCameraAndItsPictures) {
  SimOptions o;
  o.fps = 25;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x2);
  CImageCodec codec;
  auto p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  ASSERT_TRUE(p);
  codec.Decode(p->payload.data(), p->payload.size(), false);
  const int before = RedPoleColumn(codec, 110);
  EXPECT_NEAR(before, 352, 10);  // bearing 0 straight ahead

  SendPtz(client, PelcoD(2, 0, 0x02, 0x20, 0));  // camera 2: pan right
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Camera(2).Pan() > 0; }, 2000));
  SendPtz(client, PelcoD(2, 0, 0, 0, 0));  // stop
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Counters().ptzCommandsApplied == 2; }, 2000));
  EXPECT_DOUBLE_EQ(recorder.Camera(1).Pan(), 0.0);
  QTest::qWait(80);
  while (client.Next(20)) {
  }
  p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  ASSERT_TRUE(p);
  codec.Decode(p->payload.data(), p->payload.size(), false);
  const int after = RedPoleColumn(codec, 110);
  EXPECT_LT(after, before - 10);  // the view turned right, so the pole moved left

  SendPtz(client, PelcoP(1, 0, 0x20, 0, 0));  // Pelco-P address 1 is camera 2: zoom in
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Camera(2).Zoom() > 1.0; }, 2000));
  EXPECT_FALSE(client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY, 100));  // no reply unless asked for
}

TEST(SimPtz, ReplyOnlyWhenAskedForAndBadBytesMoveNothing) {
  SimOptions o;
  o.ptzReply = true;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
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
