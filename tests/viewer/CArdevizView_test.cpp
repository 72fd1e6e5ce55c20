// The main view without a recorder: what its buttons and a double click do,
// going offline, and the names and states assistive tools read of its controls.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <tuple>
#include <vector>

#include "app/AppViewExtensions.h"
#include "link/CDvrLink.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/PtzViewBinding.h"

namespace {

using V = CArdevizView;

// The view's accessible child of that name, or null.
QAccessibleInterface* Accessible(QAccessibleInterface* view, const QString& name) {
  for (int i = 0; i < view->childCount(); ++i) {
    QAccessibleInterface* child = view->child(i);
    if (child && child->text(QAccessible::Name) == name) return child;
  }
  return nullptr;
}

class CArdevizViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_view = std::make_unique<V>(nullptr, V::Options{.createLink = false, .executablePath = {}, .tickMs = 5,
                                                     .screenModeSettleMs = 0, .noticeClockMs = [this] { return m_nowMs; },
                                                     .hostOverride = QStringLiteral("127.0.0.1"), .portOverride = 1,
                                                     .extensions = AppViewExtensions()});
    m_view->OnInitialUpdate();
    m_view->show();
  }
  void Click(int controlId) { ClickAndSettle(m_view->Button(controlId)); }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  std::int64_t m_nowMs = 0;
  std::unique_ptr<V> m_view;
};

// As a rejected login or a reconnection cycle that gives up leaves it.
TEST_F(CArdevizViewTest, GoingOfflineDropsPositionsAndPicturesAndAChangedPanTiltReplyIsToldAgain) {
  m_view->SetConnectionState(1);
  m_view->ShowConnectionStatus(1);
  // The positions change with every picture: the first change shows at once,
  // the newest at the end of the interval. The lamp flips with every read: it
  // waits for the repaints the first change opened.
  m_view->ShowPositions(123456, 5);
  m_view->ShowPositions(123456, 6);
  SkinButton* lamp = m_view->Button(V::kIdActivity);
  for (int i = 0; i < 3; ++i) m_view->ToggleActivity();
  EXPECT_EQ(m_view->RecordPositionText() + m_view->PlayPositionText(), "R-POS : 012.3456%P-POS : 000.0005%");
  EXPECT_FALSE(lamp->GetCheck());
  QTRY_COMPARE(lamp->GetCheck(), true);
  QTRY_COMPARE(m_view->PlayPositionText(), QStringLiteral("P-POS : 000.0006%"));
  const BitmapInfoHeader header{.width = 4, .height = 4};
  const std::vector<std::uint8_t> picture(header.ComputeImageSize());
  m_view->SetChannelImage(0, picture.data(), header, {});
  m_nowMs = 3000;  // no picture for 3 s; then channel 2 reported lost
  m_view->ShowVideoLoss(1);
  EXPECT_EQ(m_view->accessibleDescription(), "CH1 NO PICTURE 3 s, CH2 VIDEO LOSS");
  m_view->GoOffline();  // the status and the lamp are seen in the acceptance scenarios
  EXPECT_EQ(m_view->RecordPositionText() + m_view->PlayPositionText(), "");
  EXPECT_FALSE(m_view->HasChannelImage(0)) << "a picture of the link's is kept past the link";

  // The pan/tilt reply box and its being told once after OK are seen in the
  // acceptance scenario; a reply that says something else is told again.
  wire::PacketInfo reply;
  m_view->ShowPtzDataReply(reply);
  m_view->ShowPtzDataReply(reply);
  reply.w[0] = 1;
  m_view->ShowPtzDataReply(reply);
  EXPECT_EQ(m_alerts.messages.size(), 2u);
}

