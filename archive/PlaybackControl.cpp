#include "archive/PlaybackControl.h"

#include "archive/IPlaybackLink.h"
#include "archive/IPlaybackPanel.h"
#include "link/PacketFormat.h"
#include "viewer/EventRecord.h"

namespace playback {

QString PlayResultText(int code) {
  switch (code) {
    case kResultError: return QStringLiteral("ERROR");
    case kResultNoImage: return QStringLiteral("No Search Image");
    case kResultEnd: return QStringLiteral("End of Play");
    case kResultInvalidDate: return QStringLiteral("Invalid Date");
    default: return {};
  }
}

bool InRange(const ArchiveMoment& moment, bool backward, const ArchiveMoment& start, const ArchiveMoment& end) {
  const std::uint32_t r = moment.DateNumber();
  const std::uint32_t s = start.DateNumber();
  const std::uint32_t e = end.DateNumber();
  if (r > e) return false;
  if (r > s) return true;
  if (r < s) return false;
  // On START's own date backward playback needs something before the moment.
  return !backward || moment.TimeOfDayNumber() > start.TimeOfDayNumber();
}

ArchiveMoment MomentFromRangePair(std::uint32_t dvrDate, std::uint32_t dvrTime) {
  return {static_cast<int>(dvrDate >> 16), static_cast<int>((dvrDate >> 8) & 0xFF), static_cast<int>(dvrDate & 0xFF),
          DvrTimeHour(dvrTime), DvrTimeMinute(dvrTime), DvrTimeSecond(dvrTime)};
}

bool IsUsableRangePair(std::uint32_t dvrDate, std::uint32_t dvrTime) {
  const ArchiveMoment m = MomentFromRangePair(dvrDate, dvrTime);
  return m.year >= kMinUsableYear && m.year <= kMaxUsableYear && m.month >= 1 && m.month <= 12 && m.day >= 1 &&
         m.day <= 31 && m.hour <= 24 && m.minute <= 59 && m.second <= 59;
}

std::optional<ArchiveMoment> PlayImageMoment(std::uint32_t w0, std::uint32_t w1, int protocolVersion) {
  ArchiveMoment m;
  if (protocolVersion == 1) {
    m = ArchiveMoment::FromSeconds(w0);
  } else {
    m = {static_cast<int>((w0 >> 8) & 0xFFFF), static_cast<int>(w0 & 0xFF), static_cast<int>(w1 >> 24),
         static_cast<int>((w1 >> 16) & 0xFF), static_cast<int>((w1 >> 8) & 0xFF), static_cast<int>(w1 & 0xFF)};
  }
  if (m.year < kMinUsableYear || m.year > kMaxUsableYear || m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31) {
    return std::nullopt;
  }
  return m;
}

}  // namespace playback

using namespace playback;

namespace {
constexpr std::uint8_t Bit(int button) { return static_cast<std::uint8_t>(1u << button); }
}  // namespace

PlaybackControl::PlaybackControl(IPlaybackPanel* panel, IPlaybackLink* link, PlaybackTiming timing, QObject* parent)
    : QObject(parent), m_pPanel(panel), m_pLink(link), m_timing(timing), m_clock([] { return QDateTime::currentDateTime(); }) {
  m_start = m_end = m_requestTime = Now();
  m_eventRestart.setSingleShot(true);
  m_eventRestart.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
  connect(&m_eventRestart, &QTimer::timeout, this, &PlaybackControl::RequestFromEvent);
}

void PlaybackControl::SetClock(Clock clock) { m_clock = std::move(clock); }

ArchiveMoment PlaybackControl::Now() const { return ArchiveMoment::FromDateTime(m_clock()); }

int PlaybackControl::ProtocolVersion() const { return m_pLink ? m_pLink->ProtocolVersion() : wire::kInitialProtocolVersion; }

std::uint32_t PlaybackControl::ChannelWord() const {
  const std::uint8_t channel = m_pPanel->SelectedChannel();
  return channel == kAllChannels ? 0u : static_cast<std::uint32_t>(channel) + 1u;
}

void PlaybackControl::SendPlay(std::uint32_t start, std::uint32_t second, bool arm) {
  if (!m_pLink) return;
  m_pLink->SetPlayRequestWords(ChannelWord(), start, second, m_playCommand);
  m_pLink->SendPlayRequest(arm);
}

void PlaybackControl::StopPlayback() {
  m_pPanel->ShowLinkStatus(kStatusClear);
  m_playCommand = MakePlayCommand(false, 0, kActionStop);
  SendPlay(m_startWord, m_secondWord, false);
  m_pPanel->LightPlayButtons(Bit(playback::Stop));
  m_playState = kStateStopped;
}

