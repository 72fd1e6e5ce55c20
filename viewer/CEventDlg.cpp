#include "viewer/CEventDlg.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <numeric>

#include "viewer/EventRecord.h"

namespace {

constexpr int kFirstPlayableChannel = 1;
constexpr int kLastPlayableChannel = 16;
// Room around a cell's text, and above and below a row's.
constexpr int kCellPadding = 14;
constexpr int kRowPadding = 4;

}  // namespace

QString CEventDlg::DefaultEventFilePath() { return QString::fromLatin1(kEventFileName); }

CEventDlg::CEventDlg(bool listAtOnce, QWidget* parent, const QString& eventFilePath)
    : QDialog(parent), m_eventFilePath(eventFilePath) {
  setWindowTitle(QStringLiteral("Event"));

  m_pModel = new EventListModel(m_eventFilePath, this);
  m_pList = new QTableView(this);
  m_pList->setModel(m_pModel);
  m_pList->setShowGrid(true);
  m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setWordWrap(false);
  // Every row has the same height, so none is ever measured.
  m_pList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pList->verticalHeader()->hide();
  m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  m_pList->horizontalHeader()->setStretchLastSection(false);
  // Compact rows, and columns as wide as their widest usual text: a channel, an
  // event of two changes, a date and time; the last takes the room left. The
  // vertical bar's room is kept, so it never pushes a horizontal one in.
  const QFontMetrics metrics = m_pList->fontMetrics();
  m_pList->verticalHeader()->setDefaultSectionSize(metrics.height() + kRowPadding);
  int twoChanges = 0;
  for (const char* first : kEventBitTexts)
    for (const char* second : kEventBitTexts)
      twoChanges = std::max(twoChanges, metrics.horizontalAdvance(QLatin1String(first) + QLatin1String(second)));
  // Digits differ in width: a date and time in the widest digit.
  QChar wideDigit = QLatin1Char('0');
  for (char d = '1'; d <= '9'; ++d)
    if (metrics.horizontalAdvance(QLatin1Char(d)) > metrics.horizontalAdvance(wideDigit)) wideDigit = QLatin1Char(d);
  QString dateTime = EventRecord{}.DateTimeText();
  for (QChar& c : dateTime)
    if (c.isDigit()) c = wideDigit;
  int widest[EventListModel::ColumnCount] = {};
  widest[EventListModel::ColumnChannel] = metrics.horizontalAdvance(QStringLiteral("CH16"));
  widest[EventListModel::ColumnAlarmType] = twoChanges;
  widest[EventListModel::ColumnDateTime] = metrics.horizontalAdvance(dateTime);
  int widths[EventListModel::ColumnCount] = {};
  for (int c = 0; c < EventListModel::ColumnCount; ++c) {
    const QString title = m_pModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    widths[c] = std::max(widest[c], metrics.horizontalAdvance(title)) + kCellPadding;
  }
  const int chrome =
      2 * m_pList->frameWidth() + m_pList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pList);
  const int columns = std::accumulate(std::begin(widths), std::end(widths), 0);
  const int listWidth = std::max(kListWidth, columns + chrome);
  widths[EventListModel::ColumnCount - 1] += listWidth - chrome - columns;  // the last column takes the rest
  for (int c = 0; c < EventListModel::ColumnCount; ++c) m_pList->setColumnWidth(c, widths[c]);
  m_pList->setFixedSize(listWidth, kListHeight);

  m_pOkButton = new QPushButton(QStringLiteral("OK"), this);
  m_pOkButton->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pList);
  layout->addWidget(m_pOkButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_pOkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pList, &QTableView::doubleClicked, this, &CEventDlg::OnDoubleClicked);

  if (listAtOnce) Reload();
}

void CEventDlg::Reload() { m_pModel->Reload(); }

void CEventDlg::OnDoubleClicked(const QModelIndex& index) {
  if (!index.isValid()) return;
  const QModelIndex channelCell = m_pModel->index(index.row(), EventListModel::ColumnChannel);
  // The channel comes back from the row's own text, "CH<n>".
  bool ok = false;
  const int number = channelCell.data().toString().mid(2).toInt(&ok);
  if (!ok || number < kFirstPlayableChannel || number > kLastPlayableChannel) return;
  emit playFromEvent(channelCell.data(EventListModel::kPackedTimeRole).value<quint32>(), number - 1);
}
