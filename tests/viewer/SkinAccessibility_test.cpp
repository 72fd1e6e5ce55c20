// What assistive tools read of the main view through QAccessible: every skin
// control by its label with role and state, and the status line, date and
// time as texts; a control pressed by an assistive tool acts as clicked.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "sim/SimRecorder.h"
#include "skin/SkinAccessibility.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "tests/viewer/ViewOnSimulator.h"
#include "viewer/CArdevizView.h"

namespace {

using V = CArdevizView;

// The view's accessible child of that name, or null.
QAccessibleInterface* Child(QAccessibleInterface* view, const QString& name) {
  for (int i = 0; i < view->childCount(); ++i) {
    QAccessibleInterface* child = view->child(i);
    if (child && child->text(QAccessible::Name) == name) return child;
  }
  return nullptr;
}

// What a text child reads through its text interface, the one the AT-SPI bridge carries.
QString Read(QAccessibleInterface* text) {
  QAccessibleTextInterface* reading = text ? text->textInterface() : nullptr;
  return reading ? reading->text(0, reading->characterCount()) : QStringLiteral("(no text interface)");
}

TEST(SkinAccessibility, ControlsAndTextsAreReadableAndARejectedLoginReadsWaiting) {
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  SimOptions simOptions;
  simOptions.faults.rejectLogin = true;
  ViewOnSimulator sim;
  ASSERT_TRUE(sim.Start(simOptions));
  V* view = sim.view.get();
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
  ASSERT_NE(tree, nullptr);

  // Names and states (checkable, checked, disabled) as the view starts: nine panes, every channel on the page.
  const std::pair<const char*, const char*> controls[] = {
      {"POWER", "000"},  {"CONNECT", "100"}, {"DISCONNECT", "110"}, {"LAYOUT 9", "110"},
      {"CHANNEL 3", "111"}, {"ROTATE", "100"}, {"PAN UP", "000"},    {"ACTIVITY", "101"},
  };
  for (const auto& [name, states] : controls) {
    QAccessibleInterface* control = Child(tree, name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->role(), QAccessible::Button) << name;
    const QAccessible::State s = control->state();
    EXPECT_EQ(QString("%1%2%3").arg(int(s.checkable)).arg(int(s.checked)).arg(int(s.disabled)), states) << name;
  }
  EXPECT_TRUE(Child(tree, "PAN LEFT UP")->state().invisible);  // the pad's hidden diagonals
  for (int i = 0; i < tree->childCount(); ++i)
    EXPECT_FALSE(tree->child(i)->text(QAccessible::Name).isEmpty()) << "child " << i << " has no name";

  QAccessibleInterface* status = Child(tree, SkinAccessibility::kStatusName);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->role(), QAccessible::StaticText);
  EXPECT_EQ(Read(status), "WAITING FOR CONNECTION.");
  EXPECT_EQ(Read(Child(tree, SkinAccessibility::kDateName)), StatusPanel::DateText(QDate::currentDate()));
  EXPECT_TRUE(Read(Child(tree, SkinAccessibility::kTimeName)).contains(" : "));
  EXPECT_EQ(tree->indexOfChild(status), tree->childCount() - 3);
  EXPECT_EQ(status->parent(), tree);

  // LAYOUT 1 pressed by an assistive tool: one pane, and the states follow.
  QAccessibleInterface* layoutOne = Child(tree, "LAYOUT 1");
  ASSERT_NE(layoutOne->actionInterface(), nullptr);
  layoutOne->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  EXPECT_EQ(view->ChannelLayout(), 0x100);
  EXPECT_TRUE(layoutOne->state().checked);
  EXPECT_FALSE(Child(tree, "LAYOUT 9")->state().checked);

  // CONNECT by an assistive tool; the recorder rejects the login and the status reads waiting again.
  Child(tree, "CONNECT")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  EXPECT_EQ(view->ConnectionState(), 2);
  EXPECT_NE(Read(status), "WAITING FOR CONNECTION.");
  QTRY_COMPARE_WITH_TIMEOUT(int(view->ConnectionState()), 0, 15000);
  EXPECT_EQ(Read(status), "WAITING FOR CONNECTION.");
}

}  // namespace
