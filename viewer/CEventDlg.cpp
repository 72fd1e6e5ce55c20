#include "viewer/CEventDlg.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "viewer/EventRecord.h"

namespace {

constexpr int kFirstPlayableChannel = 1;
constexpr int kLastPlayableChannel = 16;
// Column widths in twentieths of the usable list width.
constexpr int kColumnShares[CEventDlg::ColumnCount] = {4, 7, 9};
constexpr int kPackedTimeRole = Qt::UserRole;

QTableWidgetItem* CentredItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignCenter);
  return item;
}

}  // namespace

QString CEventDlg::DefaultEventFilePath() { return QString::fromLatin1(kEventFileName); }

CEventDlg::CEventDlg(bool listAtOnce, QWidget* parent, const QString& eventFilePath)
    : QDialog(parent), m_eventFilePath(eventFilePath) {
  setWindowTitle(QStringLiteral("Event"));

  m_pList = new QTableWidget(0, ColumnCount, this);
  m_pList->setFixedSize(kListWidth, kListHeight);
  m_pList->setShowGrid(true);
  m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setWordWrap(false);
  m_pList->verticalHeader()->hide();
  m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  m_pList->horizontalHeader()->setStretchLastSection(false);
  m_pList->setHorizontalHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Alarm Type"),
                                      QStringLiteral("Date/Time")});
  const int unit = (kListWidth - kListFrameAllowance) / 20;
  for (int c = 0; c < ColumnCount; ++c) m_pList->setColumnWidth(c, unit * kColumnShares[c]);

  m_pOkButton = new QPushButton(QStringLiteral("OK"), this);
  m_pOkButton->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pList);
  layout->addWidget(m_pOkButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_pOkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pList, &QTableWidget::cellDoubleClicked, this, &CEventDlg::OnCellDoubleClicked);

  if (listAtOnce) Reload();
}

void CEventDlg::Reload() {
  m_pList->clearContents();
  m_pList->setRowCount(0);
  const std::vector<EventRecord> records = ReadEventFile(m_eventFilePath);
  m_pList->setRowCount(static_cast<int>(records.size()));
  int row = 0;
  for (const EventRecord& r : records) {
    QTableWidgetItem* channelItem = CentredItem(r.ChannelText());
    channelItem->setData(kPackedTimeRole, QVariant::fromValue<quint32>(r.TimeCost()));
    m_pList->setItem(row, ColumnChannel, channelItem);
    m_pList->setItem(row, ColumnAlarmType, CentredItem(r.AlarmTypeText()));
    m_pList->setItem(row, ColumnDateTime, CentredItem(r.DateTimeText()));
    ++row;
  }
}

void CEventDlg::OnCellDoubleClicked(int row, int /*column*/) {
  const QTableWidgetItem* channelItem = m_pList->item(row, ColumnChannel);
  if (!channelItem) return;
  // The channel comes back from the row's own text, "CH<n>".
  bool ok = false;
  const int number = channelItem->text().mid(2).toInt(&ok);
  if (!ok || number < kFirstPlayableChannel || number > kLastPlayableChannel) return;
  emit playFromEvent(channelItem->data(kPackedTimeRole).value<quint32>(), number - 1);
}
