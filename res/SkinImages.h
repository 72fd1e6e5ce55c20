#pragma once
// The skin pictures, one per resource number, compiled into the program as
// ":/skin/<number>.png".

#include <QImage>
#include <QPixmap>

// Registers the compiled-in pictures; SkinImage and SkinPixmap call it themselves.
void InitSkinResources();
bool HasSkinImage(int resourceNumber);
// The picture of a resource number; for a number without a picture, a
// magenta-and-black checker with the number on it, 32 x 32.
QImage SkinImage(int resourceNumber);
QPixmap SkinPixmap(int resourceNumber);
