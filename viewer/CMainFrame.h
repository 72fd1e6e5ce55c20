#pragma once
// The main window: a caption-less, fixed-size 877 x 685 window, centred, whose
// 2-pixel margin on every side is cut off by a mask. Holds the main view.

#include <QRegion>
#include <QWidget>

#include "viewer/CArdevizView.h"

class CMainFrame : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 877;
  static constexpr int kHeight = 685;
  static constexpr int kMargin = 2;
  static constexpr const char* kTitle = "Ardeviz";

  explicit CMainFrame(CArdevizView::Options viewOptions = {}, QWidget* parent = nullptr);

  CArdevizView* View() const { return m_pView; }

  // True: the visible part starts at the screen's top-left corner; false: centred.
  void SetFullScreen(bool fullScreen);

  // The visible part of the window, in its own coordinates.
  static QRegion VisibleRegion() { return QRegion(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin); }
  // The centred position on a screen of the given size.
  static QPoint CentredPosition(const QSize& screen);

 private:
  CArdevizView* m_pView;  // child of the frame
};
