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
  EXPECT_EQ(std::vector({cal.CellAt(0).date, cal.CellAt(6).date, cal.CellAt(7).date, cal.CellAt(41).date}),
            std::vector({QDate(2005, 4, 24), QDate(2005, 4, 30), QDate(2005, 5, 1), QDate(2005, 6, 4)}));
  EXPECT_EQ(cal.CellAt(0).kind, MonthCalendar::KindOtherMonth);
  EXPECT_EQ(cal.CellAt(7).kind, MonthCalendar::KindThisMonth);
  EXPECT_TRUE(cal.CellAt(7).selected);
}

// Steps past January 2200 stop there (a year step from June 2199 lands on
// January), steps and dates before December 1900 show December 1900.
TEST_F(CalendarTest, MonthsStayBetweenDecember1900AndJanuary2200) {
  const struct {
    QDate date;
    int years, months;
    QDate shown;
  } steps[] = {{{2200, 1, 10}, 1, 0, {2200, 1, 1}},  {{2199, 6, 1}, 1, 0, {2200, 1, 1}},
               {{2200, 1, 10}, 0, 1, {2200, 1, 1}},  {{1901, 1, 5}, 0, -1, {1900, 12, 1}},
               {{1900, 12, 5}, 0, -1, {1900, 12, 1}}, {{1850, 3, 3}, 0, 0, {1900, 12, 1}}};
  for (const auto& s : steps) {
    cal.SetDate(s.date);
    if (s.years) cal.StepYear(s.years);
    if (s.months) cal.StepMonth(s.months);
    EXPECT_EQ(cal.DisplayedMonth(), s.shown) << s.date.toString().toStdString() << ' ' << s.years << ' ' << s.months;
    EXPECT_EQ(cal.YearEdit()->value(), s.shown.year());
  }
  EXPECT_EQ(std::make_pair(cal.YearEdit()->minimum(), cal.YearEdit()->maximum()), std::make_pair(1900, 2200));
}

TEST_F(CalendarTest, ClickingAGreyDayOfTheNextMonthSelectsItAndMovesTheGrid) {
  parent.resize(1000, 600);
  parent.show();
  cal.SetDate(QDate(2005, 3, 10));
  QSignalSpy spy(&cal, &MonthCalendar::datePicked);
  ASSERT_EQ(cal.CellAt(41).date, QDate(2005, 4, 9));
  QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.CellAt(41).rect.center());
  EXPECT_EQ(cal.GetDate(), QDate(2005, 4, 9));
  EXPECT_EQ(cal.DisplayedMonth(), QDate(2005, 4, 1));
  ASSERT_TRUE(spy.wait(1000));
  EXPECT_EQ(spy[0][0].toInt(), 7);
  int selected = 0;
  for (int i = 0; i < MonthCalendar::kCells; ++i) selected += cal.CellAt(i).selected ? 1 : 0;
  EXPECT_EQ(selected, 1);
}

}  // namespace
