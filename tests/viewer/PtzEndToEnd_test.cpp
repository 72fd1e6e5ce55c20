// The pan/tilt control, the shipped Pelco-P file and the real link against the
// simulated recorder on loopback: holding a button turns the virtual camera of
// the selected channel, and the release stops it.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "config/PtCommandFile.h"
#include "link/CDvrLink.h"
#include "link/DefaultCredentials.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"
#include "viewer/PtzControl.h"

namespace {

std::string SourceDir() {
  if (const char* dir = std::getenv("ARDEVIZ_SOURCE_DIR")) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

class PtzEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const quint16 port = recorder.Start(0);
    ASSERT_NE(port, 0) << recorder.ErrorString().toStdString();
    owner.host = "127.0.0.1";  // loopback only
    owner.port = port;
    owner.userId = kDefaultUserId;
    owner.password = kDefaultPassword;
    link = std::make_unique<CDvrLink>(&owner);
    owner.link = link.get();

    PtzControl::Hooks hooks;
    hooks.send = [this](const std::uint8_t* bytes, std::size_t n) { link->SendPtzData(bytes, n); };
    control = std::make_unique<PtzControl>(std::move(hooks), PtzTiming{20, 0});
    ASSERT_EQ(LoadPtCommandFile(control->Table(), SourceDir() + "/res/PTZ/pelcoP.tl"), PtLoadResult::Loaded);

    ASSERT_TRUE(link->ConnectToDvr(owner.host, owner.port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner.state == 1; }, 10000));
  }

  void TearDown() override {
    if (link) link->Disconnect(true);
  }

  SimRecorder recorder;
  FakeLinkOwner owner;
  std::unique_ptr<CDvrLink> link;
  std::unique_ptr<PtzControl> control;
};

}  // namespace

TEST_F(PtzEndToEnd, HoldingUpTiltsTheSelectedCameraReleaseStopsItAndLeftPansTheFirst) {
  control->SetSelectedCamera(1);  // camera 2: channel 2 of the recorder
  control->OnPtzCommand(ptzvalue::kUp, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Camera(2).Tilt() > 1.0; }, 10000));
  EXPECT_TRUE(recorder.Camera(2).IsMoving());
  EXPECT_EQ(recorder.Camera(1).Tilt(), 0.0);
  control->OnPtzCommand(ptzvalue::kUp, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.Camera(2).IsMoving(); }, 10000));
  const double stoppedAt = recorder.Camera(2).Tilt();
  QTest::qWait(200);
  EXPECT_EQ(recorder.Camera(2).Tilt(), stoppedAt);

  control->SetSelectedCamera(0);
  control->OnPtzCommand(ptzvalue::kLeft, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Camera(1).Pan() < -1.0; }, 10000));
  control->OnPtzCommand(ptzvalue::kLeft, 0);
  EXPECT_EQ(recorder.Camera(2).Pan(), 0.0);
}
