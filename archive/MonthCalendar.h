#pragma once
// The archive panel's month calendar: one month as six weeks of day cells
// starting on a Sunday, with a header to step the month, choose it from a list
// and set the year. Custom-drawn in the panel's dark colours.

#include <QDate>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QSpinBox;
class QToolButton;

class MonthCalendar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kCells = 42;
  static constexpr int kColumns = 7;
  static constexpr int kRows = kCells / kColumns;
  static constexpr int kGridTop = 50;
  static constexpr int kWeekdayTop = 26;
  static constexpr int kWeekdayBottom = 46;
  static constexpr int kMinYear = 1900;
  static constexpr int kMaxYear = 2200;
  static constexpr int kTextInset = 2;
  // Identifiers of the header children.
  static constexpr int kIdMonthUpDown = 4096;
  static constexpr int kIdMonthList = 4098;
  static constexpr int kIdYearEdit = 4099;
  static constexpr int kIdYearUpDown = 4100;

  enum CellKind { KindThisMonth = 0, KindOtherMonth = 1, KindToday = 2 };

  struct Cell {
    QRect rect;
    QDate date;
    QString text;
    CellKind kind = KindThisMonth;
    bool selected = false;
    bool pressed = false;
    bool hot = false;
  };

  // Earliest and latest day shown or picked.
  static QDate FirstAllowedDay() { return QDate(1900, 12, 1); }
  static QDate LastAllowedDay() { return QDate(2200, 1, 31); }

  MonthCalendar(QWidget* parent, const QRect& geometry, int controlId = 0);

  // Selected date := date; the grid shows its month (kept within the bounds).
  bool SetDate(const QDate& date);
  QDate GetDate() const { return m_selected; }
  QDate DisplayedMonth() const { return m_displayed; }
  int ControlId() const { return m_nControlId; }

  // Header operations, as the header children drive them.
  void StepMonth(int delta);    // month up-down
  void StepYear(int delta);     // year up-down
  void ChooseMonth(int index);  // month list, 0 = January

  const Cell& CellAt(int index) const { return m_cells.at(static_cast<std::size_t>(index)); }
  int CellIndexAt(const QPoint& pos) const;
  QComboBox* MonthList() const { return m_pMonthList; }
  QSpinBox* YearEdit() const { return m_pYearEdit; }

  // Tests fix "today"; empty reads the local clock.
  void SetTodayOverride(std::optional<QDate> today);

 signals:
  // The operator picked a day (queued, like a posted message).
  void datePicked(int controlId);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void SetDisplayedMonth(const QDate& firstOfMonth);  // clamps and lays out
  void LayOut();
  void SyncHeader();
  QRect ColumnSpan(int column, int top, int bottom) const;
  QDate Today() const;

  int m_nControlId;
  QDate m_selected;
  QDate m_displayed;
  std::array<Cell, kCells> m_cells;
  int m_nHot = -1;
  int m_nPressed = -1;
  int m_nSelectedCell = -1;
  bool m_bButtonDown = false;
  bool m_bPressShown = false;
  std::optional<QDate> m_todayOverride;

  QToolButton* m_pMonthDown = nullptr;
  QToolButton* m_pMonthUp = nullptr;
  QComboBox* m_pMonthList = nullptr;
  QSpinBox* m_pYearEdit = nullptr;
};
