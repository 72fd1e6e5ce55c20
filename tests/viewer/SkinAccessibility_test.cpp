// What assistive tools read of the main view through QAccessible: every skin
// control by its label with role and state, and the status line, date and
// time as texts that follow the view; a control pressed by an assistive tool
// acts as clicked.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "app/AppViewExtensions.h"
#include "skin/SkinAccessibility.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
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

TEST(SkinAccessibility, ControlsAndTextsAreReadableAndFollowTheView) {
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  V::Options options;
  options.createLink = false;
  options.extensions = AppViewExtensions();
  V view(nullptr, options);
  view.OnInitialUpdate();
  view.show();
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&view);
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
  EXPECT_EQ(status->text(QAccessible::Value), "WAITING FOR CONNECTION.");
  EXPECT_EQ(Child(tree, SkinAccessibility::kDateName)->text(QAccessible::Value),
            StatusPanel::DateText(QDate::currentDate()));
  EXPECT_TRUE(Child(tree, SkinAccessibility::kTimeName)->text(QAccessible::Value).contains(" : "));
  EXPECT_EQ(tree->indexOfChild(status), tree->childCount() - 3);
  EXPECT_EQ(status->parent(), tree);

  // LAYOUT 1 pressed by an assistive tool: one pane, and the states follow.
  QAccessibleInterface* layoutOne = Child(tree, "LAYOUT 1");
  ASSERT_NE(layoutOne->actionInterface(), nullptr);
  layoutOne->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  EXPECT_EQ(view.ChannelLayout(), 0x100);
  EXPECT_TRUE(layoutOne->state().checked);
  EXPECT_FALSE(Child(tree, "LAYOUT 9")->state().checked);

  view.ShowConnectionStatus(1);
  EXPECT_EQ(status->text(QAccessible::Value), "CONNECTION ESTABLISHED.");
}

}  // namespace
