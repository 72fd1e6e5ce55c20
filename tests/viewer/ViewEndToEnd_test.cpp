// The main view against the simulated recorder on loopback: CONNECT fills the
// panes with the recorder's live channels; DISCONNECT empties them again.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "link/CDvrLink.h"
#include "sim/SimRecorder.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "tests/viewer/ViewOnSimulator.h"
#include "viewer/CArdevizView.h"

namespace {

using V = CArdevizView;

// Average colour of the middle of a pane.
QColor PaneColour(const QImage& shot, const QRect& pane) {
  long r = 0, g = 0, b = 0, n = 0;
  const QRect middle = pane.adjusted(pane.width() / 4, pane.height() / 4, -pane.width() / 4, -pane.height() / 4);
  for (int y = middle.top(); y <= middle.bottom(); y += 4)
    for (int x = middle.left(); x <= middle.right(); x += 4) {
      const QColor c = shot.pixelColor(x, y);
      r += c.red();
      g += c.green();
      b += c.blue();
      ++n;
    }
  return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

class ViewEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SimOptions simOptions;
    simOptions.channelInfo = 8;
    ASSERT_TRUE(m_sim.Start(simOptions)) << m_sim.recorder->ErrorString().toStdString();
    m_view = m_sim.view.get();
    m_view->Settings().hostAddress = QStringLiteral("127.0.0.1");
    m_view->Settings().hostPort = m_sim.recorder->Port();
  }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  ViewOnSimulator m_sim;
  V* m_view = nullptr;
};

TEST_F(ViewEndToEndTest, ConnectShowsTheEightLiveChannelsAndDisconnectWaitsAgain) {
  ClickAndSettle(m_view->Button(V::kIdConnect));
  QTRY_COMPARE_WITH_TIMEOUT(int(m_view->ConnectionState()), 1, 10000);
  EXPECT_EQ(m_view->StatusText(), "CONNECTION ESTABLISHED.");
  for (int ch = 0; ch < V::kLiveChannels; ++ch)
    QTRY_VERIFY2_WITH_TIMEOUT(m_view->HasChannelImage(ch), qPrintable(QString("channel %1").arg(ch)), 10000);
  EXPECT_FALSE(m_view->HasChannelImage(8));

  const QImage shot = m_view->grab().toImage();
  std::vector<QColor> colours;
  for (int ch = 0; ch < V::kLiveChannels; ++ch) {
    const QColor c = PaneColour(shot, m_view->PaneRect(ch));
    EXPECT_GT(c.red() + c.green() + c.blue(), 60) << "channel " << ch << " looks empty";
    colours.push_back(c);
  }
  // Each pane shows its own camera, not one picture eight times.
  for (int a = 0; a < V::kLiveChannels; ++a)
    for (int b = a + 1; b < V::kLiveChannels; ++b) EXPECT_NE(colours[a], colours[b]) << a << " and " << b;
  // The ninth pane stays black: channels above 8 cannot be requested live.
  EXPECT_EQ(PaneColour(shot, m_view->PaneRect(8)), QColor(0, 0, 0));

  ClickAndSettle(m_view->Button(V::kIdDisconnect));
  EXPECT_EQ(m_view->ConnectionState(), 0);
  EXPECT_EQ(m_view->StatusText(), "WAITING FOR CONNECTION.");
  EXPECT_TRUE(m_view->Button(V::kIdDisconnect)->GetCheck());
  for (int ch = 0; ch < wire::kChannels; ++ch) EXPECT_FALSE(m_view->HasChannelImage(ch));
  const QImage after = m_view->grab().toImage();
  EXPECT_EQ(PaneColour(after, m_view->PaneRect(0)), QColor(0, 0, 0));
}

TEST_F(ViewEndToEndTest, DoubleClickShowsOneLiveChannelLarge) {
  ClickAndSettle(m_view->Button(V::kIdConnect));
  QTRY_COMPARE_WITH_TIMEOUT(int(m_view->ConnectionState()), 1, 10000);
  ClickAndSettle(m_view->Button(V::kIdLayoutFirst + 1));
  ClickAndSettle(m_view->Button(V::kIdChannelFirst + 4));  // channels 5 to 8
  QTRY_VERIFY_WITH_TIMEOUT(m_view->HasChannelImage(4) && m_view->HasChannelImage(7), 10000);
  QTest::mouseDClick(m_view, Qt::LeftButton, {}, m_view->PaneRect(6).center());
  EXPECT_EQ(m_view->ChannelLayout(), V::kLayoutSingle);
  EXPECT_EQ(m_view->ChannelMask(), 1u << 6);
  QTest::qWait(300);
  const QImage shot = m_view->grab().toImage();
  const QColor c = PaneColour(shot, m_view->PaneRect(6));
  EXPECT_GT(c.red() + c.green() + c.blue(), 60);
}

}  // namespace
