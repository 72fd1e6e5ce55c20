#pragma once
// What the simulated recorder keeps across client sessions: its options, the
// archive, the cameras, the picture painter and the counters.

#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <functional>

#include "link/PacketFormat.h"
#include "sim/SimArchive.h"
#include "sim/SimCamera.h"
#include "sim/SimJpegEncoder.h"
#include "sim/SimOptions.h"
#include "sim/SimScene.h"

struct SimCounters {
  int connectionsAccepted = 0;
  int connectionsRefused = 0;   // further clients while one is connected
  int connectionsReplaced = 0;  // clients that gave way to a new one (quiet, silent or closing)
  int loginsAccepted = 0;
  int loginsRejected = 0;
  quint64 packetsReceived = 0;
  quint64 livePicturesSent = 0;
  quint64 playPicturesSent = 0;
  quint64 picturesSkipped = 0;  // not sent because the client was not reading
  std::array<quint64, 16> livePicturesPerChannel{};
  int playResultsSent = 0;
  int eventFilesSent = 0;
  int statusReportsSent = 0;
  int ptzCommandsApplied = 0;
  quint64 bytesSent = 0;
};

struct SimRecorderState {
  static constexpr int kMaxChannels = 16;
  static constexpr std::uint32_t kInitialRecordingPosition = 371200;  // the disk is a little over a third full

  explicit SimRecorderState(const SimOptions& o)
      : options(o),
        archive(o.archiveFrom, o.archiveTo),
        scene(o.pictureSize),
        magic(wire::MakeMagic(MagicTextFor(o.magicVersion).toStdString())),
        protocolVersion(wire::ProtocolVersionForMagic(magic)) {
    clock.start();
  }

  static QString MagicTextFor(const QString& version) {
    return (QString::fromLatin1(wire::kMagicText.data(), static_cast<qsizetype>(wire::kMagicText.size())) + version)
        .left(static_cast<qsizetype>(wire::kMagicSize) - 1);
  }
  int ChannelCount() const { return wire::ChannelCountForInfo(static_cast<std::uint8_t>(options.channelInfo)); }
  // Recorders announcing "no mark" in their channel byte paint no channel mark.
  bool PaintsChannelMark() const { return !wire::ImagesCarryNoMark(static_cast<std::uint8_t>(options.channelInfo)); }

  SimOptions options;
  SimArchive archive;
  std::array<SimCamera, kMaxChannels> cameras{};
  SimScene scene;
  SimJpegEncoder encoder;
  SimCounters counters;
  QElapsedTimer clock;
  std::uint32_t recordingPosition = kInitialRecordingPosition;
  wire::Magic magic;
  int protocolVersion;
  std::function<void(const QString&)> log;
  std::function<void(int channel, bool playback)> pictureSent;
};
