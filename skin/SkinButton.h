#pragma once
// A bitmap button of the skin: shows one of four pictures by state and tells its
// parent about clicks (latching kind) or press and release (momentary kind).

#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <array>

// Resource numbers of the four draw-state pictures; 0 means "no picture".
struct SkinButtonBitmaps {
  int normal = 0;    // state 0
  int pressed = 0;   // state 1
  int latched = 0;   // state 2
  int pressing = 0;  // state 3: being pressed while released

  static SkinButtonBitmaps Latching(int normalId, int latchedId) { return {normalId, 0, latchedId, 0}; }
  static SkinButtonBitmaps Momentary(int normalId, int pressedId) { return {normalId, pressedId, 0, 0}; }
};

class SkinButton : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Latching = 0, Momentary = 1 };
  enum DrawState { StateNone = -1, StateNormal = 0, StatePressed = 1, StateLatched = 2, StatePressing = 3 };

  // controlId is the command identifier reported by clicked(); value is the
  // PtzCommandValue carried by the momentary notifications.
  SkinButton(QWidget* parent, int controlId, const QRect& geometry, const SkinButtonBitmaps& bitmaps,
             Kind kind = Kind::Latching, quint32 ptzCommandValue = 0);

  int ControlId() const { return m_nControlId; }
  Kind ButtonKind() const { return m_kind; }
  quint32 PtzCommandValue() const { return m_nValue; }
  int DrawState() const { return m_nDrawState; }

  bool GetCheck() const { return m_bLatched; }
  bool IsChecked() const { return m_bLatched; }
  void SetCheck(bool latched);

 signals:
  // Posted (queued) on every release, both kinds; for the latching kind the
  // check state has already flipped when it arrives.
  void clicked(int controlId);
  // Momentary kind, emitted directly inside the mouse handler (pressed 1 or 0).
  void ptzCommand(quint32 value, int pressed);
  // Momentary kind and SetCheck on it: posted (queued), so a receiver always
  // sees ptzCommand of a press before the matching pressStateChanged.
  void pressStateChanged(quint32 value, int pressed);
  // Posted (queued): a release arrived without a preceding press (this
  // includes the pointer leaving a button that was not held).
  void releasedWithoutPress();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ShowState(int state);
  void Release();
  void PostPressState(int pressed);

  int m_nControlId;
  Kind m_kind;
  quint32 m_nValue;
  std::array<int, 4> m_bitmapIds{};
  std::array<QPixmap, 4> m_bitmaps;
  bool m_bLatched = false;
  bool m_bMouseDown = false;
  bool m_bLeftWhileHeld = false;  // released by leaving; ignore the grabbed release
  int m_nDrawState = StateNone;
};
