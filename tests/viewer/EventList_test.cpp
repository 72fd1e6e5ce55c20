// Event file records (the packed time and the range rules) and the Event
// dialog: rows from the file, reload and double clicks, and a list of the
// largest size.
#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <vector>

#include "viewer/CEventDlg.h"
#include "viewer/EventListModel.h"
#include "viewer/EventRecord.h"

namespace {

QByteArray Record(std::initializer_list<int> bytes) {
  QByteArray b;
  for (int v : bytes) b.append(static_cast<char>(v));
  return b;
}

TEST(EventRecord, PackedTimeAndTheRangeOfEachField) {
  // A trailing part shorter than a record is ignored.
  const auto records = ParseEventRecords(Record({3, 0xA0, 9, 5, 31, 23, 59, 59, 0, 0}) +
                                         Record({0, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({1, 2, 3}));
  ASSERT_EQ(records.size(), 2u);
  const std::uint32_t packed = 9u << 26 | 5u << 22 | 31u << 17 | 23u << 12 | 59u << 6 | 59u;
  EXPECT_EQ(records[0].TimeCost(), packed);
  EXPECT_EQ(MakeTimeCost(2005, 5, 31, 23, 59, 59), packed);
  // Each field keeps only its low bits: a year offset of 64 wraps to 0.
  EXPECT_EQ(MakeTimeCost(1996 + 64, 1, 1, 0, 0, 0), MakeTimeCost(1996, 1, 1, 0, 0, 0));

  // Each field at its limit is listed, one beyond it is skipped (any event bits are fine).
  const int limits[8] = {16, 255, 100, 12, 31, 24, 59, 59};
  for (int field = 0; field < 8; ++field) {
    QByteArray bytes = Record({1, 0, 9, 5, 1, 0, 0, 0, 0, 0});
    bytes[field] = static_cast<char>(limits[field]);
    EXPECT_EQ(ParseEventRecords(bytes).size(), 1u) << field;
    bytes[field] = static_cast<char>(limits[field] + 1);  // the event bits wrap to 0, still fine
    EXPECT_EQ(ParseEventRecords(bytes).size(), field == 1 ? 1u : 0u) << field;
  }
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
  static QString Row(const CEventDlg& dlg, int row) {
    const auto* m = dlg.Model();
    return m->index(row, 0).data().toString() + "|" + m->index(row, 1).data().toString() + "|" +
           m->index(row, 2).data().toString();
  }
  static int Rows(const CEventDlg& dlg) { return dlg.Model()->rowCount(); }
};

TEST_F(EventDlgTest, ListsReloadsAndPlaysChannelsOneToSixteen) {
  Write(Record({3, 0xA0, 9, 5, 31, 23, 59, 59, 0, 0}) + Record({2, 0, 9, 13, 1, 0, 0, 0, 0, 0}));  // month 13
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(Rows(dlg), 1);
  EXPECT_EQ(Row(dlg, 0), "CH3| Normal Close Alarm 0 -> 1|[ 2005/05/31 ] 23:59:59");

  QByteArray events = Record({0, 1, 9, 5, 31, 23, 59, 59, 0, 0}) + Record({16, 1, 9, 5, 31, 23, 59, 59, 0, 0});
  for (int i = 0; i < 38; ++i) events += Record({16, 0xA0, 9, 12, 31, 23, 59, 59, 0, 0});
  Write(events);
  dlg.Reload();
  ASSERT_EQ(Rows(dlg), 40);
  EXPECT_EQ(Row(dlg, 1), "CH16| Motion -> NoEvent|[ 2005/05/31 ] 23:59:59");
  // Compact rows, every text whole, no scroll bar but the vertical one the long list needs.
  dlg.show();
  QTableView* list = dlg.List();
  QTRY_VERIFY_WITH_TIMEOUT(list->verticalScrollBar()->isVisible(), 5000);
  EXPECT_GE(list->viewport()->height() / list->rowHeight(0), 14);
  EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
  for (int c = 0; c < dlg.Model()->columnCount(); ++c)
    EXPECT_GE(list->columnWidth(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c;
  QSignalSpy spy(&dlg, &CEventDlg::playFromEvent);
  emit dlg.List()->doubleClicked(dlg.Model()->index(0, 1));  // CH0
  emit dlg.List()->doubleClicked(dlg.Model()->index(1, 2));  // CH16
  emit dlg.List()->doubleClicked(dlg.Model()->index(40, 0));  // no such row
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][0].value<quint32>(), MakeTimeCost(2005, 5, 31, 23, 59, 59));
  EXPECT_EQ(spy[0][1].toInt(), 15);

  QFile::remove(path());
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);
}

// The largest list the link accepts is listed whole, its rows made as they
// are asked for; one byte more lists nothing.
TEST_F(EventDlgTest, LargestListIsListedWholeAndOneByteMoreNot) {
  constexpr std::size_t kRecords = EventListModel::kEventFileBound / kEventRecordSize;
  QByteArray big;
  big.reserve(static_cast<qsizetype>(EventListModel::kEventFileBound));
  for (std::size_t i = 0; i < kRecords; ++i)
    big += Record({static_cast<int>(1 + i % 16), 0x02, 9, 5, 31, 23, 59, static_cast<int>(i % 60), 0, 0});
  big += Record({1, 2, 3, 4, 5, 6, 7, 8});  // the short tail up to the bound
  ASSERT_EQ(static_cast<std::size_t>(big.size()), EventListModel::kEventFileBound);
  Write(big);
  CEventDlg dlg(true, nullptr, path());
  ASSERT_EQ(static_cast<std::size_t>(Rows(dlg)), kRecords);
  const int last = Rows(dlg) - 1;
  EXPECT_EQ(Row(dlg, last),
            QString::asprintf("CH%d| NoEvent -> Motion|[ 2005/05/31 ] 23:59:%02d", 1 + last % 16, last % 60));

  Write(big + Record({1}));
  dlg.Reload();
  EXPECT_EQ(Rows(dlg), 0);
}

}  // namespace
