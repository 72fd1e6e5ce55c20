#pragma once
// Playback logic of the archive panel: the five play buttons and the request
// they send, the check against the recorder's archive range, the range words
// the recorder reports, playback results, the remote-key fallback while no
// range is known, and playback from an event of the event list.
// Window-free: it talks to the panel and the link through two interfaces.

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>

#include "archive/ArchiveMoment.h"

class IPlaybackLink;
class IPlaybackPanel;

// The pause between stopping a running playback and the new request of
// PlayFromEvent; tests pass a shortened value.
struct PlaybackTiming {
  int eventRestartMs = 1000;
};

namespace playback {

enum Button : int { FastBackward = 0, Backward = 1, Stop = 2, Play = 3, FastForward = 4, ButtonCount = 5 };

constexpr std::uint16_t kStateStopped = 0x0000;
constexpr std::uint16_t kStateForward = 0x0001;
constexpr std::uint16_t kStateBackward = 0x0101;

// PlayCommand fields.
constexpr std::uint32_t kActionStop = 0;
constexpr std::uint32_t kActionStart = 1;
constexpr std::uint32_t kActionChange = 2;
constexpr int kNormalSpeed = 1;
constexpr int kSpeedWithoutView = 3;
constexpr std::uint32_t kEventPlayCommand = 0x00010100;  // forward, speed 1, start

constexpr std::uint8_t kAllChannels = 255;
constexpr int kStatusClear = 1;  // ShowLinkStatus code that only clears the message box

// Playback result codes (w3 of a playback image).
constexpr int kResultError = 0;
constexpr int kResultNoImage = 2;
constexpr int kResultEnd = 3;
constexpr int kResultInvalidDate = 4;

// A recorder range year before this means "no usable range".
constexpr int kFirstRangeYear = 1997;
constexpr int kMinUsableYear = 1995;
constexpr int kMaxUsableYear = 2095;

constexpr std::uint32_t MakePlayCommand(bool backward, int speed, std::uint32_t action) {
  return (backward ? 1u : 0u) << 24 | (static_cast<std::uint32_t>(speed) & 0xFF) << 16 | (action & 0xFF) << 8;
}

// "ERROR", "No Search Image", "End of Play", "Invalid Date"; empty for other codes.
QString PlayResultText(int code);

// Whether a play request for moment lies in [start, end] (dates only, except
// that backward playback on START's date must begin after START's time).
bool InRange(const ArchiveMoment& moment, bool backward, const ArchiveMoment& start, const ArchiveMoment& end);

// Range words of versions 2 and 3: year 1995..2095, month 1..12, day 1..31,
// hour up to 24, minute and second up to 59.
bool IsUsableRangePair(std::uint32_t dvrDate, std::uint32_t dvrTime);
ArchiveMoment MomentFromRangePair(std::uint32_t dvrDate, std::uint32_t dvrTime);

// The time a played picture carries: seconds since 1970 in w0 from version 1
// recorders; otherwise w0 = year << 8 | month and w1 = day << 24 | hour << 16 |
// minute << 8 | second. Empty when the year, month or day is out of range.
std::optional<ArchiveMoment> PlayImageMoment(std::uint32_t w0, std::uint32_t w1, int protocolVersion);

}  // namespace playback

class PlaybackControl : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<QDateTime()>;

  // link may be null (the panel then works without sending anything).
  PlaybackControl(IPlaybackPanel* panel, IPlaybackLink* link, PlaybackTiming timing = {},
                  QObject* parent = nullptr);

  void SetLink(IPlaybackLink* link) { m_pLink = link; }
  // Tests fix "now"; the default reads the local clock.
  void SetClock(Clock clock);

  // Play buttons 0..4. Returns 0, or -1 when stop is refused while an AVI file is written.
  int PressButton(int button);
  int Stop() { return PressButton(playback::Stop); }

  void SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3);
  void ShowPlayResult(int code);
  void PlayFromEvent(std::uint32_t packedTime, int channel);

  // Entering archive mode: request START, and for version 2 and 3 recorders
  // that never reported an END, END = now.
  void StartArchive();
  // Entering or leaving archive mode: stopped, nothing pending.
  void ResetPlayState();

  std::uint16_t PlayState() const { return m_playState; }
  bool IsPlaying() const { return (m_playState & 0xFF) == 1; }
  std::uint32_t LastPlayCommand() const { return m_playCommand; }
  bool IsRangeKnown() const { return m_rangeKnown; }
  bool IsEndReported() const { return m_endReported; }
  const ArchiveMoment& Start() const { return m_start; }
  const ArchiveMoment& End() const { return m_end; }
  const ArchiveMoment& RequestTime() const { return m_requestTime; }
  void SetRequestTime(const ArchiveMoment& m) { m_requestTime = m; }
  // The time of day chosen on the slider or taken from the last image (DvrTime).
  std::uint32_t TimeWord() const { return m_timeWord; }
  void SetTimeWord(std::uint32_t timeWord) { m_timeWord = timeWord; }
  // A PlayFromEvent waiting for the stop of the previous playback to settle.
  bool IsEventRestartPending() const { return m_eventRestart.isActive(); }

 private:
  int ProtocolVersion() const;
  std::uint32_t ChannelWord() const;
  void SendPlay(std::uint32_t start, std::uint32_t second, bool arm);
  void StopPlayback();  // play request with command 0, STOP lit, stopped
  void RequestFromEvent();
  ArchiveMoment Now() const;

  IPlaybackPanel* m_pPanel;
  IPlaybackLink* m_pLink;
  PlaybackTiming m_timing;
  Clock m_clock;

  std::uint16_t m_playState = playback::kStateStopped;
  std::uint32_t m_playCommand = 0;
  bool m_rangeKnown = false;
  bool m_endReported = false;
  ArchiveMoment m_start;
  ArchiveMoment m_end;
  ArchiveMoment m_requestTime;
  std::uint32_t m_timeWord = 0;
  // Words 1 and 2 of the last play request; a stop repeats them.
  std::uint32_t m_startWord = 0;
  std::uint32_t m_secondWord = 0;

  QTimer m_eventRestart;
  std::uint32_t m_pendingEventTime = 0;
  int m_pendingEventChannel = 0;
};
