// The pan/tilt control: stop repeats cut by a new press and the selected
// camera's records.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <vector>

#include "config/PtCommandFile.h"
#include "viewer/PtzControl.h"

namespace {

// A control whose every record sends two bytes, its camera and its index; the sends are kept.
struct Rig {
  struct Sent { int camera, record; std::size_t length; };
  std::vector<Sent> sent;
  QTemporaryDir dir;
  std::unique_ptr<PtzControl> control;

  Rig(const std::string& options, PtzControl::Timing timing = {0, 0}) {
    PtzControl::Hooks hooks;
    hooks.send = [this](const std::uint8_t* bytes, std::size_t n) {
      sent.push_back({bytes[0], bytes[1], n});
    };
    control = std::make_unique<PtzControl>(std::move(hooks), timing);
    const std::string path = dir.filePath("opt.ini").toStdString();
    std::ofstream(path, std::ios::binary) << options;
    control->ReadIntervals(path);
    for (int camera = 0; camera < PtCommandTable::kBanks; ++camera)
      for (int index = 0; index < PtCommandTable::kRecordsPerBank; ++index) {
        PtCommandRecord* r = control->Table().Find(camera, index);
        r->SetName("R" + std::to_string(index));
        r->length = 2;
        r->data[0] = static_cast<std::uint8_t>(camera);
        r->data[1] = static_cast<std::uint8_t>(index);
      }
  }
  std::vector<int> Records() const {
    std::vector<int> r;
    for (const Sent& s : sent) r.push_back(s.record);
    return r;
  }
};

}  // namespace

// The repeats of a held button and the five stops of its release are counted
// at the recorder in the acceptance scenario. A new press after two stop
// repeats, then before the first: only its own moves follow, then its five stops.
TEST(PtzControl, ANewPressCutsTheStopRepeatsOfTheLastRelease) {
  Rig rig("[PTZ_CMD_INTERVAL]\r\nCMD=20\r\nSTOP=10\r\n", {1, 0});
  for (int stopsBefore : {3, 1}) {
    SCOPED_TRACE(stopsBefore);
    rig.sent.clear();
    rig.control->OnPtzCommand(ptzvalue::kUp, 1);
    rig.control->OnPtzCommand(ptzvalue::kUp, 0);
    QTRY_VERIFY_WITH_TIMEOUT(std::ranges::count(rig.Records(), 0) >= stopsBefore, 5000);
    rig.control->OnPtzCommand(ptzvalue::kDown, 1);
    const std::size_t atPress = rig.sent.size();
    EXPECT_FALSE(rig.control->IsStopRepeating());
    QTest::qWait(80);
    for (std::size_t i = atPress - 1; i < rig.sent.size(); ++i) EXPECT_EQ(rig.sent[i].record, 4);
    const auto released = static_cast<std::ptrdiff_t>(rig.sent.size());
    rig.control->OnPtzCommand(ptzvalue::kDown, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.control->IsStopRepeating(), 5000);
    QTest::qWait(50);
    const std::vector<int> records = rig.Records();
    EXPECT_EQ(std::vector<int>(records.begin() + released, records.end()), std::vector<int>(5, 0)) << "the stops";
  }
}

TEST(PtzControl, SendsRecordsOfTheSelectedCameraOnlyAndNeverPastARecord) {
  Rig rig("");
  rig.control->SetSelectedCamera(1);
  rig.control->Table().Find(1, ptrole::kZoomIn)->Clear();  // camera 2 lacks zoom in
  rig.control->OnPtzCommand(ptzvalue::kZoomIn, 1);
  rig.control->OnPtzCommand(ptzvalue::kZoomIn, 0);  // only the release stop
  rig.control->SendPtzRecord(13 + 2);  // taken mod 13
  rig.control->OnSecondTick();
  EXPECT_EQ(rig.Records(), (std::vector<int>{0, 2, 0}));
  EXPECT_TRUE(std::all_of(rig.sent.begin(), rig.sent.end(),
                          [](const Rig::Sent& s) { return s.camera == 1 && s.length == 2; }));

  // A length above the data model never reads past the record.
  rig.control->Table().Find(1, 0)->length = 1000;
  rig.control->OnSecondTick();
  EXPECT_EQ(rig.sent.back().length, PtCommandRecord::kDataSize);
}
