#pragma once
// Paints one picture of a channel: the camera's view of a simple landscape
// (turned by pan, tilt and zoom), the channel's name and colour, a clock, a
// moving ball, and in the top rows the marks the client reads back: the
// channel mark in the second row and the index bars in the third.

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

class SimCamera;

class SimScene {
 public:
  // Columns of the five channel-mark fields a, b, c, d and sel, each 30 pixels wide.
  static constexpr int kMarkFieldStarts[5] = {90, 218, 346, 474, 602};
  static constexpr int kMarkFieldWidth = 30;
  // Index bars: black 0..15, white 16..46, black 47..77.
  static constexpr int kIndexWhiteStart = 16;
  static constexpr int kIndexWhiteEnd = 46;
  static constexpr int kIndexBlackEnd = 77;
  // The marks are painted over a whole JPEG block row, so that the rows the
  // client reads (1 and 2) come through compression unblurred.
  static constexpr int kMarkStripRows = 8;
  // White fields reach this far beyond the 30 columns that are read.
  static constexpr int kMarkFieldMargin = 2;

  struct Picture {
    int channel = 1;           // counted from 1
    QDateTime moment;          // shown by the clock
    QString modeText;          // "LIVE", "PLAY >", ...
    int markValue = 0;         // channel mark to paint (0..15), or -1 for no mark
    bool invertMark = false;   // paint with sel set and a..d inverted
  };

  explicit SimScene(QSize size);

  QImage Render(const Picture& picture, const SimCamera& camera) const;

  // The mark strip alone, also used by tests to produce reference pictures.
  static void PaintMarks(QImage& image, int markValue, bool inverted);
  static QColor ChannelColour(int channel);

 private:
  void PaintLandscape(QImage& image, int channel, const SimCamera& camera) const;
  void PaintBall(QImage& image, const QDateTime& moment) const;

  QSize m_size;
};