int PlaybackControl::PressButton(int button) {
  if (button < 0 || button >= ButtonCount) return 0;
  // A button pressed while an event playback waits for its stop to settle wins.
  m_eventRestart.stop();

  bool redrawInformation = true;
  // Only a write that was already under way holds STOP (and POWER) back; the
  // last segment of a recording this STOP ends is saved in the background.
  const bool earlierWriteUnderWay = button == playback::Stop && m_pPanel->IsSavingAvi();
  if (button == playback::Stop) {
    m_pPanel->EndRecordingForStop();
    m_pPanel->ShowLinkStatus(kStatusClear);
    m_pPanel->SetSearchControlsEnabled(true);
    m_playCommand = MakePlayCommand(false, 0, kActionStop);
    SendPlay(m_startWord, m_secondWord, false);
    m_pPanel->LightPlayButtons(Bit(playback::Stop));
    m_playState = kStateStopped;
    redrawInformation = false;
  } else {
    const std::uint32_t action = IsPlaying() ? kActionChange : kActionStart;
    const bool backward = button == FastBackward || button == Backward;
    const int speed = (button == Backward || button == Play) ? kNormalSpeed : m_pPanel->RequestSpeed();
    m_playCommand = MakePlayCommand(backward, speed, action);
    m_playState = backward ? kStateBackward : kStateForward;

    if (const std::optional<QDate> date = m_pPanel->CalendarDate()) {
      m_requestTime = ArchiveMoment::FromDateAndTimeWord(*date, m_timeWord);
      if (ProtocolVersion() == 1) {
        m_startWord = m_requestTime.ToSeconds();
        m_secondWord = m_end.ToSeconds();
      } else {
        m_startWord = m_requestTime.DvrDate();
        m_secondWord = m_timeWord;
      }

      if (m_rangeKnown && InRange(m_requestTime, backward, m_start, m_end)) {
        SendPlay(m_startWord, m_secondWord, true);
        m_pPanel->ShowLinkStatus(kStatusClear);
        m_pPanel->ShowSearching(true);
        m_pPanel->SetSearchControlsEnabled(false);
      } else if (m_rangeKnown) {
        if (action == kActionChange) StopPlayback();
        ShowPlayResult(kResultInvalidDate);
        return 0;
      } else if (m_pLink) {
        // No usable range (version 1 recorders): drive the recorder's own keys.
        m_pPanel->ShowSearching(button != Backward);
        m_pLink->SendRemoteKey(wire::REMOTE_KEY_PLAY);
      }
    }
  }

  if (redrawInformation) m_pPanel->RedrawInformation();
  if (m_pLink) m_pLink->StopReconnectCycle();
  std::uint8_t lit = Bit(button);
  if (!IsPlaying()) lit = static_cast<std::uint8_t>((lit | Bit(playback::Stop)) & ~Bit(Play));
  m_pPanel->LightPlayButtons(lit);
  if (earlierWriteUnderWay) return -1;
  if (m_pLink) m_pLink->SendDvrStatus2();
  return 0;
}

void PlaybackControl::ShowPlayResult(int code) {
  m_pPanel->ShowResultText(PlayResultText(code));
  if (m_pLink) m_pLink->DisarmResponseTimer();
  m_playState = kStateStopped;
  m_pPanel->LightPlayButtons(Bit(playback::Stop));
}

void PlaybackControl::SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  if (ProtocolVersion() == 1) {
    m_start = ArchiveMoment::FromSeconds(w0);
    m_end = ArchiveMoment::FromSeconds(w1);
    m_requestTime = m_start;
    return;
  }
  const ArchiveMoment now = Now();
  const ArchiveMoment start = IsUsableRangePair(w0, w1) ? MomentFromRangePair(w0, w1) : now;
  ArchiveMoment end = now;
  if (IsUsableRangePair(w2, w3)) {
    end = MomentFromRangePair(w2, w3);
    m_endReported = true;
  }
  // Hour 24 or a day the month lacks gives no real moment: the range is unusable.
  if (start.IsValid() && end.IsValid() && start.year >= kFirstRangeYear && end.year >= kFirstRangeYear) {
    m_start = start;
    m_end = end;
    m_rangeKnown = true;
  } else {
    m_rangeKnown = false;
  }
}

void PlaybackControl::StartArchive() {
  m_eventRestart.stop();
  m_requestTime = m_start;
  m_timeWord = m_start.DvrTime();
  if (ProtocolVersion() != 1 && !m_endReported) m_end = Now();
}

void PlaybackControl::ResetPlayState() {
  m_eventRestart.stop();
  m_playState = kStateStopped;
}

void PlaybackControl::PlayFromEvent(std::uint32_t packedTime, int channel) {
  m_pendingEventTime = packedTime;
  m_pendingEventChannel = channel;
  if (IsPlaying()) {
    StopPlayback();
    // Give the recorder time to end the running playback before the new request.
    m_eventRestart.start(m_timing.eventRestartMs);
    return;
  }
  if (m_eventRestart.isActive()) m_eventRestart.stop();
  RequestFromEvent();
}

void PlaybackControl::RequestFromEvent() {
  const int channel = m_pendingEventChannel;
  const std::uint8_t selected = m_pPanel->SelectedChannel();
  if (selected != kAllChannels && selected != channel) m_pPanel->SelectSingleChannel(channel);

  m_playCommand = kEventPlayCommand;
  m_playState = kStateForward;
  const EventTimeFields f = UnpackTimeCost(m_pendingEventTime);
  m_requestTime = {f.year, f.month, f.day, f.hour, f.minute, f.second};
  if (ProtocolVersion() == 1) {
    m_startWord = m_pendingEventTime;
    m_secondWord = m_end.ToSeconds();
  } else {
    m_startWord = m_requestTime.DvrDate();
    m_secondWord = m_requestTime.DvrTime();
  }
  SendPlay(m_startWord, m_secondWord, true);
  m_pPanel->ShowLinkStatus(kStatusClear);
  m_pPanel->RedrawInformation();
  if (m_pLink) m_pLink->StopReconnectCycle();
  m_pPanel->LightPlayButtons(Bit(Play));
}
