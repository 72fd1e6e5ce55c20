#pragma once
// Drives a window's skin buttons from the keyboard by the keys of a SkinKeyMap
// table. A key works as the mouse does on its button, so a disabled button
// ignores it and a refused one beeps and springs back as for a click. A held
// key holds a momentary button: the keyboard's auto-repeat adds nothing, and
// the button is let go when the key is released or the window loses focus.
// Also gives every skin button a tooltip with its name and key.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <span>
#include <vector>

#include "skin/SkinKeyMap.h"

class QKeyEvent;

class SkinKeyboard : public QObject {
  Q_OBJECT

 public:
  // root: the widget whose skin buttons the keys drive; the keyboard lives as
  // its child. windowAction runs the keys of SkinKey::Action::WindowAction.
  SkinKeyboard(QWidget* root, std::span<const SkinKey> keys, std::function<void()> windowAction = {});
  ~SkinKeyboard() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether a key event sent there belongs to the root's window (on its own or on a full-screen stage).
  bool IsOurs(QObject* receiver) const;
  const SkinKey* Find(const QKeyEvent& event) const;
  bool KeyPress(const QKeyEvent& event);
  bool KeyRelease(const QKeyEvent& event);
  void ReleaseAll();
  QWidget* Control(int controlId) const;
  void ClickInTurn(std::vector<int> controlIds);
  void SetToolTips();

  // A key that is down, with the button it holds.
  struct Down {
    QPointer<QWidget> held;  // null for a key that clicked
    bool releasing = false;  // released, unless a press of the same time follows within the grace
    quint64 releasedAt = 0;  // the release's time stamp
  };
  static void Release(const Down& down);
  // Lets go of the keys whose grace after their release has passed.
  void ReleaseKeysUp();

  // X servers repeat a held key as release-press pairs of one time stamp, not
  // always marked as repeats: a release counts once no such press follows soon.
  static constexpr int kRepeatGraceMs = 30;

  QWidget* m_root;
  std::span<const SkinKey> m_keys;
  std::function<void()> m_windowAction;
  std::map<quint64, Down> m_down;  // by the key's identity
  QTimer m_releaseTimer;
};
