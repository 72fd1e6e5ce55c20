#pragma once
// What the DVR link needs from its owner, the main view. The view implements
// it; tests hand the link a fake.

#include <QSize>
#include <QString>

#include <cstdint>

#include "link/BitmapInfoHeader.h"
#include "link/PacketFormat.h"

class ILinkOwner {
 public:
  virtual ~ILinkOwner() = default;

  // Redraw the status line with a StatusCode 0..7.
  virtual void ShowConnectionStatus(int statusCode) = 0;

  // Stored settings the link reads.
  virtual QString UserId() const = 0;
  virtual QString Password() const = 0;
  virtual QString HostText() const = 0;
  virtual std::uint16_t Port() const = 0;
  virtual int ReconnectCount() const = 0;
  virtual bool UseAlertMode() const = 0;

  // The view's ConnectionState byte: 0 idle, 1 connected, 2 connecting.
  virtual std::uint8_t ConnectionState() const = 0;
  virtual void SetConnectionState(std::uint8_t state) = 0;
  // Give up: state 0, full disconnect, channel images cleared, "AlarmEvent.am" deleted.
  virtual void GoOffline() = 0;
  // Channel count from the login reply: its channel byte as it is (versions 2 and 3, byte not 0).
  virtual void SetChannelCount(int channels) = 0;

  // Live request words: the 16-bit selection word and the channel mask.
  virtual std::uint16_t ChannelSelection() const = 0;
  virtual std::uint32_t ChannelMask() const = 0;

  // The least size worth decoding the channel's live pictures at: a picture
  // larger than that each way may come decoded scaled down. Empty: full size.
  virtual QSize LiveDecodeSize(int /*channel*/) const { return {}; }
  // A decoded live picture for channel 0..7. The pixels belong to the link and
  // stay valid until its next decode of that channel. pictureSize is the size
  // of the picture the bitmap shows: larger than the header's when it was
  // decoded scaled down.
  virtual void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                               QSize pictureSize) = 0;
  virtual void SetChannelFieldFlag(int channel, std::uint8_t fieldFlag) = 0;
  virtual void DrawChannel(int channel) = 0;

  // Positions of the last live packet, in ten-thousandths of a percent.
  virtual void ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) = 0;
  virtual void ToggleActivity() = 0;
  // A status report gave video loss for channel 0..3 (whatever the alert mode).
  virtual void ShowVideoLoss(int /*channel*/) {}
  // The recorder confirmed camera-control bytes ("Direct Pantilt Camera Control");
  // reply is the info block it sent with it.
  virtual void ShowPtzDataReply(const wire::PacketInfo& reply) = 0;
};
