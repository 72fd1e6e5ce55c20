// The main view against the simulated recorder on loopback: CONNECT fills the
// panes with the recorder's live channels; DISCONNECT empties them again.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "tests/viewer/ViewOnSimulator.h"
#include "viewer/CArdevizView.h"

namespace {

using V = CArdevizView;

// Average colour of the middle of a pane.
QColor PaneColour(const QImage& shot, const QRect& pane) {
  const QRect middle = pane.adjusted(pane.width() / 4, pane.height() / 4, -pane.width() / 4, -pane.height() / 4);
  return shot.copy(middle).scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
}

TEST(ViewEndToEnd, ConnectShowsTheEightLiveChannelsADoubleClickOneAndDisconnectWaitsAgain) {
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  ViewOnSimulator sim;
  SimOptions simOptions;
  simOptions.channelInfo = 8;
  ASSERT_TRUE(sim.Start(simOptions)) << sim.recorder->ErrorString().toStdString();
  V* view = sim.view.get();
  view->Settings().hostAddress = QStringLiteral("127.0.0.1");
  view->Settings().hostPort = sim.recorder->Port();

  ClickAndSettle(view->Button(V::kIdConnect));
  QTRY_COMPARE_WITH_TIMEOUT(int(view->ConnectionState()), 1, 10000);
  EXPECT_EQ(view->StatusText(), "CONNECTION ESTABLISHED.");
  for (int ch = 0; ch < V::kLiveChannels; ++ch)
    QTRY_VERIFY2_WITH_TIMEOUT(view->HasChannelImage(ch), qPrintable(QString("channel %1").arg(ch)), 10000);
  EXPECT_FALSE(view->HasChannelImage(8));

  const QImage shot = view->grab().toImage();
  std::vector<QColor> colours;
  for (int ch = 0; ch < V::kLiveChannels; ++ch) {
    colours.push_back(PaneColour(shot, view->PaneRect(ch)));
    EXPECT_GT(colours[ch].red() + colours[ch].green() + colours[ch].blue(), 60) << "channel " << ch << " looks empty";
    // Each pane shows its own camera, not one picture eight times.
    for (int other = 0; other < ch; ++other) EXPECT_NE(colours[other], colours[ch]) << other << " and " << ch;
  }
  // The ninth pane stays black: channels above 8 cannot be requested live.
  EXPECT_EQ(PaneColour(shot, view->PaneRect(8)), QColor(0, 0, 0));

  // A double-click on a pane of the second page of four shows that channel large.
  ClickAndSettle(view->Button(V::kIdLayoutFirst + 1));
  ClickAndSettle(view->Button(V::kIdChannelFirst + 4));
  QTRY_VERIFY_WITH_TIMEOUT(view->HasChannelImage(4) && view->HasChannelImage(7), 10000);
  QTest::mouseDClick(view, Qt::LeftButton, {}, view->PaneRect(6).center());
  EXPECT_EQ(view->ChannelLayout(), V::kLayoutSingle);
  EXPECT_EQ(view->ChannelMask(), 1u << 6);
  QTest::qWait(300);
  const QColor large = PaneColour(view->grab().toImage(), view->PaneRect(6));
  EXPECT_GT(large.red() + large.green() + large.blue(), 60);

  ClickAndSettle(view->Button(V::kIdDisconnect));
  EXPECT_EQ(view->ConnectionState(), 0);
  EXPECT_EQ(view->StatusText(), "WAITING FOR CONNECTION.");
  EXPECT_TRUE(view->Button(V::kIdDisconnect)->GetCheck());
  for (int ch = 0; ch < wire::kChannels; ++ch) EXPECT_FALSE(view->HasChannelImage(ch));
  EXPECT_EQ(PaneColour(view->grab().toImage(), view->PaneRect(6)), QColor(0, 0, 0));
}

}  // namespace
