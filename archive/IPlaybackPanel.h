#pragma once
// The panel side of playback control: what it shows and the state it keeps
// for the window (calendar, channel choice, recording). CArchiveDlg implements
// it; tests hand PlaybackControl a fake.

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

class IPlaybackPanel {
 public:
  virtual ~IPlaybackPanel() = default;

  // The "Request Speed" setting; 3 when there is no main view.
  virtual int RequestSpeed() const = 0;
  // The month calendar's date; empty when the panel has no calendar.
  virtual std::optional<QDate> CalendarDate() const = 0;
  // Month calendar and time slider together.
  virtual void SetSearchControlsEnabled(bool enabled) = 0;

  virtual void ShowLinkStatus(int statusCode) = 0;
  // true: "SEARCHING" in the message box and the flag set; false: blanks, flag clear.
  virtual void ShowSearching(bool shown) = 0;
  // The result box; an empty text only clears it.
  virtual void ShowResultText(const QString& text) = 0;
  // Bit b lights play button b (0 fast backward .. 4 fast forward), the others go dark.
  virtual void LightPlayButtons(std::uint8_t litMask) = 0;
  virtual void RedrawInformation() = 0;

  // 0..15, or 255 for all channels.
  virtual std::uint8_t SelectedChannel() const = 0;
  // Light single and select the channel: the grid keeps its size, its page starts there.
  virtual void SelectSingleChannel(int channel) = 0;

  // Recording hooks: a running recording is ended by stop (its segment saved);
  // stop is refused while an AVI file is still being written.
  virtual void EndRecordingForStop() = 0;
  virtual bool IsSavingAvi() const = 0;
};
