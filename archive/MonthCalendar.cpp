#include "archive/MonthCalendar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <qdrawutil.h>

#include "skin/SpanRect.h"
#include "skin/StatusPanel.h"

namespace {

const QColor kBackground(32, 32, 32);
const QColor kSundayText(255, 64, 64);
const QColor kWeekdayText(192, 192, 192);
const QColor kSaturdayText(64, 64, 255);
const QColor kDayText(128, 255, 255);
const QColor kOtherMonthText(128, 128, 128);
const QColor kOtherMonthHotText(8, 0, 0);
constexpr int kMonthStepDays = 30;
constexpr int kMidMonthDay = 15;
constexpr const char* kWeekdayLabels[MonthCalendar::kColumns] = {"Sun", "Mon", "Tue", "Wed", "Thr", "Fri", "Sat"};

// Header band: arrows at both ends, the month list and the year box between.
constexpr QRect kMonthDownRect(2, 3, 20, 20);
constexpr QRect kMonthListRect(24, 3, 100, 20);
constexpr QRect kYearEditRect(126, 3, 74, 20);
constexpr QRect kMonthUpRect(202, 3, 20, 20);

QDate Clamped(const QDate& firstOfMonth) {
  const QDate earliest = MonthCalendar::FirstAllowedDay();
  const QDate latest(MonthCalendar::LastAllowedDay().year(), MonthCalendar::LastAllowedDay().month(), 1);
  if (!firstOfMonth.isValid() || firstOfMonth < earliest) return earliest;
  if (firstOfMonth > latest) return latest;
  return firstOfMonth;
}

}  // namespace

MonthCalendar::MonthCalendar(QWidget* parent, const QRect& geometry, int controlId)
    : QWidget(parent), m_nControlId(controlId) {
  setGeometry(geometry);
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));

  // The six weeks share the rectangle below the header between them, to its edges.
  for (int i = 0; i < kCells; ++i) {
    const int row = i / kColumns;
    const int rowsHeight = height() - kGridTop;
    m_cells[i].rect =
        ColumnSpan(i % kColumns, kGridTop + row * rowsHeight / kRows, kGridTop + (row + 1) * rowsHeight / kRows);
  }

  m_pMonthDown = new QToolButton(this);
  m_pMonthDown->setArrowType(Qt::LeftArrow);
  m_pMonthDown->setGeometry(kMonthDownRect);
  m_pMonthDown->setAutoRepeat(true);
  m_pMonthUp = new QToolButton(this);
  m_pMonthUp->setArrowType(Qt::RightArrow);
  m_pMonthUp->setGeometry(kMonthUpRect);
  m_pMonthUp->setAutoRepeat(true);
  connect(m_pMonthDown, &QToolButton::clicked, this, [this] { StepMonth(-1); });
  connect(m_pMonthUp, &QToolButton::clicked, this, [this] { StepMonth(1); });

  // The header's controls wear the panel's status font and green on its dark faces.
  const QPalette headerPalette = StatusPanel::MakeStatusPalette();
  const QFont headerFont = StatusPanel::MakeStatusFont();
  m_pMonthList = new QComboBox(this);
  m_pMonthList->setGeometry(kMonthListRect);
  const QLocale locale;
  for (int m = 1; m <= 12; ++m) m_pMonthList->addItem(locale.standaloneMonthName(m, QLocale::LongFormat));
  connect(m_pMonthList, &QComboBox::currentIndexChanged, this, &MonthCalendar::ChooseMonth);

  // The year box is an edit with its up-down; it reacts to steps and to a finished edit.
  m_pYearEdit = new QSpinBox(this);
  m_pYearEdit->setGeometry(kYearEditRect);
  m_pYearEdit->setRange(kMinYear, kMaxYear);
  m_pYearEdit->setGroupSeparatorShown(false);
  m_pYearEdit->setKeyboardTracking(false);
  m_pYearEdit->setFrame(true);
  connect(m_pYearEdit, &QSpinBox::valueChanged, this, [this](int year) { StepYear(year - m_displayed.year()); });
  for (QWidget* header : std::initializer_list<QWidget*>{m_pMonthDown, m_pMonthUp, m_pMonthList, m_pMonthList->view(), m_pYearEdit}) {
    header->setPalette(headerPalette);
    header->setFont(headerFont);
  }

  SetDate(QDate::currentDate());
}

void MonthCalendar::SetTodayOverride(std::optional<QDate> today) {
  m_todayOverride = today;
  LayOut();
}

QDate MonthCalendar::Today() const { return m_todayOverride.value_or(QDate::currentDate()); }

bool MonthCalendar::SetDate(const QDate& date) {
  m_selected = date;
  SetDisplayedMonth(QDate(date.year(), date.month(), 1));
  return true;
}

void MonthCalendar::SetDisplayedMonth(const QDate& firstOfMonth) {
  m_displayed = Clamped(firstOfMonth);
  LayOut();
}

