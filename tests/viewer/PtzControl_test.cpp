#include "viewer/PtzControl.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "config/PtCommandFile.h"
#include "config/PtzFilePath.h"

namespace {

// Stands in for the link: records every send as (camera, record).
struct FakeLink {
  struct Sent {
    int camera;
    int record;
    qint64 atMs;
  };
  std::vector<Sent> sent;
  QElapsedTimer clock;
  FakeLink() { clock.start(); }

  void Send(const std::uint8_t* bytes, std::size_t n) {
    ASSERT_EQ(n, 2u);
    sent.push_back({bytes[0], bytes[1], clock.elapsed()});
  }
  int Count(int record) const {
    return static_cast<int>(std::count_if(sent.begin(), sent.end(), [&](const Sent& s) { return s.record == record; }));
  }
  std::vector<int> Records() const {
    std::vector<int> r;
    for (const Sent& s : sent) r.push_back(s.record);
    return r;
  }
};

// Every record of every bank sends two bytes: its camera and its index.
void FillTable(PtCommandTable& table) {
  for (int camera = 0; camera < PtCommandTable::kBanks; ++camera) {
    for (int index = 0; index < PtCommandTable::kRecordsPerBank; ++index) {
      PtCommandRecord* r = table.Find(camera, index);
      r->SetName("R" + std::to_string(index));
      r->length = 2;
      r->data[0] = static_cast<std::uint8_t>(camera);
      r->data[1] = static_cast<std::uint8_t>(index);
    }
  }
}

struct Rig {
  FakeLink link;
  bool locked = false;
  QStringList alerts;
  int saves = 0;
  std::string pathAtSave;
  int shows = 0;
  std::unique_ptr<PtzControl> control;

