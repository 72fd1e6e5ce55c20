#include "skin/SkinKeyboard.h"

#include <QCoreApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "skin/SkinAccessibility.h"
#include "skin/SkinButton.h"
#include "skin/SkinPushButton.h"

namespace {

// The left mouse button going down or up at the button's centre: the click's own path.
void SendMouse(QWidget* button, QEvent::Type type) {
  const QPointF centre = QRectF(button->rect()).center();
  const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
  QMouseEvent event(type, centre, button->mapToGlobal(centre), Qt::LeftButton, held, Qt::NoModifier);
  QCoreApplication::sendEvent(button, &event);
}

int ControlIdOf(QObject* widget) {
  if (const auto* button = qobject_cast<SkinButton*>(widget)) return button->ControlId();
  if (const auto* button = qobject_cast<SkinPushButton*>(widget)) return button->ControlId();
  return 0;
}

// The same physical key at press and release, even when Shift changed in between.
quint64 Identity(const QKeyEvent& event) {
  constexpr quint64 kScanCodeFlag = quint64{1} << 32;
  return event.nativeScanCode() != 0 ? kScanCodeFlag | event.nativeScanCode() : quint64(event.key());
}

}  // namespace

SkinKeyboard::SkinKeyboard(QWidget* root, std::span<const SkinKey> keys, std::function<void()> windowAction)
    : QObject(root), m_root(root), m_keys(keys), m_windowAction(std::move(windowAction)) {
  // On the application, so that keys reach the buttons whichever child has the focus,
  // and on a full-screen stage too.
  QCoreApplication::instance()->installEventFilter(this);
  m_releaseTimer.setSingleShot(true);
  connect(&m_releaseTimer, &QTimer::timeout, this, &SkinKeyboard::ReleaseKeysUp);
  // Where the focus goes the keys' releases go too: let go of every held button.
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { ReleaseAll(); });
  SetToolTips();
}

SkinKeyboard::~SkinKeyboard() { ReleaseAll(); }

bool SkinKeyboard::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !IsOurs(watched)) return false;
  const auto& key = static_cast<const QKeyEvent&>(*event);
  return type == QEvent::KeyPress ? KeyPress(key) : KeyRelease(key);
}

bool SkinKeyboard::IsOurs(QObject* receiver) const {
  const auto* widget = qobject_cast<QWidget*>(receiver);
  if (!widget || !m_root->isVisible()) return false;
  const QWidget* own = m_root->window();
  const QWidget* window = widget->window();
  if (window == own) return true;
  const QGraphicsProxyWidget* proxy = own->graphicsProxyWidget();
  const auto* stage = qobject_cast<const QGraphicsView*>(window);
  return proxy && stage && proxy->scene() == stage->scene();
}

const SkinKey* SkinKeyboard::Find(const QKeyEvent& event) const {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & SkinKeyMap::kModifierMask;
  for (const SkinKey& k : m_keys)
    if (k.key == event.key() && k.modifiers == modifiers) return &k;
  return nullptr;
}

bool SkinKeyboard::KeyPress(const QKeyEvent& event) {
  const SkinKey* key = Find(event);
  // A key already down repeats by itself: its button is held or clicked already.
  // A repeat's release and press share their time; a press after a real release
  // lets the first one go now.
  if (const auto it = m_down.find(Identity(event)); it != m_down.end()) {
    Down& down = it->second;
    if (!down.releasing || event.isAutoRepeat() || (event.timestamp() != 0 && event.timestamp() == down.releasedAt)) {
      down.releasing = false;
      return true;
    }
    const Down gone = down;
    m_down.erase(it);
    Release(gone);
  }
  if (event.isAutoRepeat() || !key) return key != nullptr;
  Down& down = m_down[Identity(event)];
  switch (key->action) {
    case SkinKey::Action::Click:
      if (key->then[0] == 0) {
        ClickInTurn({key->control});
      } else {
        std::vector<int> ids;
        for (int id : key->then)
          if (id != 0) ids.push_back(id);
        ClickInTurn(ids);
      }
      break;
    case SkinKey::Action::ClickUnlessLit: {
      const auto* other = qobject_cast<SkinButton*>(Control(key->then[0]));
      ClickInTurn({other && !other->IsChecked() ? key->then[0] : key->control});
      break;
    }
    case SkinKey::Action::Hold: {
      QWidget* button = Control(key->control);
      for (const auto& [_, other] : m_down)
        if (other.held == button) button = nullptr;  // already held by another key
      if (button) {
        down.held = button;
        SendMouse(button, QEvent::MouseButtonPress);
      }
      break;
    }
    case SkinKey::Action::WindowAction:
      if (m_windowAction) m_windowAction();
      break;
  }
  return true;
}

bool SkinKeyboard::KeyRelease(const QKeyEvent& event) {
  const auto it = m_down.find(Identity(event));
  if (it == m_down.end()) return Find(event) != nullptr;
  if (!event.isAutoRepeat()) {
    it->second.releasing = true;
    it->second.releasedAt = event.timestamp();
    m_releaseTimer.start(kRepeatGraceMs);
  }
  return true;
}

void SkinKeyboard::Release(const Down& down) {
  if (down.held) SendMouse(down.held, QEvent::MouseButtonRelease);
}

void SkinKeyboard::ReleaseKeysUp() {
  for (auto it = m_down.begin(); it != m_down.end();) {
    if (it->second.releasing) {
      const Down down = it->second;
      it = m_down.erase(it);
      Release(down);
    } else {
      ++it;
    }
  }
}

void SkinKeyboard::ReleaseAll() {
  m_releaseTimer.stop();
  for (const auto& [_, down] : std::exchange(m_down, {})) Release(down);
}

QWidget* SkinKeyboard::Control(int controlId) const {
  for (QWidget* child : m_root->findChildren<QWidget*>())
    if (ControlIdOf(child) == controlId && child->isVisible()) return child;
  return nullptr;
}

void SkinKeyboard::ClickInTurn(std::vector<int> controlIds) {
  if (controlIds.empty()) return;
  if (QWidget* button = Control(controlIds.front())) {
    SendMouse(button, QEvent::MouseButtonPress);
    SendMouse(button, QEvent::MouseButtonRelease);
  }
  // The next click waits for the notification of this one, which a skin button posts.
  controlIds.erase(controlIds.begin());
  if (!controlIds.empty())
    QMetaObject::invokeMethod(this, [this, controlIds] { ClickInTurn(controlIds); }, Qt::QueuedConnection);
}

void SkinKeyboard::SetToolTips() {
  for (QWidget* child : m_root->findChildren<QWidget*>()) {
    const int id = ControlIdOf(child);
    if (id == 0) continue;
    const QString name = SkinAccessibility::ControlName(id);
    const QString keys = SkinKeyMap::KeysOf(m_keys, id);
    child->setToolTip(keys.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, keys));
  }
}
