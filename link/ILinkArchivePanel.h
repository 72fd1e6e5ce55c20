#pragma once
// What the DVR link needs from the archive panel. The panel implements it and
// registers itself with the link; tests hand the link a fake.

#include <QString>

#include <cstddef>
#include <cstdint>

#include "link/BitmapInfoHeader.h"

class ILinkArchivePanel {
 public:
  virtual ~ILinkArchivePanel() = default;

  // Set while the panel is shown instead of the live view.
  virtual bool IsArchiveMode() const = 0;
  // Low byte 1 while playing; high byte 1 for backward.
  virtual std::uint16_t PlayState() const = 0;

  // The four ArchiveRange words of a login or status reply.
  virtual void SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) = 0;

  // Time of the played picture: versions 2 and 3 pass the PlayImageStamp
  // words, version 1 passes seconds since 1970 as the first word and 0.
  virtual void ShowPlayImageTime(std::uint32_t w0, std::uint32_t w1, int protocolVersion) = 0;
  virtual void ShowPlayPosition(std::uint32_t position) = 0;
  virtual void ShowPlayResult(int code) = 0;

  // "SEARCHING" is cleared by the first drawn playback picture.
  virtual bool IsSearchingShown() const = 0;
  virtual void ClearSearchingFlag() = 0;
  virtual void ShowSearchText(const QString& text) = 0;

  virtual void SetPlayImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                            std::uint8_t fieldFlag) = 0;
  // The JPEG stream of the picture just set; the bytes last only for the call.
  virtual void SetPlayJpeg(int /*channel*/, const std::uint8_t* /*data*/, std::size_t /*length*/) {}
  virtual void DrawPlayImage(int channel) = 0;

  virtual void ToggleActivity() = 0;
  // A new "AlarmEvent.am" was written.
  virtual void EventFileArrived() = 0;
};
