// The main view without a recorder: what its buttons do to the panes, going
// offline, and the pan/tilt reply box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>

#include <tuple>
#include <vector>

#include "app/AppViewExtensions.h"
#include "link/CDvrLink.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"

namespace {

using V = CArdevizView;

class CArdevizViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_view = std::make_unique<V>(nullptr, V::Options{.createLink = false, .executablePath = {}, .tickMs = 5,
                                                     .screenModeSettleMs = 0,
                                                     .hostOverride = QStringLiteral("127.0.0.1"), .portOverride = 1,
                                                     .extensions = AppViewExtensions()});
    m_view->OnInitialUpdate();
    m_view->show();
  }
  void Click(int controlId) { ClickAndSettle(m_view->Button(controlId)); }

  // The channels whose buttons are latched (and so disabled), and the latched layout button.
  std::vector<int> Page() const {
    std::vector<int> page;
    for (int ch = 0; ch < wire::kChannels; ++ch) {
      SkinButton* b = m_view->Button(V::kIdChannelFirst + ch);
      EXPECT_NE(b->GetCheck(), b->isEnabled()) << ch;
      if (b->GetCheck()) page.push_back(ch);
    }
    for (int i = 0; i < V::kLayoutButtons; ++i)
      if (m_view->Button(V::kIdLayoutFirst + i)->GetCheck()) page.push_back(100 + i);
    return page;
  }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  std::unique_ptr<V> m_view;
};

TEST_F(CArdevizViewTest, ButtonsPageThePanesBeepWhenRefusedAndRotateOnTheTick) {
  Click(V::kIdLayoutFirst + 3);
  for (int index : {2, 4, 5, 6}) Click(V::kIdLayoutFirst + index);  // refused: spring back
  EXPECT_EQ(m_alerts.beeps, 4);
  EXPECT_EQ(Page(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 103}));

  Click(V::kIdLayoutFirst + 1);
  EXPECT_EQ(Page(), (std::vector<int>{0, 1, 2, 3, 101}));
  Click(V::kIdChannelFirst + 11);  // button 12 cannot start a page of four
  EXPECT_EQ(m_alerts.beeps, 5);
  EXPECT_EQ(Page(), (std::vector<int>{0, 1, 2, 3, 101}));

  m_view->Settings().rotateInterval = 1;
  m_view->SetConnectionState(1);
  for (int ch : {0, 2, 5}) m_view->DrawChannel(ch);  // shown since the last disconnect
  Click(V::kIdLayoutFirst + 0);
  Click(V::kIdRotate);
  EXPECT_TRUE(m_view->Button(V::kIdRotate)->GetCheck());
  EXPECT_EQ(Page(), (std::vector<int>{2, 100}));  // moved at once
  QTRY_COMPARE_WITH_TIMEOUT(m_view->ChannelSelection() & 0xFF, 5, 5000);
  EXPECT_EQ(Page(), (std::vector<int>{5, 100}));
  Click(V::kIdRotate);  // off again: back to nine panes
  EXPECT_FALSE(m_view->IsRotating());
  EXPECT_EQ(Page(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 103}));
}

// As a rejected login or a reconnection cycle that gives up leaves it.
TEST_F(CArdevizViewTest, GoingOfflineByItselfShowsWaitingUnlitAndNoPositions) {
  m_view->SetConnectionState(1);
  m_view->ShowConnectionStatus(1);
  m_view->ShowPositions(123456, 5);
  EXPECT_EQ(m_view->RecordPositionText() + m_view->PlayPositionText(), "R-POS : 012.3456%P-POS : 000.0005%");
  m_view->ToggleActivity();
  ASSERT_TRUE(m_view->Button(V::kIdActivity)->GetCheck());
  m_view->GoOffline();
  EXPECT_EQ(m_view->StatusText(), "WAITING FOR CONNECTION.");
  EXPECT_FALSE(m_view->Button(V::kIdActivity)->GetCheck());
  EXPECT_EQ(m_view->RecordPositionText() + m_view->PlayPositionText(), "");
}

