#pragma once
// The captions written over a snapshot or a printed picture: one caption
// "CAM<n> <time>" for a single pane, or the time and "CAM1".."CAMn²" in
// row-major order over a grid. Red on transparent, one line each.

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;

struct Caption {
  QRect rect;
  QString text;
  friend bool operator==(const Caption&, const Caption&) = default;
};

class SnapshotCaptions {
 public:
  // The panel's image area, where the picture is taken from.
  static constexpr QRect kImageArea{62, 22, 640, 480};

  // Grids of 2, 3 or 4 panes a side get cell captions; any other size counts as 1.
  static int CaptionGridSize(int gridSize);

  // In picture coordinates, for the JPEG snapshot.
  static std::vector<Caption> ForSnapshot(int gridSize, std::uint8_t selectedChannel, const QString& timeText);
  // In panel coordinates, drawn on the panel for printing.
  static std::vector<Caption> ForPrint(int gridSize, std::uint8_t selectedChannel, const QString& timeText);

  static void Draw(QPainter& painter, const std::vector<Caption>& captions);

 private:
  static std::vector<Caption> Make(int gridSize, std::uint8_t selectedChannel, const QString& timeText,
                                   const QRect& headRect, int xBase, int top, int bottom);
};