  explicit Rig(PtzControl::Timing timing = {0, 0}) {
    PtzControl::Hooks hooks;
    hooks.send = [this](const std::uint8_t* b, std::size_t n) { link.Send(b, n); };
    hooks.selectorLocked = [this] { return locked; };
    hooks.alert = [this](const QString& text) { alerts << text; };
    hooks.saveSettings = [this] {
      ++saves;
      pathAtSave = control->CommandFilePath();
    };
    hooks.showCamera = [this] { ++shows; };
    control = std::make_unique<PtzControl>(std::move(hooks), timing);
  }
};

std::string WriteOptions(const QTemporaryDir& dir, const std::string& text) {
  const std::string path = dir.filePath("opt.ini").toStdString();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Runs the tests of one case inside a temporary current folder.
class CurrentFolder {
 public:
  CurrentFolder() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
  ~CurrentFolder() { QDir::setCurrent(m_previous); }
  QString Path(const QString& name) const { return m_dir.filePath(name); }

 private:
  QTemporaryDir m_dir;
  QString m_previous;
};

std::string SourceDir() {
  if (const char* dir = std::getenv("ARDEVIZ_SOURCE_DIR")) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

}  // namespace

TEST(PtzControlButtons, ValuesMapToTheirRecords) {
  const std::pair<quint32, int> records[] = {{1324, 3}, {1325, 5}, {1326, 1},  {1327, 8},  {1328, 4},  {1329, 7},
                                              {1330, 2}, {1331, 6}, {1332, 9}, {1033, 10}, {1334, 12}, {1035, 11},
                                              {13, -1},  {14, -1},  {1333, -1}, {0, -1},  {1337, -1}};
  for (const auto& [value, record] : records) EXPECT_EQ(PtzControl::RecordForValue(value), record) << value;
}

TEST(PtzControlTiming, HoldThenReleaseSendsTheMoveThenFiveStops) {
  QTemporaryDir dir;
  Rig rig({1, 0});
  rig.control->ReadIntervals(WriteOptions(dir, "[PTZ_CMD_INTERVAL]\r\nCMD=20\r\nSTOP=10\r\n"));
  FillTable(rig.control->Table());

  rig.control->OnPtzCommand(ptzvalue::kUp, 1);
  ASSERT_EQ(rig.link.Records(), std::vector<int>{3});  // at once, on the press
  QTRY_VERIFY_WITH_TIMEOUT(rig.link.sent.size() >= 3, 5000);
  const std::size_t moves = rig.link.sent.size();
  rig.control->OnPtzCommand(ptzvalue::kUp, 0);
  EXPECT_EQ(rig.link.Count(3), static_cast<int>(moves));
  // The repeats come no faster than the command interval.
  EXPECT_GE(rig.link.sent[2].atMs - rig.link.sent[0].atMs, 2 * 20 - 4);
  ASSERT_EQ(rig.link.sent.back().record, 0);  // the release stop

  QTRY_VERIFY_WITH_TIMEOUT(!rig.control->IsStopRepeating(), 5000);
  QTest::qWait(50);
  std::vector<int> expected(moves, 3);
  expected.insert(expected.end(), 5, 0);
  EXPECT_EQ(rig.link.Records(), expected);
  EXPECT_GE(rig.link.sent.back().atMs - rig.link.sent[moves].atMs, 4 * 10 - 4);
}

TEST(PtzControlTiming, NewPressCutsTheStopRepeats) {
  QTemporaryDir dir;
  Rig rig({1, 0});
  rig.control->ReadIntervals(WriteOptions(dir, "[PTZ_CMD_INTERVAL]\nCMD=15\nSTOP=10\n"));
  FillTable(rig.control->Table());

  // Once after two stop repeats, once before the first.
  for (int stopsBefore : {3, 1}) {
    SCOPED_TRACE(stopsBefore);
    rig.link.sent.clear();
    rig.control->OnPtzCommand(ptzvalue::kUp, 1);
    rig.control->OnPtzCommand(ptzvalue::kUp, 0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.Count(0) >= stopsBefore, 5000);
    rig.control->OnPtzCommand(ptzvalue::kDown, 1);
    const std::size_t atPress = rig.link.sent.size();
    EXPECT_EQ(rig.link.sent.back().record, 4);
    EXPECT_FALSE(rig.control->IsStopRepeating());
    QTest::qWait(80);
    for (std::size_t i = atPress; i < rig.link.sent.size(); ++i) EXPECT_EQ(rig.link.sent[i].record, 4);
    rig.control->OnPtzCommand(ptzvalue::kDown, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.control->IsStopRepeating(), 5000);
  }
}

TEST(PtzControlTiming, SelectorTimersSendOnlyStopsAndOtherStatesAreIgnored) {
  Rig rig({1, 0});
  QTemporaryDir dir;
  rig.control->ReadIntervals(WriteOptions(dir, "[PTZ_CMD_INTERVAL]\nCMD=5\nSTOP=5\n"));
  FillTable(rig.control->Table());
  rig.control->OnPtzCommand(ptzvalue::kNextCamera, 1);
  EXPECT_TRUE(rig.link.sent.empty());
  QTRY_VERIFY_WITH_TIMEOUT(rig.link.sent.size() >= 2, 5000);
  rig.control->OnPtzCommand(ptzvalue::kNextCamera, 0);
  for (int r : rig.link.Records()) EXPECT_EQ(r, 0);

  rig.control->OnPtzCommand(ptzvalue::kLeft, 2);
  EXPECT_FALSE(rig.control->IsRepeating(ptzvalue::kLeft));
}

TEST(PtzControlIntervals, DefaultsAndTheLowerBound) {
  QTemporaryDir dir;
  Rig rig(PtzControl::Timing{});
  rig.control->ReadIntervals(dir.filePath("ini/opt.ini").toStdString());
  EXPECT_EQ(rig.control->CommandInterval(), 80);
  EXPECT_EQ(rig.control->StopInterval(), 70);

  rig.control->ReadIntervals(WriteOptions(dir, "[ptz_cmd_interval]\r\ncmd=20\r\nSTOP=-3\r\n"));
  EXPECT_EQ(rig.control->CommandInterval(), 20);
  rig.control->OnPtzCommand(ptzvalue::kRight, 1);
  EXPECT_EQ(rig.control->RepeatInterval(ptzvalue::kRight), 70);
  EXPECT_EQ(rig.control->CommandInterval(), 70);
  rig.control->OnPtzCommand(ptzvalue::kRight, 0);
  EXPECT_EQ(rig.control->StopInterval(), 70);
  EXPECT_TRUE(rig.control->IsStopRepeating());
}

TEST(PtzControlSend, RecordsOfTheSelectedCameraOnly) {
  Rig rig;
  FillTable(rig.control->Table());
  rig.control->SetSelectedCamera(1);
  rig.control->Table().Find(1, ptrole::kZoomIn)->Clear();  // camera 2 lacks zoom in
  rig.control->OnPtzCommand(ptzvalue::kZoomIn, 1);
  rig.control->OnPtzCommand(ptzvalue::kZoomIn, 0);
  ASSERT_EQ(rig.link.sent.size(), 1u);  // only the release stop
  EXPECT_EQ(rig.link.sent[0].camera, 1);
  EXPECT_EQ(rig.link.sent[0].record, 0);

  rig.link.sent.clear();
  rig.control->SendPtzRecord(13 + 2);  // taken mod 13
  rig.control->OnSecondTick();
  EXPECT_EQ(rig.link.Records(), (std::vector<int>{2, 0}));

  // A length above the data model never reads past the record.
  rig.control->Table().Find(1, 0)->length = 1000;
  std::size_t seen = 0;
  PtzControl::Hooks hooks;
  hooks.send = [&seen](const std::uint8_t*, std::size_t n) { seen = n; };
  PtzControl other(std::move(hooks));
  other.Table() = rig.control->Table();
  other.SetSelectedCamera(1);
  other.OnSecondTick();
  EXPECT_EQ(seen, PtCommandRecord::kDataSize);
}

TEST(PtzControlCamera, SelectorStepsModuloEightUnlessLocked) {
  Rig rig;
  rig.control->OnPressStateChanged(ptzvalue::kPreviousCamera, 1);
  EXPECT_EQ(rig.control->PtzCameraText(), "008");
  rig.control->OnPressStateChanged(ptzvalue::kNextCamera, 1);
  EXPECT_EQ(rig.control->PtzCameraText(), "001");
  EXPECT_EQ(rig.shows, 2);

  rig.control->OnPressStateChanged(ptzvalue::kNextCamera, 0);  // releases change nothing
  rig.control->OnPressStateChanged(ptzvalue::kUp, 1);          // other values only redraw
  EXPECT_EQ(rig.control->SelectedCamera(), 0);
  EXPECT_EQ(rig.shows, 3);

  rig.locked = true;
  rig.control->OnPressStateChanged(ptzvalue::kNextCamera, 1);
  EXPECT_EQ(rig.control->SelectedCamera(), 0);
  EXPECT_EQ(rig.shows, 3);
}

TEST(PtzControlLoad, MissingFileRunsTheFallback) {
  CurrentFolder folder;
  Rig rig;
  rig.control->ResetCommandFilePath();
  const std::string userPath = PtzUserCommandPath();

  // No PTZ folder: the settings are saved with the user path, nothing is created or shown.
  rig.control->LoadPtzCommands(1);
  EXPECT_EQ(rig.saves, 1);
  EXPECT_EQ(rig.pathAtSave, userPath);
  EXPECT_EQ(rig.control->CommandFilePath(), PtzFilePathForType(1));
  EXPECT_TRUE(rig.alerts.isEmpty());
  EXPECT_FALSE(std::filesystem::exists(PtzFilePathForType(1)));

  // With the folder: the empty file is created and the message shown.
  ASSERT_TRUE(QDir().mkdir(folder.Path("PTZ")));
  rig.control->LoadPtzCommands(1);
  EXPECT_EQ(rig.alerts, QStringList{"Can't not open file!!"});
  EXPECT_EQ(std::filesystem::file_size(PtzFilePathForType(1)), 0u);

  // Type 6 and above: no path, no load, no fallback.
  rig.control->LoadPtzCommands(6);
  EXPECT_EQ(rig.control->CommandFilePath(), "");
  EXPECT_EQ(rig.saves, 2);
  EXPECT_EQ(rig.alerts.size(), 1);
}

TEST(PtzControlLoad, ShippedFilesLoadQuietlyAndReloadOnlyOnAChangedType) {
  CurrentFolder folder;
  ASSERT_TRUE(QDir().mkdir(folder.Path("PTZ")));
  for (const char* file : {"pelcoD.tl", "pelcoP.tl", "user_command.tl"}) {
    std::filesystem::copy_file(SourceDir() + "/res/PTZ/" + file, folder.Path("PTZ/").toStdString() + file);
  }
  Rig rig;
  rig.control->ClearCommandTable();
  rig.control->LoadPtzCommands(1);
  EXPECT_TRUE(rig.alerts.isEmpty());
  EXPECT_EQ(rig.saves, 0);
  ASSERT_EQ(rig.control->RecordNames().size(), 13);
  EXPECT_EQ(rig.control->RecordNames().back(), "FOCUS_IN");
  EXPECT_EQ(rig.control->Table().Find(0, ptrole::kUp)->data[0], 0xA0);  // Pelco-P

  // The fill counter is not 0 any more: a second load keeps the table.
  rig.control->Table().Find(0, ptrole::kUp)->data[0] = 0x55;
  rig.control->LoadPtzCommands(0);
  EXPECT_EQ(rig.control->Table().Find(0, ptrole::kUp)->data[0], 0x55);

  rig.control->ApplyPtzType(0);  // differs from "none": reload
  EXPECT_EQ(rig.control->Table().Find(0, ptrole::kUp)->data[0], 0xFF);  // Pelco-D
  rig.control->Table().Find(0, ptrole::kUp)->data[0] = 0x55;
  rig.control->ApplyPtzType(0);  // unchanged: no reload
  EXPECT_EQ(rig.control->Table().Find(0, ptrole::kUp)->data[0], 0x55);

  // Names follow the selected camera when the list is refilled.
  rig.control->Table().Find(2, 0)->SetName("CAM3STOP");
  rig.control->SetSelectedCamera(2);
  rig.control->LoadPtzCommands(0);
  EXPECT_EQ(rig.control->RecordNames().front(), "CAM3STOP");
}
