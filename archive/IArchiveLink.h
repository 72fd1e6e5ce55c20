#pragma once
// What the archive panel needs from the DVR link, beyond playback requests.
// DvrLinkArchiveAdapter forwards it to CDvrLink; tests hand the panel a fake.

#include <QString>

#include <cstdint>

#include "archive/IPlaybackLink.h"

class ILinkArchivePanel;

class IArchiveLink : public IPlaybackLink {
 public:
  // The link calls the panel back through this; null unregisters.
  virtual void SetArchivePanel(ILinkArchivePanel* panel) = 0;
  // DATATYPE_EVENT_FILE_REQUEST and DATATYPE_LIVE_STOP, no response timer.
  virtual void SendEventFileRequest() = 0;
  virtual void SendLiveStop() = 0;

  // Last record position of a live packet, ten-thousandths of a percent.
  virtual std::uint32_t RecordingPosition() const = 0;
  virtual std::uint32_t ChannelStatusWord() const = 0;
  virtual int MissCount() const = 0;
  // Where the link writes "AlarmEvent.am".
  virtual QString EventFilePath() const = 0;
};
