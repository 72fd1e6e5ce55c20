// The month calendar: the Sunday rule of the grid, the bounds and picking
// a day of the next month with the mouse.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "archive/MonthCalendar.h"

namespace {

class CalendarTest : public ::testing::Test {
 protected:
  QWidget parent;
  MonthCalendar cal{&parent, QRect(722, 376, 224, 180), 7};
  void SetUp() override { cal.SetTodayOverride(QDate(2001, 1, 1)); }
};

TEST_F(CalendarTest, FirstOfMonthOnSundayShowsTheWholePreviousWeekFirst) {
  ASSERT_TRUE(cal.SetDate(QDate(2005, 5, 1)));
  EXPECT_EQ(cal.CellAt(0).date, QDate(2005, 4, 24));
  EXPECT_EQ(cal.CellAt(6).date, QDate(2005, 4, 30));
  EXPECT_EQ(cal.CellAt(7).date, QDate(2005, 5, 1));
  EXPECT_EQ(cal.CellAt(0).kind, MonthCalendar::KindOtherMonth);
  EXPECT_EQ(cal.CellAt(7).kind, MonthCalendar::KindThisMonth);
  EXPECT_TRUE(cal.CellAt(7).selected);
  EXPECT_EQ(cal.CellAt(41).date, QDate(2005, 6, 4));
  EXPECT_EQ(cal.CellAt(7).text, "1");
  // Cells of 29 x 20 from 50 down.
  EXPECT_EQ(cal.CellAt(8).rect, QRect(29, 70, 29, 20));
  EXPECT_EQ(cal.CellAt(41).rect, QRect(174, 150, 29, 20));
}

TEST_F(CalendarTest, YearStepsStopAt2200AndClampToJanuary) {
  cal.SetDate(QDate(2200, 1, 10));
  cal.StepYear(1);
  EXPECT_EQ(cal.DisplayedMonth(), QDate(2200, 1, 1));
  cal.SetDate(QDate(2199, 6, 1));
  cal.StepYear(1);
  EXPECT_EQ(cal.DisplayedMonth(), QDate(2200, 1, 1));
  EXPECT_EQ(cal.YearEdit()->value(), 2200);
  cal.StepMonth(1);
  EXPECT_EQ(cal.DisplayedMonth(), QDate(2200, 1, 1));
  EXPECT_EQ(cal.YearEdit()->maximum(), 2200);
  EXPECT_EQ(cal.YearEdit()->minimum(), 1900);
}

TEST_F(CalendarTest, EarliestMonthIsDecember1900) {
  cal.SetDate(QDate(1901, 1, 5));
  cal.StepMonth(-1);
  EXPECT_EQ(cal.DisplayedMonth(), QDate(1900, 12, 1));
  cal.StepMonth(-1);
  EXPECT_EQ(cal.DisplayedMonth(), QDate(1900, 12, 1));
  cal.SetDate(QDate(1850, 3, 3));
  EXPECT_EQ(cal.DisplayedMonth(), QDate(1900, 12, 1));
}

TEST_F(CalendarTest, ClickingAGreyDayOfTheNextMonthSelectsItAndMovesTheGrid) {
  parent.resize(1000, 600);
  parent.show();
  cal.SetDate(QDate(2005, 3, 10));
  QSignalSpy spy(&cal, &MonthCalendar::datePicked);
  const int index = 41;  // 9 April 2005
  ASSERT_EQ(cal.CellAt(index).date, QDate(2005, 4, 9));
  QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.CellAt(index).rect.center());
  EXPECT_EQ(cal.GetDate(), QDate(2005, 4, 9));
  EXPECT_EQ(cal.DisplayedMonth(), QDate(2005, 4, 1));
  ASSERT_TRUE(spy.wait(1000));
  EXPECT_EQ(spy[0][0].toInt(), 7);
  int selected = 0;
  for (int i = 0; i < MonthCalendar::kCells; ++i) selected += cal.CellAt(i).selected ? 1 : 0;
  EXPECT_EQ(selected, 1);
}

}  // namespace
