// The Event dialog: columns, rows from the file, reload and double clicks, a
// list of the largest size and files that are no plain files.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "viewer/CEventDlg.h"
#include "viewer/EventListModel.h"
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
    QFile::remove(path());
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  static QString Text(const CEventDlg& dlg, int row, int column) {
    return dlg.Model()->index(row, column).data().toString();
  }
  static int Rows(const CEventDlg& dlg) { return dlg.Model()->rowCount(); }
};

TEST_F(EventDlgTest, CaptionColumnsAndWidths) {
  CEventDlg dlg(false, nullptr, path());
  EXPECT_EQ(dlg.windowTitle(), "Event");
  QTableView* list = dlg.List();
  ASSERT_EQ(list->model(), dlg.Model());
  ASSERT_EQ(dlg.Model()->columnCount(), 3);
  EXPECT_EQ(dlg.Model()->headerData(0, Qt::Horizontal).toString(), "Channel");
  EXPECT_EQ(dlg.Model()->headerData(1, Qt::Horizontal).toString(), "Alarm Type");
  EXPECT_EQ(dlg.Model()->headerData(2, Qt::Horizontal).toString(), "Date/Time");
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
  EXPECT_EQ(Rows(later), 0);
  CEventDlg atOnce(true, nullptr, path());
  ASSERT_EQ(Rows(atOnce), 1);
  EXPECT_EQ(Text(atOnce, 0, 0), "CH3");
  EXPECT_EQ(Text(atOnce, 0, 1), " Normal Close Alarm 0 -> 1");
  EXPECT_EQ(Text(atOnce, 0, 2), "[ 2005/05/31 ] 23:59:59");
  EXPECT_EQ(atOnce.Model()->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
}

TEST_F(EventDlgTest, ReloadReplacesTheRowsAndSkipsBadRecords) {
  Write(Record({1, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({2, 0, 9, 13, 1, 0, 0, 0, 0, 0}) +
        Record({3, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({4, 0, 9}));
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(Rows(dlg), 2);
  EXPECT_EQ(Text(dlg, 1, 0), "CH3");
  EXPECT_EQ(Text(dlg, 1, 1), "No Event");

  Write(Record({5, 1, 9, 1, 1, 0, 0, 0, 0, 0}));
  dlg.Reload();
  ASSERT_EQ(Rows(dlg), 1);
  EXPECT_EQ(Text(dlg, 0, 0), "CH5");

  QFile::remove(path());
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);
}

TEST_F(EventDlgTest, DoubleClickPlaysChannelsOneToSixteenOnly) {
  Write(Record({0, 0, 9, 5, 31, 23, 59, 59, 0, 0}) + Record({16, 0, 9, 5, 31, 23, 59, 59, 0, 0}));
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(Rows(dlg), 2);
  QSignalSpy spy(&dlg, &CEventDlg::playFromEvent);
  emit dlg.List()->doubleClicked(dlg.Model()->index(0, 1));  // CH0
  EXPECT_EQ(spy.count(), 0);
  emit dlg.List()->doubleClicked(dlg.Model()->index(1, 2));  // CH16
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][0].value<quint32>(), MakeTimeCost(2005, 5, 31, 23, 59, 59));
  EXPECT_EQ(spy[0][1].toInt(), 15);
  emit dlg.List()->doubleClicked(dlg.Model()->index(7, 0));  // no such row
  EXPECT_EQ(spy.count(), 1);
}

// The largest list the link accepts is listed whole, its rows made as they
// are asked for; one byte more, a device or a FIFO lists nothing (and never
// blocks).
TEST_F(EventDlgTest, LargestListIsListedWholeAndOtherFilesAsMissing) {
  constexpr std::size_t kRecords = EventListModel::kEventFileBound / kEventRecordSize;
  QByteArray big;
  big.reserve(static_cast<qsizetype>(EventListModel::kEventFileBound));
  for (std::size_t i = 0; i < kRecords; ++i) big += Record({static_cast<int>(1 + i % 16), 0x02, 9, 5, 31, 23, 59, static_cast<int>(i % 60), 0, 0});
  big += Record({1, 2, 3, 4, 5, 6, 7, 8});  // the short tail up to the bound
  ASSERT_EQ(static_cast<std::size_t>(big.size()), EventListModel::kEventFileBound);
  Write(big);
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(static_cast<std::size_t>(Rows(dlg)), kRecords);
  const int last = Rows(dlg) - 1;
  EXPECT_EQ(Text(dlg, last, 0), QStringLiteral("CH%1").arg(1 + last % 16));
  EXPECT_EQ(Text(dlg, last, 2), QString::asprintf("[ 2005/05/31 ] 23:59:%02d", last % 60));

  Write(big + Record({1}));
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);

  QFile::remove(path());
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path()));
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);
  QFile::remove(path());
  ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);
}

}  // namespace
