// Arbitrary archive-range words of a login or status reply, for each protocol
// version, followed by every play button and an event playback with an
// arbitrary packed time: the range check and the request words must hold up.
// Eight more bytes are the time words of a played picture, which the panel
// follows before the buttons are pressed.
#include <QCoreApplication>
#include <QDate>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "archive/IPlaybackLink.h"
#include "archive/IPlaybackPanel.h"
#include "archive/PlaybackControl.h"

namespace {

class Link : public IPlaybackLink {
 public:
  int version = 2;
  int ProtocolVersion() const override { return version; }
  void SetPlayRequestWords(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override {}
  void SendPlayRequest(bool) override {}
  void SendRemoteKey(std::uint16_t) override {}
  void SendDvrStatus2() override {}
  void StopReconnectCycle() override {}
  void DisarmResponseTimer() override {}
};

class Panel : public IPlaybackPanel {
 public:
  std::optional<QDate> date;
  int RequestSpeed() const override { return 3; }
  std::optional<QDate> CalendarDate() const override { return date; }
  void SetSearchControlsEnabled(bool) override {}
  void ShowLinkStatus(int) override {}
  void ShowSearching(bool) override {}
  void ShowResultText(const QString&) override {}
  void LightPlayButtons(std::uint8_t) override {}
  void RedrawInformation() override {}
  std::uint8_t SelectedChannel() const override { return 255; }
  void SelectSingleChannel(int) override {}
  void EndRecordingForStop() override {}
  bool IsSavingAvi() const override { return false; }
};

std::uint32_t Word(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 + 16 + 4 + 4) return 0;
  Link link;
  Panel panel;
  link.version = 1 + data[0] % 3;
  PlaybackControl control(&panel, &link);
  control.SetClock([] { return QDateTime(QDate(2010, 6, 15), QTime(10, 20, 30)); });
  control.SetArchiveRange(Word(data + 1), Word(data + 5), Word(data + 9), Word(data + 13));
  control.StartArchive();
  const std::uint32_t day = Word(data + 17);
  panel.date = QDate(1900, 12, 1).addDays(static_cast<qint64>(day % 110000));
  if (size >= 33) {
    if (const auto m = playback::PlayImageMoment(Word(data + 25), Word(data + 29), link.version)) {
      if (m->year < playback::kMinUsableYear || m->year > playback::kMaxUsableYear || m->month < 1 || m->month > 12 ||
          m->day < 1 || m->day > 31)
        __builtin_trap();
      control.SetRequestTime(*m);
      if (m->hour < 24 && m->minute < 60) control.SetTimeWord(m->DvrTime());
    }
  }
  for (int button = 0; button < 5; ++button) control.PressButton(button);
  control.PlayFromEvent(Word(data + 21), data[0] % 17);
  control.ShowPlayResult(data[0]);
  return 0;
}
