// The main view without a recorder: what its buttons do to the panes, going
// offline, and the pan/tilt reply box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <vector>

#include "app/AppViewExtensions.h"
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

TEST_F(CArdevizViewTest, APanTiltReplyIsToldOnceUntilItChangesOrAPanTiltButtonIsPressed) {
  Alerts::SetMessageHook({});  // the real box: it must neither block nor stack
  const auto boxes = [] {
    QList<QMessageBox*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) open << box;
    return open;
  };
  const auto closeBox = [&] {
    boxes()[0]->close();
    QTRY_COMPARE(boxes().size(), 0);
  };
  wire::PacketInfo reply;
  for (int i = 0; i < 3; ++i) m_view->ShowPtzDataReply(reply);  // returns: nothing modal runs
  QCoreApplication::processEvents();
  ASSERT_EQ(boxes().size(), 1);
  EXPECT_EQ(boxes()[0]->text(), "Direct Pantilt Camera Control");
  closeBox();
  m_view->ShowPtzDataReply(reply);  // the same answer to the stop string of the next second
  EXPECT_EQ(boxes().size(), 0);

  reply.w[0] = 1;  // the recorder says something else
  m_view->ShowPtzDataReply(reply);
  ASSERT_EQ(boxes().size(), 1);
  closeBox();

  SkinButton* right = nullptr;
  for (SkinButton* b : m_view->findChildren<SkinButton*>())
    if (b->ControlId() == 1093) right = b;
  ASSERT_NE(right, nullptr);
  QTest::mousePress(right, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(5, 5));
  m_view->ShowPtzDataReply(reply);  // the same words, answering the operator's press
  EXPECT_EQ(boxes().size(), 1);
}

}  // namespace
