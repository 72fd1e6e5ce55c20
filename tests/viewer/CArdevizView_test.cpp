// The main view without a recorder: layouts and their buttons, refusals,
// rotation, the status panel texts and the drawing of a picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTest>

#include <vector>

#include "app/AppViewExtensions.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"

namespace {

using V = CArdevizView;

BitmapInfoHeader Header(int width, int height) { return {.width = width, .height = height}; }

class CArdevizViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const V::Options options{.createLink = false, .executablePath = {}, .tickMs = 5, .screenModeSettleMs = 0,
                             .hostOverride = QStringLiteral("127.0.0.1"), .portOverride = 1,
                             .extensions = AppViewExtensions()};
    m_view = std::make_unique<V>(nullptr, options);
    m_view->OnInitialUpdate();
    m_view->show();
  }

  void Click(int controlId) {
    ASSERT_NE(m_view->Button(controlId), nullptr);
    ClickAndSettle(m_view->Button(controlId));
  }
  SkinButton* Channel(int channel) const { return m_view->Button(V::kIdChannelFirst + channel); }
  SkinButton* Layout(int index) const { return m_view->Button(V::kIdLayoutFirst + index); }

  std::vector<int> ShownChannels() const {
    std::vector<int> shown;
    for (int ch = 0; ch < wire::kChannels; ++ch) if (!m_view->PaneRect(ch).isEmpty()) shown.push_back(ch);
    return shown;
  }
  // The channels on the page: latched and disabled; all others released and enabled.
  void ExpectPage(const std::vector<int>& page) const {
    for (int ch = 0; ch < wire::kChannels; ++ch) {
      const bool on = std::find(page.begin(), page.end(), ch) != page.end();
      EXPECT_EQ(Channel(ch)->GetCheck(), on) << "channel " << ch;
      EXPECT_EQ(Channel(ch)->isEnabled(), !on) << "channel " << ch;
    }
  }
  void ExpectLayoutButton(int index) const {
    for (int i = 0; i < V::kLayoutButtons; ++i) EXPECT_EQ(Layout(i)->GetCheck(), i == index) << "layout " << i;
  }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  std::unique_ptr<V> m_view;
};

TEST_F(CArdevizViewTest, LayoutButtonsShowOneFourAndNinePanes) {
  Click(V::kIdLayoutFirst + 0);
  EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutSingle);
  ExpectPage({0});
  ExpectLayoutButton(0);
  EXPECT_TRUE(m_view->Button(V::kIdRotate)->isEnabled());

  Click(V::kIdLayoutFirst + 1);
  EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutQuad);
  EXPECT_EQ(ShownChannels(), (std::vector<int>{0, 1, 2, 3}));
  ExpectPage({0, 1, 2, 3});
  ExpectLayoutButton(1);

  Click(V::kIdLayoutFirst + 3);
  ExpectPage({0, 1, 2, 3, 4, 5, 6, 7, 8});
  ExpectLayoutButton(3);
}

TEST_F(CArdevizViewTest, RefusedButtonsBeepAndSpringBack) {
  for (int index : {2, 4, 5, 6}) {
    Click(V::kIdLayoutFirst + index);
    EXPECT_FALSE(Layout(index)->GetCheck()) << index;
    EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutNine);
  }
  EXPECT_EQ(m_alerts.beeps, 4);
  ExpectLayoutButton(3);

  Click(V::kIdLayoutFirst + 1);  // four panes: buttons 9 to 16 become clickable
  const auto before = ShownChannels();
  Click(V::kIdChannelFirst + 11);  // button 12
  EXPECT_EQ(m_alerts.beeps, 5);
  EXPECT_FALSE(Channel(11)->GetCheck());
  EXPECT_EQ(ShownChannels(), before);
  EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutQuad);
}

TEST_F(CArdevizViewTest, RotateButtonMovesThroughShownChannelsOnTheTick) {
  m_view->Settings().rotateInterval = 1;
  m_view->SetConnectionState(1);
  for (int ch : {0, 2, 5}) m_view->DrawChannel(ch);  // shown since the last disconnect
  Click(V::kIdLayoutFirst + 0);

  Click(V::kIdRotate);
  EXPECT_TRUE(m_view->IsRotating());
  EXPECT_TRUE(m_view->Button(V::kIdRotate)->GetCheck());
  EXPECT_EQ(m_view->ChannelSelection() & 0xFF, 2);  // moved at once
  ExpectPage({2});
  QTRY_COMPARE_WITH_TIMEOUT(m_view->ChannelSelection() & 0xFF, 5, 5000);
  ExpectPage({5});

  Click(V::kIdRotate);  // off again: back to nine panes
  EXPECT_FALSE(m_view->IsRotating());
  EXPECT_FALSE(m_view->Button(V::kIdRotate)->GetCheck());
  EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutNine);
  ExpectLayoutButton(3);
}