void MonthCalendar::LayOut() {
  const QDate first = m_displayed;
  const int weekday = first.dayOfWeek() % 7 + 1;  // 1 = Sunday .. 7 = Saturday
  const int back = weekday == 1 ? 7 : weekday - 1;
  QDate day = first.addDays(-back);
  const QDate today = Today();
  m_nSelectedCell = -1;
  for (int i = 0; i < kCells; ++i, day = day.addDays(1)) {
    Cell& c = m_cells[i];
    c.date = day;
    c.text = QString::number(day.day());
    const bool inMonth = day.year() == first.year() && day.month() == first.month();
    c.kind = day == today ? KindToday : (inMonth ? KindThisMonth : KindOtherMonth);
    c.selected = day == m_selected;
    if (c.selected) m_nSelectedCell = i;
  }
  SyncHeader();
  update();
}

void MonthCalendar::SyncHeader() {
  const QSignalBlocker blockList(m_pMonthList);
  const QSignalBlocker blockYear(m_pYearEdit);
  m_pMonthList->setCurrentIndex(m_displayed.month() - 1);
  m_pYearEdit->setValue(m_displayed.year());
}

void MonthCalendar::StepMonth(int delta) {
  const QDate middle(m_displayed.year(), m_displayed.month(), kMidMonthDay);
  const QDate target = middle.addDays(delta < 1 ? -kMonthStepDays : kMonthStepDays);
  SetDisplayedMonth(QDate(target.year(), target.month(), 1));
}

void MonthCalendar::StepYear(int delta) {
  const int year = std::clamp(m_displayed.year() + delta, kMinYear, kMaxYear);
  SetDisplayedMonth(QDate(year, m_displayed.month(), 1));
}

void MonthCalendar::ChooseMonth(int index) {
  if (index < 0 || index >= 12) return;
  SetDisplayedMonth(QDate(m_displayed.year(), index + 1, 1));
}

QRect MonthCalendar::ColumnSpan(int column, int top, int bottom) const {
  return SpanRect(column * width() / kColumns, top, (column + 1) * width() / kColumns, bottom);
}

int MonthCalendar::CellIndexAt(const QPoint& pos) const {
  for (int i = 0; i < kCells; ++i)
    if (m_cells[i].rect.contains(pos)) return i;
  return -1;
}

void MonthCalendar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), kBackground);
  p.setFont(font());

  for (int col = 0; col < kColumns; ++col) {
    const QColor colour = col == 0 ? kSundayText : (col == kColumns - 1 ? kSaturdayText : kWeekdayText);
    p.setPen(colour);
    p.drawText(ColumnSpan(col, kWeekdayTop, kWeekdayBottom), Qt::AlignCenter,
               QString::fromLatin1(kWeekdayLabels[col]));
  }

  const QPalette& pal = palette();
  for (const Cell& c : m_cells) {
    QColor textColour;
    if (c.selected) {
      qDrawShadePanel(&p, c.rect, pal, true, 1, &pal.brush(QPalette::Highlight));
      textColour = pal.color(QPalette::ButtonText);
    } else {
      p.fillRect(c.rect, Qt::black);
      if (c.kind == KindOtherMonth) {
        textColour = c.hot ? kOtherMonthHotText : kOtherMonthText;
      } else {
        textColour = kDayText;
      }
      if (c.kind == KindToday) qDrawShadePanel(&p, c.rect, pal, true, 1, nullptr);
    }
    p.setPen(textColour);
    p.drawText(c.rect.adjusted(kTextInset, 0, -kTextInset, 0), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
               c.text);
    if (c.pressed) {
      QPen dotted(Qt::white, 1, Qt::DotLine);
      p.setPen(dotted);
      p.drawRect(c.rect.adjusted(1, 1, -2, -2));
    }
  }
}

void MonthCalendar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  // The mouse stays with this widget until release (Qt's implicit grab).
  m_bButtonDown = true;
  m_nPressed = CellIndexAt(event->position().toPoint());
  m_bPressShown = false;
}

void MonthCalendar::mouseMoveEvent(QMouseEvent* event) {
  const int under = CellIndexAt(event->position().toPoint());
  if (m_bButtonDown) {
    if (m_nPressed >= 0) m_cells[m_nPressed].pressed = false;
    m_nPressed = under;
    if (under >= 0) m_cells[under].pressed = true;
    m_bPressShown = true;
  }
  if (under != m_nHot) {
    if (m_nHot >= 0) m_cells[m_nHot].hot = false;
    m_nHot = under;
    if (under >= 0) m_cells[under].hot = true;
  }
  update();
}

void MonthCalendar::leaveEvent(QEvent*) {
  if (m_nHot >= 0) m_cells[m_nHot].hot = false;
  m_nHot = -1;
  update();
}

void MonthCalendar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_bButtonDown) return QWidget::mouseReleaseEvent(event);
  m_bButtonDown = false;
  if (m_nPressed >= 0) m_cells[m_nPressed].pressed = false;
  m_nPressed = -1;
  if (m_nSelectedCell >= 0) m_cells[m_nSelectedCell].selected = false;

  const int under = CellIndexAt(event->position().toPoint());
  if (under >= 0) {
    const Cell& c = m_cells[under];
    if (c.date >= FirstAllowedDay() && c.date <= LastAllowedDay()) {
      m_selected = c.date;
      const QDate month(c.date.year(), c.date.month(), 1);
      if (c.kind == KindOtherMonth || month != m_displayed) {
        m_displayed = month;
        LayOut();
      } else {
        m_cells[under].selected = true;
        m_nSelectedCell = under;
      }
      QMetaObject::invokeMethod(this, [this] { emit datePicked(m_nControlId); }, Qt::QueuedConnection);
    }
  }
  update();
}
