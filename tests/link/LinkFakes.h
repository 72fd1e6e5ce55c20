#pragma once
// Owner and archive panel stand-ins that record what the link asks of them.

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "link/CDvrLink.h"
#include "link/ILinkArchivePanel.h"
#include "link/ILinkOwner.h"

class FakeLinkOwner : public ILinkOwner {
 public:
  CDvrLink* link = nullptr;  // GoOffline disconnects it, as the view does
  QString userId = "admin";
  QString password = "1";
  QString host = "127.0.0.1";
  std::uint16_t port = 0;
  int reconnectCount = 3;
  bool alertMode = true;
  std::uint16_t selection = 0x0100;
  std::uint32_t mask = 0xFF;

  std::vector<int> statuses;
  std::uint8_t state = 0;
  int goOfflineCount = 0;
  int channelCount = -1;
  std::vector<int> drawn;
  std::vector<BitmapInfoHeader> headers;
  std::vector<std::uint8_t> fieldFlags = std::vector<std::uint8_t>(16, 0xEE);
  int toggles = 0;

  void ShowConnectionStatus(int code) override { statuses.push_back(code); }
  QString UserId() const override { return userId; }
  QString Password() const override { return password; }
  QString HostText() const override { return host; }
  std::uint16_t Port() const override { return port; }
  int ReconnectCount() const override { return reconnectCount; }
  bool UseAlertMode() const override { return alertMode; }
  std::uint8_t ConnectionState() const override { return state; }
  void SetConnectionState(std::uint8_t s) override { state = s; }
  void GoOffline() override {
    ++goOfflineCount;
    state = 0;
    if (link) link->Disconnect(true);
    statuses.push_back(0);
  }
  void SetChannelCount(int channels) override { channelCount = channels; }
  std::uint16_t ChannelSelection() const override { return selection; }
  std::uint32_t ChannelMask() const override { return mask; }
  std::array<const std::uint8_t*, 16> pixels{};
  QSize decodeSize;  // what LiveDecodeSize answers
  std::vector<QSize> pictureSizes;
  QSize LiveDecodeSize(int) const override { return decodeSize; }
  void SetChannelImage(int channel, const std::uint8_t* bits, const BitmapInfoHeader& header,
                       QSize pictureSize) override {
    pixels[static_cast<std::size_t>(channel)] = bits;
    headers.push_back(header);
    pictureSizes.push_back(pictureSize);
  }
  void SetChannelFieldFlag(int channel, std::uint8_t flag) override {
    fieldFlags[static_cast<std::size_t>(channel)] = flag;
  }
  void DrawChannel(int channel) override { drawn.push_back(channel); }
  void ShowPositions(std::uint32_t, std::uint32_t) override {}
  void ToggleActivity() override { ++toggles; }
  std::vector<int> videoLosses;
  void ShowVideoLoss(int channel) override { videoLosses.push_back(channel); }
  void ShowPtzDataReply(const wire::PacketInfo&) override {}

  int CountStatus(int code) const { return static_cast<int>(std::count(statuses.begin(), statuses.end(), code)); }
};

class FakeArchivePanel : public ILinkArchivePanel {
 public:
  bool archiveMode = false;
  std::vector<std::array<std::uint32_t, 4>> ranges;
  std::vector<int> drawn;
  int eventFiles = 0;

  bool IsArchiveMode() const override { return archiveMode; }
  std::uint16_t PlayState() const override { return 0; }
  void SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override {
    ranges.push_back({w0, w1, w2, w3});
  }
  void ShowPlayImageTime(std::uint32_t, std::uint32_t, int) override {}
  void ShowPlayPosition(std::uint32_t) override {}
  void ShowPlayResult(int) override {}
  bool IsSearchingShown() const override { return false; }
  void ClearSearchingFlag() override {}
  void ShowSearchText(const QString&) override {}
  void SetPlayImage(int, const std::uint8_t*, const BitmapInfoHeader&, std::uint8_t) override {}
  void DrawPlayImage(int channel) override { drawn.push_back(channel); }
  void ToggleActivity() override {}
  void EventFileArrived() override { ++eventFiles; }
};
