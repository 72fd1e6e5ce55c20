#pragma once
// What the operator's eyes compare against: a main view of this build made in
// the test program itself (no link), on the same X server and with the same
// fonts and skin as the viewer under test. It gives the control positions and
// pane rectangles of the skin, and reference pictures of the status line for
// each connection status and of the activity lamp unlit and lit; a crop of
// the real window is read by finding the nearest reference.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class CArdevizView;

class SkinReference {
 public:
  SkinReference();
  ~SkinReference();

  // Empty when the references tell every status and both lamp faces apart.
  const QString& Problem() const { return m_problem; }

  // Where a skin control is (main view buttons and pan/tilt buttons), and its centre.
  QRect ControlRect(int controlId) const;
  QPoint ControlCentre(int controlId) const { return ControlRect(controlId).center(); }
  QRect PaneRect(int channel) const;

  // The status text the window shows, or "(none of the status texts)".
  QString ReadStatus(const QImage& window) const;
  // Whether the channel's pane shows this notice ("NO PICTURE 3 s") as the view draws it.
  bool ShowsNotice(const QImage& window, int channel, const QString& text) const;
  // "unlit", "lit" or "neither face".
  const char* ReadLamp(const QImage& window) const;

  // Pixels whose colour differs by more than a rounding of the drawing.
  static int DifferingPixels(const QImage& a, const QImage& b);

 private:
  int MatchLimit() const;
  QRect LampRect() const;

  std::unique_ptr<CArdevizView> m_view;
  std::vector<std::pair<QString, QImage>> m_statusCrops;
  QImage m_lampUnlit;
  QImage m_lampLit;
  QString m_problem;
};
