#include "skin/SkinAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>

#include <array>
#include <map>
#include <mutex>
#include <set>

#include "link/PacketFormat.h"
#include "skin/SkinButton.h"

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

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* button = qobject_cast<SkinButton*>(object)) return new SkinButtonAccessible(button);
  return nullptr;
}

}  // namespace

void SkinAccessibility::Install() { InstallOnce(Factory); }

void SkinAccessibility::InstallOnce(QAccessible::InterfaceFactory factory) {
  static std::mutex mutex;
  static std::set<QAccessible::InterfaceFactory> installed;
  const std::lock_guard lock(mutex);
  if (installed.insert(factory).second) QAccessible::installFactory(factory);
}

QString SkinAccessibility::ControlName(int controlId) {
  const auto& names = FixedNames();
  if (const auto it = names.find(controlId); it != names.end()) return QString::fromLatin1(it->second);
  if (controlId >= kViewLayoutFirst && controlId < kViewLayoutFirst + int(kLayoutPanes.size()))
    return QStringLiteral("LAYOUT %1").arg(kLayoutPanes[controlId - kViewLayoutFirst]);
  if (controlId >= kViewChannelFirst && controlId < kViewChannelFirst + wire::kChannels)
    return QStringLiteral("CHANNEL %1").arg(controlId - kViewChannelFirst + 1);
  if (controlId >= kArchiveChannelFirst && controlId < kArchiveChannelFirst + wire::kChannels)
    return QStringLiteral("CHANNEL %1").arg(controlId - kArchiveChannelFirst + 1);
  return {};
}
