#pragma once
// An owner for the link that takes everything and shows nothing: the base of
// benchmarks and fuzz targets, which override only what they watch.

#include <QString>

#include "link/ILinkOwner.h"

class NullLinkOwner : public ILinkOwner {
 public:
  void ShowConnectionStatus(int) override {}
  QString UserId() const override { return {}; }
  QString Password() const override { return {}; }
  QString HostText() const override { return QStringLiteral("127.0.0.1"); }
  std::uint16_t Port() const override { return 0; }
  int ReconnectCount() const override { return 0; }
  bool UseAlertMode() const override { return false; }
  std::uint8_t ConnectionState() const override { return 1; }
  void SetConnectionState(std::uint8_t) override {}
  void GoOffline() override {}
  void SetChannelCount(int) override {}
  std::uint16_t ChannelSelection() const override { return 0x0100; }
  std::uint32_t ChannelMask() const override { return 0xFF; }
  void SetChannelImage(int, const std::uint8_t*, const BitmapInfoHeader&, QSize) override {}
  void SetChannelFieldFlag(int, std::uint8_t) override {}
  void DrawChannel(int) override {}
  void ShowPositions(std::uint32_t, std::uint32_t) override {}
  void ToggleActivity() override {}
  void ShowPtzDataReply(const wire::PacketInfo&) override {}
};