// What assistive tools read through QAccessible: every skin control by its
// label with role and state, states that follow the view, and a control
// pressed by an assistive tool acting as clicked.
TEST_F(CArdevizViewTest, AccessibleControlsFollowTheView) {
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(m_view.get());
  ASSERT_NE(tree, nullptr);

  // Names and states (checkable, checked, disabled) as the view starts: nine panes, every channel on the page.
  const std::pair<const char*, const char*> controls[] = {
      {"POWER", "000"},  {"CONNECT", "100"}, {"DISCONNECT", "110"}, {"LAYOUT 9", "110"},
      {"CHANNEL 3", "111"}, {"ROTATE", "100"}, {"PAN UP", "000"},    {"ACTIVITY", "101"},
  };
  for (const auto& [name, states] : controls) {
    QAccessibleInterface* control = Accessible(tree, name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->role(), QAccessible::Button) << name;
    const QAccessible::State s = control->state();
    EXPECT_EQ(QString("%1%2%3").arg(int(s.checkable)).arg(int(s.checked)).arg(int(s.disabled)), states) << name;
  }
  for (int i = 0; i < tree->childCount(); ++i)
    EXPECT_FALSE(tree->child(i)->text(QAccessible::Name).isEmpty()) << "child " << i << " has no name";

  // LAYOUT 1 pressed by an assistive tool: one pane, and the states follow.
  QAccessibleInterface* layoutOne = Accessible(tree, "LAYOUT 1");
  ASSERT_NE(layoutOne->actionInterface(), nullptr);
  layoutOne->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  EXPECT_EQ(m_view->ChannelLayout(), 0x100);
  EXPECT_TRUE(layoutOne->state().checked);
  EXPECT_FALSE(Accessible(tree, "LAYOUT 9")->state().checked);

}

// A login reply's channel count reaches the buttons at once: after an 8-channel
// session, a 4-channel recorder leaves no button from CH5 on to click. Layout
// buttons without a layout and channels beyond the count are refused with a
// beep; a double click on a pane shows its channel alone.
TEST_F(CArdevizViewTest, ButtonsFollowTheRecordersChannelCountAtOnceAndBeepWhenRefused) {
  Click(V::kIdLayoutFirst + 1);
  m_view->SetChannelCount(8);
  EXPECT_TRUE(m_view->Button(V::kIdChannelFirst + 4)->isEnabled());
  m_view->SetChannelCount(4);
  for (int ch = 0; ch < wire::kChannels; ++ch)
    EXPECT_EQ(m_view->Button(V::kIdChannelFirst + ch)->isEnabled(), false) << ch;  // 1-4 latched, the rest beyond
  m_view->OnCommand(V::kIdChannelFirst + 4);  // as a click that slipped through: refused
  for (int index : {2, 4, 5, 6}) Click(V::kIdLayoutFirst + index);  // no such layout: spring back
  EXPECT_EQ(std::tuple(m_view->ChannelMask(), m_alerts.beeps), std::tuple(0xFu, 5));
  EXPECT_TRUE(m_view->Button(V::kIdLayoutFirst + 1)->GetCheck() && !m_view->Button(V::kIdLayoutFirst + 2)->GetCheck());
  QTest::mouseDClick(m_view.get(), Qt::LeftButton, {}, m_view->PaneRect(2).center());
  EXPECT_EQ(std::tuple(m_view->ChannelLayout(), m_view->ChannelMask()), std::tuple(V::kLayoutSingle, 0x4u));
}

// The list entries mean the numbers they show ("1" to "5" attempts, "01 SEC" to
// "10 SEC"), and CONNECT while the link retries keeps what the link last reported.
TEST_F(CArdevizViewTest, NumbersAreUsedAsShownAndConnectWhileRetryingKeepsTheLinksStatus) {
  m_view->Settings().reconnectCount = 0;
  EXPECT_EQ(m_view->ReconnectCount(), 1);
  m_view->Settings().reconnectCount = 4;
  EXPECT_EQ(m_view->ReconnectCount(), 5);
  m_view->SetConnectionState(1);
  m_view->DrawChannel(0);
  Click(V::kIdLayoutFirst + 0);
  m_view->Settings().rotateInterval = 5;
  Click(V::kIdRotate);
  EXPECT_EQ(m_view->RotationWord(), 0x100 + 10);
  for (const auto& [state, linkStatus, shown] : {std::tuple<std::uint8_t, int, const char*>{
                                                     1, status::kTryReconnection, "TRY RECONNECTION"},
                                                 {2, status::kConnectionFail, "CONNECTION FAIL:"}}) {
    m_view->SetConnectionState(state);
    m_view->ShowConnectionStatus(linkStatus);
    Click(V::kIdConnect);
    EXPECT_EQ(m_view->StatusText().toStdString(), shown) << linkStatus;
  }
}

