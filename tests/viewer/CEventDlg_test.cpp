// The Event dialog: columns, rows from the file, reload and double clicks.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

#include "viewer/CEventDlg.h"
#include "viewer/EventRecord.h"

namespace {

QByteArray Record(std::initializer_list<int> bytes) {
  QByteArray b;
  for (int v : bytes) b.append(static_cast<char>(v));
  return b;
}

class EventDlgTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path() const { return dir.filePath("AlarmEvent.am"); }
  void Write(const QByteArray& bytes) {
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
};

TEST_F(EventDlgTest, CaptionColumnsAndWidths) {
  CEventDlg dlg(false, nullptr, path());
  EXPECT_EQ(dlg.windowTitle(), "Event");
  QTableWidget* list = dlg.List();
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Channel");
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Alarm Type");
  EXPECT_EQ(list->horizontalHeaderItem(2)->text(), "Date/Time");
  const int unit = (list->width() - 6) / 20;
  EXPECT_EQ(list->columnWidth(0), unit * 4);
  EXPECT_EQ(list->columnWidth(1), unit * 7);
  EXPECT_EQ(list->columnWidth(2), unit * 9);
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(EventDlgTest, ListsAtOnceOnlyWhenAsked) {
  Write(Record({3, 0xA0, 9, 5, 31, 23, 59, 59, 0, 0}));
  CEventDlg later(false, nullptr, path());
  EXPECT_EQ(later.List()->rowCount(), 0);
  CEventDlg atOnce(true, nullptr, path());
  ASSERT_EQ(atOnce.List()->rowCount(), 1);
  EXPECT_EQ(atOnce.List()->item(0, 0)->text(), "CH3");
  EXPECT_EQ(atOnce.List()->item(0, 1)->text(), " Normal Close Alarm 0 -> 1");
  EXPECT_EQ(atOnce.List()->item(0, 2)->text(), "[ 2005/05/31 ] 23:59:59");
}

TEST_F(EventDlgTest, ReloadReplacesTheRowsAndSkipsBadRecords) {
  Write(Record({1, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({2, 0, 9, 13, 1, 0, 0, 0, 0, 0}) +
        Record({3, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({4, 0, 9}));
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(dlg.List()->rowCount(), 2);
  EXPECT_EQ(dlg.List()->item(1, 0)->text(), "CH3");
  EXPECT_EQ(dlg.List()->item(1, 1)->text(), "No Event");

  Write(Record({5, 1, 9, 1, 1, 0, 0, 0, 0, 0}));
  dlg.Reload();
  ASSERT_EQ(dlg.List()->rowCount(), 1);
  EXPECT_EQ(dlg.List()->item(0, 0)->text(), "CH5");

  QFile::remove(path());
  dlg.Reload();
  EXPECT_EQ(dlg.List()->rowCount(), 0);
}

TEST_F(EventDlgTest, DoubleClickPlaysChannelsOneToSixteenOnly) {
  Write(Record({0, 0, 9, 5, 31, 23, 59, 59, 0, 0}) + Record({16, 0, 9, 5, 31, 23, 59, 59, 0, 0}));
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(dlg.List()->rowCount(), 2);
  QSignalSpy spy(&dlg, &CEventDlg::playFromEvent);
  emit dlg.List()->cellDoubleClicked(0, 1);  // CH0
  EXPECT_EQ(spy.count(), 0);
  emit dlg.List()->cellDoubleClicked(1, 2);  // CH16
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][0].value<quint32>(), MakeTimeCost(2005, 5, 31, 23, 59, 59));
  EXPECT_EQ(spy[0][1].toInt(), 15);
  emit dlg.List()->cellDoubleClicked(7, 0);  // no such row
  EXPECT_EQ(spy.count(), 1);
}

}  // namespace
