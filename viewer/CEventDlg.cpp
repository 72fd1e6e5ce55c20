#include "viewer/CEventDlg.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "viewer/EventRecord.h"

namespace {

constexpr int kFirstPlayableChannel = 1;
constexpr int kLastPlayableChannel = 16;
// Column widths in twentieths of the usable list width.
constexpr int kColumnShares[EventListModel::ColumnCount] = {4, 7, 9};

}  // namespace

QString CEventDlg::DefaultEventFilePath() { return QString::fromLatin1(kEventFileName); }

CEventDlg::CEventDlg(bool listAtOnce, QWidget* parent, const QString& eventFilePath)
    : QDialog(parent), m_eventFilePath(eventFilePath) {
  setWindowTitle(QStringLiteral("Event"));

  m_pModel = new EventListModel(m_eventFilePath, this);
  m_pList = new QTableView(this);
  m_pList->setModel(m_pModel);
  m_pList->setFixedSize(kListWidth, kListHeight);
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
  const int unit = (kListWidth - kListFrameAllowance) / 20;
  for (int c = 0; c < EventListModel::ColumnCount; ++c) m_pList->setColumnWidth(c, unit * kColumnShares[c]);

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