// Keys press the skin's buttons as clicks do: a disabled button ignores its key,
// a refused one beeps. A held arrow holds the pad's button through marked and
// unmarked repeats and lets go at the release or when the focus goes elsewhere.
TEST_F(CArdevizViewTest, KeysPressTheButtonsAndAHeldArrowHoldsThePad) {
  const PtzControl& ptz = static_cast<PtzViewBinding*>(m_view->PtzControl())->Control();
  std::vector<std::pair<quint32, int>> pad;
  for (SkinButton* b : m_view->findChildren<SkinButton*>())
    QObject::connect(b, &SkinButton::ptzCommand, [&pad](quint32 value, int pressed) { pad.emplace_back(value, pressed); });
  const struct { int key; Qt::KeyboardModifiers modifiers; std::uint16_t layout; std::uint32_t mask; int beeps, camera; } rows[] = {
      {Qt::Key_F4, {}, 0x401, 0xF, 0, 0},     {Qt::Key_6, {}, 0x401, 0x1E0, 0, 0}, {Qt::Key_6, {}, 0x401, 0x1E0, 0, 0},
      {Qt::Key_R, {}, 0x401, 0x1E0, 1, 0},    {Qt::Key_F1, {}, 0x100, 0x1, 1, 0},  {Qt::Key_F9, {}, 0x903, 0x1FF, 1, 0},
      {Qt::Key_PageUp, {}, 0x903, 0x1FF, 1, 1}, {Qt::Key_PageDown, {}, 0x903, 0x1FF, 1, 0},
      {Qt::Key_PageDown, {}, 0x903, 0x1FF, 1, 7}, {Qt::Key_F4, Qt::ShiftModifier, 0x903, 0x1FF, 1, 7},
  };
  for (const auto& row : rows) {
    QTest::keyClick(m_view.get(), Qt::Key(row.key), row.modifiers);
    QTest::qWait(1);
    EXPECT_EQ(std::tuple(m_view->ChannelLayout(), m_view->ChannelMask(), m_alerts.beeps, int(ptz.SelectedCamera())),
              std::tuple(row.layout, row.mask, row.beeps, row.camera)) << QKeySequence(row.key).toString().toStdString();
  }
  EXPECT_FALSE(m_view->Button(V::kIdRotate)->GetCheck()) << "the refused ROTATE stays released";
  EXPECT_EQ(m_view->Button(V::kIdRotate)->toolTip(), "ROTATE (R)");
  QTest::keyClick(m_view.get(), Qt::Key_F11);
  EXPECT_EQ(m_view->Settings().useFullScreen, 1u);

  QTRY_COMPARE(pad.size(), 6u);  // the Page keys' buttons pressed and let go
  pad.clear();
  const auto send = [this](QEvent::Type type, int key, bool marked, ulong time) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), marked);
    event.setTimestamp(time);
    QCoreApplication::sendEvent(m_view.get(), &event);
  };
  send(QEvent::KeyPress, Qt::Key_Up, false, 1);
  for (const auto& [marked, time] : {std::pair(true, 2ul), {false, 3ul}, {true, 4ul}, {false, 5ul}}) {
    send(QEvent::KeyRelease, Qt::Key_Up, marked, time);
    send(QEvent::KeyPress, Qt::Key_Up, marked, time);
  }
  QTest::qWait(60);
  send(QEvent::KeyRelease, Qt::Key_Up, false, 6);
  QTRY_COMPARE(pad.size(), 2u);
  EXPECT_EQ(pad, (std::vector<std::pair<quint32, int>>{{ptzvalue::kUp, 1}, {ptzvalue::kUp, 0}}));
  EXPECT_TRUE(ptz.IsStopRepeating()) << "the stop strings of the release";
  send(QEvent::KeyPress, Qt::Key_Left, false, 7);
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  QTRY_COMPARE(pad.size(), 4u);
  EXPECT_EQ(pad.back(), (std::pair<quint32, int>(ptzvalue::kLeft, 0)));

  QTest::keyClick(m_view.get(), Qt::Key_Q, Qt::ControlModifier);
  QTRY_VERIFY2_WITH_TIMEOUT(!m_view->SecondTimer().isActive(), "Ctrl+Q is POWER", 5000);
}

}  // namespace
