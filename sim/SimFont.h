#pragma once
// A 5 x 7 block font for the texts painted into the pictures. Drawn as solid
// squares it needs no font files and no windowing system, and it stays
// legible through JPEG.

#include <QColor>
#include <QImage>
#include <QString>

class SimFont {
 public:
  static constexpr int kGlyphWidth = 5;
  static constexpr int kGlyphHeight = 7;
  static constexpr int kAdvance = 6;  // glyph width plus one column of space

  // Draws text with its top left corner at (x, y), each glyph cell scale pixels square.
  static void Draw(QImage& image, int x, int y, const QString& text, int scale, QColor colour);
  // Same with a one-cell dark shadow below and right, for text on busy backgrounds.
  static void DrawShadowed(QImage& image, int x, int y, const QString& text, int scale, QColor colour);
  static int TextWidth(const QString& text, int scale) { return static_cast<int>(text.size()) * kAdvance * scale; }
  // Rows a text covers, with or without the shadow of DrawShadowed.
  static int TextHeight(int scale, bool shadowed) { return kGlyphHeight * scale + (shadowed ? ShadowOffset(scale) : 0); }
  static int ShadowOffset(int scale) { return scale > 2 ? scale / 2 : 1; }
};