TEST_F(CArdevizViewTest, PositionTextsAndSourceWindows) {
  m_view->ShowPositions(123456, 0);
  EXPECT_EQ(m_view->RecordPositionText(), "R-POS : 012.3456%");
  EXPECT_EQ(m_view->PlayPositionText(), "P-POS : 000.0000%");
  m_view->ShowPositions(1000000, 5);
  EXPECT_EQ(m_view->RecordPositionText(), "R-POS : 100.0000%");
  EXPECT_EQ(m_view->PlayPositionText(), "P-POS : 000.0005%");

  // The source windows cut the recorder's marks off the picture edges.
  EXPECT_EQ(pane::SourceWindow(Header(352, 240), 1), QRect(3, 11, 338, 228));
  EXPECT_EQ(pane::SourceWindow(Header(352, 240), 0), QRect(3, 12, 338, 228));
  EXPECT_EQ(pane::SourceWindow(Header(352, 288), 1), QRect(10, 15, 331, 272));
  EXPECT_EQ(pane::SourceWindow(Header(352, 288), 0), QRect(10, 16, 331, 272));
}

TEST_F(CArdevizViewTest, GoingOfflineByItselfShowsWaitingUnlitAndNoPositions) {
  // As a rejected login or a cycle that gives up leaves it.
  m_view->SetConnectionState(1);
  m_view->ShowConnectionStatus(1);
  m_view->ShowPositions(123456, 7);
  m_view->ToggleActivity();
  ASSERT_TRUE(m_view->Button(V::kIdActivity)->GetCheck());
  m_view->GoOffline();
  EXPECT_EQ(m_view->StatusText(), "WAITING FOR CONNECTION.");
  EXPECT_FALSE(m_view->Button(V::kIdActivity)->GetCheck());
  EXPECT_TRUE(m_view->RecordPositionText().isEmpty());
  EXPECT_TRUE(m_view->PlayPositionText().isEmpty());
}

TEST_F(CArdevizViewTest, PanTiltRepliesOpenOneBoxThatDoesNotBlock) {
  Alerts::SetMessageHook({});  // the real box: it must neither block nor stack
  const auto openBoxes = [] {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        EXPECT_EQ(box->text(), "Direct Pantilt Camera Control");
        ++n;
      }
    }
    return n;
  };
  for (int i = 0; i < 3; ++i) m_view->ShowPtzDataReply();  // returns: nothing modal runs
  QCoreApplication::processEvents();
  EXPECT_EQ(openBoxes(), 1);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(w)) w->close();
  }
  QTRY_COMPARE(openBoxes(), 0);
  m_view->ShowPtzDataReply();  // a reply after the box was closed opens it again
  EXPECT_EQ(openBoxes(), 1);
}

TEST_F(CArdevizViewTest, DrawsBottomUpRowsUprightIntoThePane) {
  // A 352 x 288 picture, red above and blue below, stored bottom-up as BGR.
  BitmapInfoHeader header = Header(352, 288);
  header.imageSize = header.ComputeImageSize();
  std::vector<std::uint8_t> pixels(header.imageSize);
  for (int row = 0; row < header.height; ++row)
    for (int x = 0; x < header.width; ++x)
      pixels[row * header.Stride() + x * 3 + (row >= header.height / 2 ? 2 : 0)] = 255;
  Click(V::kIdLayoutFirst + 0);
  EXPECT_TRUE(m_view->LiveDecodeSize(0).isEmpty()) << "the single pane takes full-size pictures";
  m_view->SetChannelImage(0, pixels.data(), header, QSize());
  m_view->SetChannelFieldFlag(0, 1);
  m_view->DrawChannel(0);
  QImage shot = m_view->grab().toImage();
  QRect pane = m_view->PaneRect(0);
  EXPECT_EQ(shot.pixelColor(pane.center().x(), pane.top() + 40), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(pane.center().x(), pane.bottom() - 40), QColor(0, 0, 255));
  EXPECT_EQ(shot.pixelColor(pane.topLeft()), QColor(Qt::white));

  // Nine panes ask for pictures of about a pane's width and half its height,
  // and draw a half-size bitmap of the same picture the same way.
  Click(V::kIdLayoutFirst + 3);
  pane = m_view->PaneRect(0);
  EXPECT_EQ(m_view->LiveDecodeSize(0), QSize(pane.width(), pane.height() / 2));
  BitmapInfoHeader half = Header(176, 144);
  half.imageSize = half.ComputeImageSize();
  std::vector<std::uint8_t> halfPixels(half.imageSize);
  for (int row = 0; row < half.height; ++row)
    for (int x = 0; x < half.width; ++x)
      halfPixels[row * half.Stride() + x * 3 + (row >= half.height / 2 ? 2 : 0)] = 255;
  m_view->SetChannelImage(0, halfPixels.data(), half, QSize(352, 288));
  m_view->DrawChannel(0);
  shot = m_view->grab().toImage();
  EXPECT_EQ(shot.pixelColor(pane.center().x(), pane.top() + 20), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(pane.center().x(), pane.bottom() - 20), QColor(0, 0, 255));
}

}  // namespace
