#pragma once
// The virtual pan/tilt/zoom camera behind one channel. A move command turns it
// at once by one step and keeps it moving while the client repeats the
// command; it stops on a stop command or shortly after the repeats end.

#include <QtGlobal>

struct PtzCommand;

class SimCamera {
 public:
  static constexpr double kMaxTilt = 40.0;   // degrees either side of the horizon
  static constexpr double kMinZoom = 1.0;
  static constexpr double kMaxZoom = 8.0;
  static constexpr qint64 kMoveHoldMs = 400;  // a move lasts this long without a repeat
  static constexpr double kStepSeconds = 0.1;  // the immediate step of one command

  // Applies a decoded move or stop at the given time (milliseconds of any steady clock).
  void Apply(const PtzCommand& command, qint64 nowMs);
  // Integrates the running move up to nowMs.
  void Advance(qint64 nowMs);

  double Pan() const { return m_pan; }    // degrees, -180..180, positive to the right
  double Tilt() const { return m_tilt; }  // degrees, positive up
  double Zoom() const { return m_zoom; }  // 1..8
  bool IsMoving() const { return m_panRate != 0 || m_tiltRate != 0 || m_zoomRate != 0; }

 private:
  void Step(double seconds);

  double m_pan = 0, m_tilt = 0, m_zoom = 1;
  double m_panRate = 0, m_tiltRate = 0, m_zoomRate = 0;  // degrees/s, degrees/s, doublings/s
  qint64 m_lastMs = 0;
  qint64 m_moveUntilMs = 0;
};
