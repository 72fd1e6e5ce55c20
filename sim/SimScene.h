#pragma once
// Paints one picture of a channel: the camera's view of a simple landscape
// (turned by pan, tilt and zoom), the channel's name and colour, a clock, a
// moving ball, and in the top rows the marks the client reads back: the
// channel mark in the second row and the index bars in the third.
//
// What does not move (landscape, texts other than the clock, marks) is painted
// once per channel and kept until the camera or a text changes; each picture
// copies it and adds the ball and the clock by plain pixel writes, so the hot
// path uses no QPainter (whose fills wake Qt's image thread pool).

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <utility>
#include <vector>

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

  static constexpr int kMaxChannels = 16;

  // A rendered picture and how it relates to the kept still part it was drawn on.
  struct Frame {
    QImage image;                 // Format_RGB888
    int still = 0;                // which still part: one per channel
    quint64 stillGeneration = 0;  // changes whenever that still part is repainted
    std::vector<std::pair<int, int>> changedRows;  // pixel rows [first, second) that differ from it
  };

  explicit SimScene(QSize size);

  // Valid until the next picture of the same channel.
  const Frame& Render(const Picture& picture, const SimCamera& camera);

  // The mark strip alone.
  static void PaintMarks(QImage& image, int markValue, bool inverted);
  static QColor ChannelColour(int channel);

 private:
  // The unmoving part of one channel's pictures, what it was painted for, and
  // the channel's last picture painted on it.
  struct Still {
    QImage image;
    Frame frame;
    QString modeText;
    double pan = 0, tilt = 0, zoom = 0;
    int markValue = 0;
    bool invertMark = false;
    quint64 generation = 0;
  };

  Still& StillFor(const Picture& picture, const SimCamera& camera);
  void PaintStill(QImage& image, const Picture& picture, const SimCamera& camera) const;
  void PaintLandscape(QImage& image, int channel, const SimCamera& camera) const;
  // Each returns the pixel rows it painted, [first, second).
  std::pair<int, int> PaintBall(QImage& image, const QDateTime& moment) const;
  std::pair<int, int> PaintClock(QImage& image, const QDateTime& moment) const;

  QSize m_size;
  int m_ballRadius;
  QImage m_ball;  // premultiplied sprite, painted once
  std::array<Still, kMaxChannels> m_stills;
  quint64 m_generations = 0;
};
