#pragma once
// The skin pictures, one per resource number, compiled into the program as
// ":/skin/<number>.png" and, drawn for high-density screens at twice the
// pixels, ":/skin/<number>@2x.png".

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QPainter;

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
// Draws the picture with its top-left corner at a point of the painter, from
// the art that matches the painter's scale (its device's pixel ratio times its
// transform's), so that a window drawn enlarged, as on the full-screen stage,
// or on a dense screen stays sharp. The pictures are kept once made.
void DrawSkinPicture(QPainter& painter, const QPoint& at, int resourceNumber);
// The program's icon, from the same pictures the package installs.
QIcon ProgramIcon();
