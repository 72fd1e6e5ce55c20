#pragma once
// The main window: a caption-less, fixed-size 877 x 685 window, centred, whose
// 2-pixel margin on every side is cut off by a mask. Holds the main view.
// Full screen shows it on a black stage over the whole screen, enlarged by a
// whole factor, since the display's resolution cannot be changed here.

#include <QRegion>
#include <QWidget>
#include <memory>

#include "viewer/CArdevizView.h"

class FullScreenStage;

class CMainFrame : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 877;
  static constexpr int kHeight = 685;
  static constexpr int kMargin = 2;
  static constexpr const char* kTitle = "Ardeviz";

  explicit CMainFrame(CArdevizView::Options viewOptions = {}, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CArdevizView* View() const { return m_pView; }

  // True: on the full-screen stage, centred and enlarged by the largest whole
  // factor that fits the screen; false: an ordinary window, centred.
  void SetFullScreen(bool fullScreen);
  // The stage while full screen, else null.
  FullScreenStage* Stage() const;

  // The visible part of the window, in its own coordinates.
  static QRegion VisibleRegion() { return QRegion(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin); }
  // Where a window of the given size goes: centred in the screen's available
  // area, but never above or left of it, so that a window larger than the screen
  // (a high scale factor) keeps its top and POWER reachable.
  static QPoint PlacedOn(const QRect& available, const QSize& window);
  // The primary screen's available area (the window's own size without a screen).
  static QRect AvailableArea();

 private:
  CArdevizView* m_pView;  // child of the frame
  std::unique_ptr<FullScreenStage> m_pStage;  // made on the first full-screen request
};
