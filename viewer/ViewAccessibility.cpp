#include "viewer/ViewAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDateTime>
#include <QPointer>

#include <algorithm>

#include <vector>

#include "skin/SkinAccessibility.h"
#include "skin/StatusPanel.h"
#include "viewer/CArdevizView.h"

namespace {

// One of the texts the view paints: its label as the name, what it shows as
// its text. The text goes through the text interface, which AT-SPI carries for
// a static text (a value it does not), and also as the value.
class PanelTextAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
 public:
  enum class Kind { Status, Date, Time };
  PanelTextAccessible(CArdevizView* view, Kind kind) : m_view(view), m_kind(kind), m_announced(Current()) {}

  bool isValid() const override { return m_view != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return Parent() ? Parent()->window() : nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return Parent(); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.readOnly = true;
    s.invisible = !m_view || !m_view->isVisible();
    return s;
  }
  QRect rect() const override {
    if (!m_view) return {};
    const QRect local = Area();
    return QRect(m_view->mapToGlobal(local.topLeft()), local.size());
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QString::fromLatin1(Name());
    return t == QAccessible::Value ? Current() : QString();
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
  }

  // Read-only text without a caret or selection.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override {
    const QString all = Current();
    if (end < 0 || end > all.size()) end = static_cast<int>(all.size());
    start = std::clamp(start, 0, end);
    return all.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(Current().size()); }
  // The text is drawn wrapped inside its box; the box is the best place a character has.
  QRect characterRect(int) const override { return rect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  // Tells assistive tools what the text now reads, when that differs from what
  // they were last told.
  void Announce() {
    const QString now = Current();
    if (now == m_announced) return;
    QAccessibleTextUpdateEvent event(this, 0, m_announced, now);
    m_announced = now;
    QAccessible::updateAccessibility(&event);
  }

 private:
  QString Current() const {
    if (!m_view) return {};
    const QDateTime now = QDateTime::currentDateTime();
    switch (m_kind) {
      case Kind::Status: return m_view->StatusText();
      case Kind::Date: return StatusPanel::DateText(now.date());
      case Kind::Time: return StatusPanel::TimeText(now.time());
    }
    return {};
  }
  QAccessibleInterface* Parent() const { return m_view ? QAccessible::queryAccessibleInterface(m_view) : nullptr; }
  const char* Name() const {
    switch (m_kind) {
      case Kind::Status: return SkinAccessibility::kStatusName;
      case Kind::Date: return SkinAccessibility::kDateName;
      case Kind::Time: return SkinAccessibility::kTimeName;
    }
    return "";
  }
  QRect Area() const {
    switch (m_kind) {
      case Kind::Status: return StatusPanel::kStatusRect;
      case Kind::Date: return StatusPanel::kDateRect;
      case Kind::Time: return StatusPanel::kTimeRect;
    }
    return {};
  }

  QPointer<CArdevizView> m_view;
  Kind m_kind;
  QString m_announced;
};

// The main view: its controls, then the status line, date and time.
class ViewAccessible : public QAccessibleWidget {
 public:
  explicit ViewAccessible(CArdevizView* view) : QAccessibleWidget(view, QAccessible::Client) {
    for (auto kind : {PanelTextAccessible::Kind::Status, PanelTextAccessible::Kind::Date,
                      PanelTextAccessible::Kind::Time}) {
      auto* text = new PanelTextAccessible(view, kind);
      m_texts.push_back(QAccessible::registerAccessibleInterface(text));  // QAccessible owns it
    }
  }
  ~ViewAccessible() override {
    for (QAccessible::Id id : m_texts) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return QAccessibleWidget::childCount() + static_cast<int>(m_texts.size()); }
  QAccessibleInterface* child(int index) const override {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    const int text = index - widgets;
    return text < static_cast<int>(m_texts.size()) ? QAccessible::accessibleInterface(m_texts[text]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (size_t i = 0; i < m_texts.size(); ++i)
      if (QAccessible::accessibleInterface(m_texts[i]) == child) return QAccessibleWidget::childCount() + int(i);
    return QAccessibleWidget::indexOfChild(child);
  }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? QStringLiteral("LIVE MONITORING") : QAccessibleWidget::text(t);
  }

  PanelTextAccessible* StatusText() const {
    return static_cast<PanelTextAccessible*>(QAccessible::accessibleInterface(m_texts.front()));
  }

 private:
  std::vector<QAccessible::Id> m_texts;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* view = qobject_cast<CArdevizView*>(object)) return new ViewAccessible(view);
  return nullptr;
}

}  // namespace

void ViewAccessibility::Install() { SkinAccessibility::InstallOnce(Factory); }

void ViewAccessibility::NotifyStatusChanged(CArdevizView* view) {
  if (!QAccessible::isActive()) return;
  auto* viewIface = dynamic_cast<ViewAccessible*>(QAccessible::queryAccessibleInterface(view));
  if (viewIface && viewIface->StatusText()) viewIface->StatusText()->Announce();
}
