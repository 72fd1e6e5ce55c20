#pragma once
// The skin pictures, one per resource number, compiled into the program as
// ":/skin/<number>.png" and, drawn for high-density screens at twice the
// pixels, ":/skin/<number>@2x.png".

#include <QImage>
#include <QPixmap>

// Registers the compiled-in pictures; SkinImage and SkinPixmap call it themselves.
void InitSkinResources();
bool HasSkinImage(int resourceNumber);
// The art ratio (1 or 2) for screens of the given device pixel ratio.
int SkinArtRatio(qreal devicePixelRatio);
// The art ratio for this program's screens (1 without a GUI application).
int SkinArtRatio();
// The picture of a resource number at an art ratio of 1 or 2: its device pixel
// ratio is set, so its size in window coordinates is that of the 1x picture.
// For a number without a picture, a magenta-and-black checker with the number
// on it, 32 x 32.
QImage SkinImage(int resourceNumber, int artRatio = 1);
// The picture to draw on screens of the given device pixel ratio: the 1x art
// at 1, the 2x art at 2, the 2x art smoothly scaled to any ratio between or
// above, so that it maps pixel for pixel onto the screen.
QPixmap SkinPixmap(int resourceNumber, qreal devicePixelRatio);
// The picture to draw on this program's screens.
QPixmap SkinPixmap(int resourceNumber);
