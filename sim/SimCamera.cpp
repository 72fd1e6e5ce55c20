#include "sim/SimCamera.h"

#include <algorithm>
#include <cmath>

#include "sim/PelcoDecoder.h"

namespace {

constexpr double kMinRate = 5.0;       // degrees per second at speed 0
constexpr double kRatePerSpeed = 1.2;  // added per speed step (63 gives about 80 degrees/s)
constexpr double kZoomRate = 1.0;      // doublings per second

double RateFor(int speed) { return kMinRate + kRatePerSpeed * speed; }

double WrapDegrees(double a) {
  a = std::fmod(a + 180.0, 360.0);
  if (a < 0) a += 360.0;
  return a - 180.0;
}

}  // namespace

void SimCamera::Advance(qint64 nowMs) {
  if (IsMoving() && nowMs > m_lastMs) {
    const qint64 until = std::min(nowMs, m_moveUntilMs);
    if (until > m_lastMs) Step(static_cast<double>(until - m_lastMs) / 1000.0);
    if (nowMs >= m_moveUntilMs) m_panRate = m_tiltRate = m_zoomRate = 0;
  }
  m_lastMs = std::max(m_lastMs, nowMs);
}

void SimCamera::Apply(const PtzCommand& c, qint64 nowMs) {
  Advance(nowMs);
  if (c.extended) return;
  m_panRate = c.pan * RateFor(c.panSpeed);
  m_tiltRate = c.tilt * RateFor(c.tiltSpeed);
  m_zoomRate = c.zoom * kZoomRate;
  m_moveUntilMs = nowMs + kMoveHoldMs;
  Step(kStepSeconds);
}

void SimCamera::Step(double seconds) {
  m_pan = WrapDegrees(m_pan + m_panRate * seconds);
  m_tilt = std::clamp(m_tilt + m_tiltRate * seconds, -kMaxTilt, kMaxTilt);
  m_zoom = std::clamp(m_zoom * std::pow(2.0, m_zoomRate * seconds), kMinZoom, kMaxZoom);
}