TEST_F(CArdevizViewTest, PanTiltRepliesOpenOneBoxThatDoesNotBlock) {
  Alerts::SetMessageHook({});  // the real box: it must neither block nor stack
  const auto boxes = [] {
    QList<QMessageBox*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) open << box;
    return open;
  };
  for (int i = 0; i < 3; ++i) m_view->ShowPtzDataReply();  // returns: nothing modal runs
  QCoreApplication::processEvents();
  ASSERT_EQ(boxes().size(), 1);
  EXPECT_EQ(boxes()[0]->text(), "Direct Pantilt Camera Control");
  boxes()[0]->close();
  QTRY_COMPARE(boxes().size(), 0);
  m_view->ShowPtzDataReply();  // a reply after the box was closed opens it again
  EXPECT_EQ(boxes().size(), 1);
}

// Each list entry of the Connections page is used as the number it shows:
// "01 SEC" to "10 SEC" per channel, "1" to "5" reconnection attempts.
TEST_F(CArdevizViewTest, RotationAndReconnectionUseTheNumbersTheirEntriesShow) {
  m_view->SetConnectionState(1);
  m_view->DrawChannel(0);
  Click(V::kIdLayoutFirst + 0);
  const int seconds[] = {1, 2, 3, 4, 5, 10};
  for (std::uint8_t position = 0; position < 6; ++position) {
    m_view->Settings().rotateInterval = position;
    Click(V::kIdRotate);
    EXPECT_EQ(m_view->RotationWord(), 0x100 + seconds[position]) << int(position);
    Click(V::kIdRotate);  // off: nine panes
    Click(V::kIdLayoutFirst + 0);
  }
  for (std::uint8_t position = 0; position < 5; ++position) {
    m_view->Settings().reconnectCount = position;
    EXPECT_EQ(m_view->ReconnectCount(), position + 1);
  }
}

// The About box names the version the build was made as, which --version prints too.
TEST_F(CArdevizViewTest, AboutBoxNamesTheBuildsVersion) {
  QFile cache(qEnvironmentVariable("ARDEVIZ_BINARY_DIR") + "/CMakeCache.txt");
  if (!cache.open(QIODevice::ReadOnly)) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  const QString version =
      QRegularExpression("CMAKE_PROJECT_VERSION:STATIC=(\\S+)").match(QString::fromUtf8(cache.readAll())).captured(1);
  QTest::mouseDClick(m_view.get(), Qt::LeftButton, {}, QPoint(100, 620));  // the logo
  ASSERT_EQ(m_alerts.messages.size(), 1u);
  EXPECT_EQ(m_alerts.messages[0].text, "Ardeviz Version " + version);
}

// A login reply's channel count reaches the buttons at once: after an 8-channel
// session, a 4-channel recorder leaves no button from CH5 on to click.
TEST_F(CArdevizViewTest, ChannelButtonsFollowTheRecordersChannelCountAtOnce) {
  Click(V::kIdLayoutFirst + 1);
  m_view->SetChannelCount(8);
  EXPECT_TRUE(m_view->Button(V::kIdChannelFirst + 4)->isEnabled());
  m_view->SetChannelCount(4);
  for (int ch = 0; ch < wire::kChannels; ++ch)
    EXPECT_EQ(m_view->Button(V::kIdChannelFirst + ch)->isEnabled(), false) << ch;  // 1-4 latched, the rest beyond
  m_view->OnCommand(V::kIdChannelFirst + 4);  // as a click that slipped through: refused
  EXPECT_EQ(std::tuple(m_view->ChannelMask(), m_alerts.beeps), std::tuple(0xFu, 1));
}

// CONNECT while the link is connected or retrying starts nothing and leaves the
// status line showing what the link last reported.
TEST_F(CArdevizViewTest, ConnectWhileTheLinkRetriesKeepsTheLinksStatus) {
  const struct {
    std::uint8_t state;
    int linkStatus;
    const char* shown;
  } rows[] = {
      {1, status::kTryReconnection, "TRY RECONNECTION"},
      {2, status::kConnectionFail, "CONNECTION FAIL:"},
      {1, status::kTryRequestImage, "TRY REQUEST IMAGE 0"},
      {0, status::kTryReconnection, "WAITING FOR CONNECTION."},  // idle: no link here, so still waiting
  };
  for (const auto& row : rows) {
    m_view->SetConnectionState(row.state);
    m_view->ShowConnectionStatus(row.linkStatus);
    Click(V::kIdConnect);
    EXPECT_EQ(m_view->StatusText().toStdString(), row.shown) << row.linkStatus;
  }
}

}  // namespace
