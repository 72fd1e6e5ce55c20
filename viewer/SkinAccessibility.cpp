#include "viewer/SkinAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDateTime>
#include <QMouseEvent>
#include <QPointer>

#include <array>
#include <map>
#include <mutex>
#include <vector>

#include "viewer/CArdevizView.h"
#include "viewer/SkinButton.h"

namespace {

const std::map<int, const char*>& FixedNames() {
  static const std::map<int, const char*> names = {
      // Main view.
      {1000, "POWER"}, {1006, "SETTING"}, {1042, "SCAN"}, {1043, "ROTATE"}, {1024, "CONNECT"},
      {1025, "DISCONNECT"}, {1044, "ACTIVITY"},
      // Pan/tilt/zoom pad.
      {1087, "PAN UP"}, {1088, "PAN LEFT UP"}, {1089, "PAN LEFT"}, {1090, "PAN LEFT DOWN"}, {1091, "PAN DOWN"},
      {1092, "PAN RIGHT DOWN"}, {1093, "PAN RIGHT"}, {1094, "PAN RIGHT UP"}, {1095, "ZOOM IN"}, {1096, "ZOOM OUT"},
      {1097, "FOCUS IN"}, {1098, "FOCUS OUT"}, {1099, "NEXT CAMERA"}, {1101, "PREVIOUS CAMERA"},
      // Archive panel.
      {1049, "POWER"}, {1050, "SAVE"}, {1051, "PRINT"}, {1052, "EVENT"}, {1053, "SPLIT +"}, {1054, "SPLIT -"},
      {1057, "ONE"}, {1058, "ALL"}, {1075, "FAST BACKWARD"}, {1076, "BACKWARD"}, {1077, "STOP"}, {1078, "PLAY"},
      {1079, "FAST FORWARD"}, {1080, "START"}, {1081, "HOUR BACK"}, {1082, "HOUR FORWARD"}, {1083, "END"},
      {1084, "ACTIVITY"}, {1086, "RECORD"},
  };
  return names;
}

constexpr int kViewLayoutFirst = 1017;
constexpr std::array<int, 7> kLayoutPanes = {1, 4, 7, 9, 10, 13, 16};
constexpr int kViewChannelFirst = 1026;
constexpr int kArchiveChannelFirst = 1059;
constexpr int kChannels = 16;

// A skin button: a push button, toggling when it latches; pressing it by an
// assistive tool is a click at its centre.
class SkinButtonAccessible : public QAccessibleWidget {
 public:
  explicit SkinButtonAccessible(SkinButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  SkinButton* Button() const { return static_cast<SkinButton*>(widget()); }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (Button()->ButtonKind() == SkinButton::Kind::Latching) {
      s.checkable = true;
      s.checked = Button()->IsChecked();
    } else {
      s.pressed = Button()->DrawState() == SkinButton::StatePressed;
    }
    return s;
  }

  QStringList actionNames() const override { return {pressAction()}; }

  void doAction(const QString& actionName) override {
    if (actionName != pressAction() || !Button()->isEnabled()) return;
    const QPointF centre = QRectF(Button()->rect()).center();
    const QPointF global = Button()->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Button(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Button(), &release);
  }
};

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
      case Kind::Date: return CArdevizView::DateText(now.date());
      case Kind::Time: return CArdevizView::TimeText(now.time());
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
      case Kind::Status: return CArdevizView::kStatusRect;
      case Kind::Date: return CArdevizView::kDateRect;
      case Kind::Time: return CArdevizView::kTimeRect;
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
  if (auto* button = qobject_cast<SkinButton*>(object)) return new SkinButtonAccessible(button);
  if (auto* view = qobject_cast<CArdevizView*>(object)) return new ViewAccessible(view);
  return nullptr;
}

}  // namespace

void SkinAccessibility::Install() {
  static std::once_flag once;
  std::call_once(once, [] { QAccessible::installFactory(Factory); });
}

QString SkinAccessibility::ControlName(int controlId) {
  const auto& names = FixedNames();
  if (const auto it = names.find(controlId); it != names.end()) return QString::fromLatin1(it->second);
  if (controlId >= kViewLayoutFirst && controlId < kViewLayoutFirst + int(kLayoutPanes.size()))
    return QStringLiteral("LAYOUT %1").arg(kLayoutPanes[controlId - kViewLayoutFirst]);
  if (controlId >= kViewChannelFirst && controlId < kViewChannelFirst + kChannels)
    return QStringLiteral("CHANNEL %1").arg(controlId - kViewChannelFirst + 1);
  if (controlId >= kArchiveChannelFirst && controlId < kArchiveChannelFirst + kChannels)
    return QStringLiteral("CHANNEL %1").arg(controlId - kArchiveChannelFirst + 1);
  return {};
}

void SkinAccessibility::NotifyStatusChanged(CArdevizView* view) {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
  auto* viewIface = dynamic_cast<ViewAccessible*>(iface);
  if (!viewIface || !viewIface->StatusText()) return;
  QAccessibleValueChangeEvent event(viewIface->StatusText(), view->StatusText());
  QAccessible::updateAccessibility(&event);
}
