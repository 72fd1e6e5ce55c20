// The archive panel of the real view against the simulated recorder on
// loopback: to the archive start, PLAY shows archived pictures with their
// time, STOP; fast forward from near the end reaches "End of Play"; EVENT
// lists the recorder's events (written anew, not into the old file) and a
// double click plays from one; POWER
// returns to live view.
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/AppViewExtensions.h"
#include "archive/CArchiveDlg.h"
#include "platform/DesktopOpener.h"
#include "sim/SimRecorder.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CEventDlg.h"

namespace {

using V = CArdevizView;
using A = CArchiveDlg;

TEST(ArchiveEndToEnd, PlayStopFastForwardToTheEndPlayFromAnEventAndPower) {
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  DesktopOpener::SetEnabled(false);
  SimOptions simOptions;
  simOptions.channelInfo = 4;
  simOptions.fps = 5;
  SimRecorder recorder(simOptions);  // listens on 127.0.0.1 only
  const quint16 port = recorder.Start(0);
  ASSERT_NE(port, 0) << recorder.ErrorString().toStdString();
  // The address comes in as the run's override: the stored settings stay untouched.
  V::Options options;
  options.hostOverride = QStringLiteral("127.0.0.1");
  options.portOverride = port;
  options.extensions = AppViewExtensions();
  V view(nullptr, options);  // goes before the recorder: it disconnects from a recorder that still exists
  view.OnInitialUpdate();
  view.show();
  auto* panel = dynamic_cast<A*>(view.ArchivePanel());
  ASSERT_NE(panel, nullptr);
  const auto anyPlayImage = [panel] {
    for (int ch = 0; ch < wire::kChannels; ++ch)
      if (panel->HasPlayImage(ch)) return true;
    return false;
  };

  ClickAndSettle(view.Button(V::kIdConnect));
  QTRY_VERIFY_WITH_TIMEOUT(view.HasChannelImage(0), 10000);
  view.OnCommand(V::kIdArchive);
  QTRY_VERIFY_WITH_TIMEOUT(panel->IsArchiveMode(), 5000);
  // The range arrives with the status reply that entering the archive asks for.
  QTRY_VERIFY_WITH_TIMEOUT(panel->StartText() != QStringLiteral("----/--/--  --:--:--"), 5000);

  panel->OnCommand(A::kIdToStart);
  panel->OnCommand(A::kIdPlayFirst + 3);  // play
  QTRY_VERIFY_WITH_TIMEOUT(anyPlayImage(), 10000);
  EXPECT_EQ(panel->PlayState() & 0xFF, 1);
  EXPECT_FALSE(panel->IsSearchingShown());
  // The information block follows the played picture's time, inside the archive.
  EXPECT_EQ(panel->RequestText().left(4), panel->StartText().left(4));
  // ARDEVIZ_SCREENSHOT_DIR=docs makes the README's picture of the panel.
  if (const char* dir = std::getenv("ARDEVIZ_SCREENSHOT_DIR")) {
    QTest::qWait(1500);
    panel->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/archive-panel.png"));
  }

  panel->OnCommand(A::kIdPlayFirst + 2);  // stop
  EXPECT_EQ(panel->PlayState(), 0);
  EXPECT_TRUE(panel->Button(A::kIdPlayFirst + 2)->GetCheck());

  // Backward from the end also finds pictures: the range ends on a recorded moment.
  const ArchiveMoment atStart = panel->CurrentImageTime();
  panel->OnCommand(A::kIdToEnd);
  panel->OnCommand(A::kIdPlayFirst + 1);  // backward
  QTRY_VERIFY_WITH_TIMEOUT(panel->CurrentImageTime() != atStart, 10000);
  EXPECT_NE(panel->ResultText(), QStringLiteral("No Search Image"));
  panel->OnCommand(A::kIdPlayFirst + 2);  // stop

  panel->OnCommand(A::kIdToEnd);
  panel->OnCommand(A::kIdPlayFirst + 4);  // fast forward
  QTRY_COMPARE_WITH_TIMEOUT(panel->ResultText(), QStringLiteral("End of Play"), 15000);
  EXPECT_EQ(panel->PlayState(), 0);

  // The list goes to a new file renamed into place: a second name of the old file keeps the old bytes.
  std::ofstream("AlarmEvent.am", std::ios::binary) << "old";
  std::filesystem::create_hard_link("AlarmEvent.am", "second.am");
  panel->OnCommand(A::kIdEvent);
  QTRY_VERIFY_WITH_TIMEOUT(panel->EventDialog() != nullptr, 5000);
  QTRY_VERIFY_WITH_TIMEOUT(panel->EventDialog()->Model()->rowCount() > 0, 10000);
  EXPECT_EQ(std::filesystem::file_size("second.am"), 3u);
  const QModelIndex first = panel->EventDialog()->Model()->index(0, 0);
  EXPECT_TRUE(first.data().toString().startsWith(QStringLiteral("CH")));
  // The first listed event lies inside the archive; play from it as a double click does.
  const ArchiveMoment atEnd = panel->CurrentImageTime();
  emit panel->EventDialog()->List()->doubleClicked(first);
  QTRY_VERIFY_WITH_TIMEOUT(panel->CurrentImageTime() != atEnd, 10000);
  EXPECT_EQ(panel->PlayState() & 0xFF, 1);

  panel->OnCommand(A::kIdPower);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->IsArchiveMode(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(view.HasChannelImage(0), 10000);
}

}  // namespace
