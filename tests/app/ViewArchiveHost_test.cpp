// The panel's way back to the main view: POWER returns to the main window
// also when the link went offline while the panel was shown.
#include <gtest/gtest.h>

#include <QTest>

#include "app/AppViewExtensions.h"
#include "app/ViewArchiveHost.h"
#include "archive/CArchiveDlg.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"

namespace {

TEST(ViewArchiveHost, PowerOfflineReturnsToTheMainWindow) {
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  const ViewOptions options{.createLink = true, .executablePath = {}, .tickMs = 1000, .screenModeSettleMs = 0,
                            .hostOverride = QStringLiteral("127.0.0.1"), .portOverride = 1,
                            .extensions = AppViewExtensions()};
  CArdevizView view(nullptr, options);
  view.OnInitialUpdate();
  view.show();
  auto* panel = dynamic_cast<CArchiveDlg*>(view.ArchivePanel());
  ASSERT_NE(panel, nullptr);

  for (bool offline : {false, true}) {
    view.SetConnectionState(1);  // as after a login; nothing is ever sent without a socket
    view.SwitchToArchive(true);
    ASSERT_TRUE(panel->isVisible());
    ASSERT_FALSE(view.isVisible());
    if (offline) view.GoOffline();
    panel->OnCommand(CArchiveDlg::kIdPower);
    QTRY_VERIFY_WITH_TIMEOUT(view.isVisible(), 5000);
    EXPECT_FALSE(panel->isVisible()) << offline;
    EXPECT_FALSE(panel->IsArchiveMode()) << offline;
    EXPECT_EQ(view.ConnectionState(), offline ? 0 : 1);
  }
}

}  // namespace
