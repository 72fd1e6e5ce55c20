// The archive panel of the real view against the simulated recorder on
// loopback: to the archive start, PLAY shows archived pictures with their
// time, STOP; fast forward from near the end reaches "End of Play"; POWER
// returns to live view; EVENT lists the recorder's events and a double click
// plays from one.
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

#include <cstdlib>

#include "archive/CArchiveDlg.h"
#include "archive/MonthCalendar.h"
#include "link/CDvrLink.h"
#include "platform/DesktopOpener.h"
#include "sim/SimRecorder.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "tests/viewer/ViewOnSimulator.h"
#include "viewer/CArdevizView.h"
#include "viewer/CEventDlg.h"

namespace {

using V = CArdevizView;
using A = CArchiveDlg;

class ArchiveEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    DesktopOpener::SetEnabled(false);
    SimOptions simOptions;
    simOptions.channelInfo = 4;
    simOptions.fps = 5;
    ASSERT_TRUE(m_sim.Start(simOptions)) << m_sim.recorder->ErrorString().toStdString();
    m_view = m_sim.view.get();
    m_panel = dynamic_cast<A*>(m_view->ArchivePanel());
    ASSERT_NE(m_panel, nullptr);

    ClickAndSettle(m_view->Button(V::kIdConnect));
    QTRY_VERIFY_WITH_TIMEOUT(m_view->HasChannelImage(0), 10000);
    m_view->OnCommand(V::kIdArchive);
    QTRY_VERIFY_WITH_TIMEOUT(m_panel->IsArchiveMode(), 5000);
    // The range arrives with the status reply that entering the archive asks for.
    QTRY_VERIFY_WITH_TIMEOUT(m_panel->StartText() != QStringLiteral("----/--/--  --:--:--"), 5000);
  }

  bool AnyPlayImage() const {
    for (int ch = 0; ch < wire::kChannels; ++ch)
      if (m_panel->HasPlayImage(ch)) return true;
    return false;
  }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  ViewOnSimulator m_sim;
  V* m_view = nullptr;
  A* m_panel = nullptr;
};

TEST_F(ArchiveEndToEnd, PlayFromTheStartStopFastForwardFromTheEndAndPower) {
  m_panel->OnCommand(A::kIdToStart);
  m_panel->OnCommand(A::kIdPlayFirst + 3);  // play
  QTRY_VERIFY_WITH_TIMEOUT(AnyPlayImage(), 10000);
  EXPECT_EQ(m_panel->PlayState() & 0xFF, 1);
  EXPECT_FALSE(m_panel->IsSearchingShown());
  // The information block follows the played picture's time, inside the archive.
  EXPECT_EQ(m_panel->RequestText().left(4), m_panel->StartText().left(4));
  // ARDEVIZ_SCREENSHOT_DIR=docs makes the README's picture of the panel.
  if (const char* dir = std::getenv("ARDEVIZ_SCREENSHOT_DIR")) {
    QTest::qWait(1500);
    m_panel->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/archive-panel.png"));
  }

  m_panel->OnCommand(A::kIdPlayFirst + 2);  // stop
  EXPECT_EQ(m_panel->PlayState(), 0);
  EXPECT_TRUE(m_panel->Button(A::kIdPlayFirst + 2)->GetCheck());

  // Backward from the end also finds pictures: the range ends on a recorded moment.
  const QString clockAtStart = m_panel->ClockText();
  m_panel->OnCommand(A::kIdToEnd);
  m_panel->OnCommand(A::kIdPlayFirst + 1);  // backward
  QTRY_VERIFY_WITH_TIMEOUT(m_panel->ClockText() != clockAtStart, 10000);
  EXPECT_NE(m_panel->ResultText(), QStringLiteral("No Search Image"));
  m_panel->OnCommand(A::kIdPlayFirst + 2);  // stop

  m_panel->OnCommand(A::kIdToEnd);
  m_panel->OnCommand(A::kIdPlayFirst + 4);  // fast forward
  QTRY_COMPARE_WITH_TIMEOUT(m_panel->ResultText(), QStringLiteral("End of Play"), 15000);
  EXPECT_EQ(m_panel->PlayState(), 0);

  m_panel->OnCommand(A::kIdPower);
  QTRY_VERIFY_WITH_TIMEOUT(!m_panel->IsArchiveMode(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(m_view->HasChannelImage(0), 10000);
}

TEST_F(ArchiveEndToEnd, EventListPlaysFromADoubleClickedEvent) {
  m_panel->OnCommand(A::kIdEvent);
  QTRY_VERIFY_WITH_TIMEOUT(m_panel->EventDialog() != nullptr, 5000);
  QTRY_VERIFY_WITH_TIMEOUT(m_panel->EventDialog()->Model()->rowCount() > 0, 10000);
  const QModelIndex first = m_panel->EventDialog()->Model()->index(0, 0);
  EXPECT_TRUE(first.data().toString().startsWith(QStringLiteral("CH")));

  // The first listed event lies inside the archive; play from it as a double click does.
  emit m_panel->EventDialog()->List()->doubleClicked(first);
  QTRY_VERIFY_WITH_TIMEOUT(AnyPlayImage(), 10000);
  EXPECT_EQ(m_panel->PlayState() & 0xFF, 1);
}

}  // namespace
