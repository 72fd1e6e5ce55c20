#pragma once
// Rectangles of the skin as the design gives them: from the left-top corner to
// the exclusive right-bottom corner.

#include <QRect>

constexpr QRect SpanRect(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}
