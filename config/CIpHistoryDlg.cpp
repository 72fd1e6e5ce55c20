#include "config/CIpHistoryDlg.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/ConnectionHistory.h"
#include "platform/Alerts.h"

namespace {
constexpr int kColumns = 3;
constexpr int kListHeight = 160;
}  // namespace

CIpHistoryDlg::CIpHistoryDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kTitle));

  m_pList = new QTreeWidget(this);
  m_pList->setRootIsDecorated(false);
  m_pList->setItemsExpandable(false);
  m_pList->setUniformRowHeights(true);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setColumnCount(kColumns);
  m_pList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("IP"), QStringLiteral("Port")});
  m_pList->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_pList->header()->setStretchLastSection(false);
  for (int column = 0; column < kColumns; ++column) m_pList->setColumnWidth(column, kColumnWidth);
  m_pList->setMinimumSize(kColumns * kColumnWidth + 4, kListHeight);
  // Double clicks below the rows reach the dialog too.
  m_pList->viewport()->installEventFilter(this);

  m_pOk = new QPushButton(QStringLiteral("OK"), this);
  m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_pCancel->hide();  // Escape still cancels
  m_pDelete = new QPushButton(QStringLiteral("Delete"), this);
  m_pOk->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pOk);
  buttons->addWidget(m_pCancel);
  buttons->addWidget(m_pDelete);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pList);
  layout->addLayout(buttons);

  connect(m_pOk, &QPushButton::clicked, this, &CIpHistoryDlg::OnOk);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_pDelete, &QPushButton::clicked, this, &CIpHistoryDlg::OnDelete);
  connect(m_pList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClick(item); });

  Reload();
}

void CIpHistoryDlg::Reload() {
  m_pList->clear();
  m_nRowCount = 0;
  const auto entries = ReadConnectionHistory();
  if (!entries) {
    const HistoryEntry entry = CreateDefaultConnectionHistory();
    AddRow(entry.label, entry.ip, entry.port);
    m_nRowCount = 1;
    return;
  }
  for (const HistoryEntry& entry : *entries) {
    AddRow(entry.label, entry.ip, entry.port);
    ++m_nRowCount;
  }
}

void CIpHistoryDlg::AddRow(const QString& label, const QString& ip, const QString& port) {
  auto* item = new QTreeWidgetItem(m_pList, QStringList{label, ip, port});
  for (int column = 0; column < kColumns; ++column) item->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
}

bool CIpHistoryDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    OnDoubleClick(m_pList->itemAt(mouse->position().toPoint()));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CIpHistoryDlg::Pick(QTreeWidgetItem* item) {
  m_strLabel = item ? item->text(0) : QString();
  m_strIp = item ? item->text(1) : QString();
  m_strPort = item ? item->text(2) : QString();
}

void CIpHistoryDlg::OnClick(QTreeWidgetItem* item) {
  if (!item) return;
  Pick(item);
  m_bPicked = true;
}

void CIpHistoryDlg::OnDoubleClick(QTreeWidgetItem* item) {
  // Below the rows of a non-empty list: nothing was meant.
  if (!item && m_nRowCount > 0) return;
  Pick(item);
  CloseWithOk();
}

void CIpHistoryDlg::OnOk() {
  if (!m_bPicked && m_nRowCount > 0) {
    Alerts::ShowMessage(this, QString::fromLatin1(kSelectText), QString::fromLatin1(kCaption),
                        Alerts::Icon::Warning);
    return;
  }
  CloseWithOk();
}

void CIpHistoryDlg::CloseWithOk() {
  if (m_strPort.isEmpty()) m_strPort = QString::fromLatin1(kDefaultHistoryPort);
  accept();
}

void CIpHistoryDlg::OnDelete() {
  RemoveConnectionHistory(m_strLabel);
  Reload();
  m_strLabel.clear();
  m_strIp.clear();
  m_strPort.clear();
  m_bPicked = false;
}
