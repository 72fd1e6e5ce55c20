#pragma once
// Drawing of a decoded picture into a pane, shared by the main view and the
// archive panel: the part of the picture that is shown, the unsmoothed
// stretch of its bottom-up rows, and the pane's white frame.

#include <QRect>
#include <QSize>

#include <cstdint>

#include "link/BitmapInfoHeader.h"

class QPainter;

namespace pane {

// The part of a W x H picture drawn into a pane, in top-down picture rows:
// the recorder paints its marks into the top rows and a border on the right.
QRect SourceWindow(QSize picture, std::uint8_t fieldFlag);
QRect SourceWindow(const BitmapInfoHeader& header, std::uint8_t fieldFlag);
// Whether DrawBottomUpImage draws such a picture, and so sets every pixel of its target.
bool CoversTarget(const std::uint8_t* pixels, const BitmapInfoHeader& header, const QRect& source, QSize picture = {});
// Draws the bottom-up rows of a picture (24-bit BGR or 32-bit premultiplied
// BGRA) stretched into target, unsmoothed. source is in the picture's pixels;
// a bitmap decoded scaled down from a larger picture names that picture's
// size, and each pane pixel then takes the bitmap pixel that covers the
// picture pixel a full-size bitmap would give it. On a raster image under a
// whole scale (a widget's backing store) the pixels are written straight
// into it, one per device pixel, within the painter's clip.
void DrawBottomUpImage(QPainter& painter, const QRect& target, const std::uint8_t* pixels,
                       const BitmapInfoHeader& header, const QRect& source, QSize picture = {});
// The 1-pixel white frame of a pane.
void DrawPaneFrame(QPainter& painter, const QRect& rect);

}  // namespace pane
