#include "viewer/ViewAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDateTime>
#include <QPointer>

#include <vector>

#include "skin/SkinAccessibility.h"
#include "skin/StatusPanel.h"
#include "viewer/CArdevizView.h"

namespace {

// One of the texts the view paints: its label as the name, what it shows as the value.
class PanelTextAccessible : public QAccessibleInterface {
 public:
  enum class Kind { Status, Date, Time };
  PanelTextAccessible(CArdevizView* view, Kind kind) : m_view(view), m_kind(kind) {}

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
    if (!m_view) return {};
    if (t == QAccessible::Name) return QString::fromLatin1(Name());
    if (t != QAccessible::Value) return {};
    const QDateTime now = QDateTime::currentDateTime();
    switch (m_kind) {
      case Kind::Status: return m_view->StatusText();
      case Kind::Date: return StatusPanel::DateText(now.date());
      case Kind::Time: return StatusPanel::TimeText(now.time());
    }
    return {};
  }

 private:
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

  QAccessibleInterface* StatusText() const { return QAccessible::accessibleInterface(m_texts.front()); }

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
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
  auto* viewIface = dynamic_cast<ViewAccessible*>(iface);
  if (!viewIface || !viewIface->StatusText()) return;
  QAccessibleValueChangeEvent event(viewIface->StatusText(), view->StatusText());
  QAccessible::updateAccessibility(&event);
}
