#pragma once
// What a pane says when its picture cannot be trusted to be live: "VIDEO LOSS"
// after the recorder reported the channel's video lost, "NO PICTURE" with the
// seconds since the last picture once none came for a while. Both clear with
// the next picture. Shared by the main view (live panes) and the archive panel
// (playback panes); the owner decides when watching applies and gives the clock.

#include <QFont>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

#include "link/PacketFormat.h"

class QPainter;

class PaneNotice {
 public:
  static constexpr std::int64_t kNoPictureAfterMs = 3000;
  static constexpr const char* kVideoLossText = "VIDEO LOSS";
  static constexpr const char* kNoPictureText = "NO PICTURE";
  // How often an owner checks for a notice to appear or its seconds to change.
  static constexpr int kCheckMs = 250;

  // A picture of the channel arrived: its notice, if any, ends.
  void Picture(int channel, std::int64_t nowMs);
  void VideoLoss(int channel);
  // Every channel that has a picture counts from now, as if it had just come
  // (a newly shown page, the start of a play); losses are kept.
  void Restart(std::int64_t nowMs);
  // No pictures at all: nothing to say until the next one.
  void Clear();
  // The channel's notice; empty for none.
  QString Text(int channel, std::int64_t nowMs) const;

  // Dims the pane's picture and draws the notice centred in it, green on a
  // black box, in the given font.
  static void Draw(QPainter& painter, const QRect& pane, const QString& text, const QFont& font);
  // Where Draw puts the notice's box.
  static QRect BoxRect(const QRect& pane, const QString& text, const QFont& font);

 private:
  struct Watch {
    bool hasPicture = false;
    bool videoLoss = false;
    std::int64_t lastPictureMs = 0;
  };
  std::array<Watch, wire::kChannels> m_watch{};
};
