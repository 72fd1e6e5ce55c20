#pragma once
// The stored options of the viewer, held by the main view as plain fields and
// edited in place by the Connections page. A value-initialised record is all
// zero and empty; ViewerSettingsStore::Load fills in the defaults.

#include <QString>
#include <array>
#include <cstdint>

struct ViewerSettings {
  // Text widths including the terminator of the stored form: a text keeps at
  // most width - 1 characters. Paths are never cut: a cut path names another folder.
  static constexpr int kUserIdWidth = 64;
  static constexpr int kPasswordWidth = 32;
  static constexpr int kHostAddressWidth = 32;
  static constexpr int kIpLabelWidth = 64;

  // List choices are stored as the position of the entry: 0 to count - 1.
  static constexpr std::uint32_t kRotateIntervalChoices = 6;
  static constexpr std::uint32_t kRequestSpeedChoices = 7;
  static constexpr std::uint32_t kReconnectCountChoices = 5;
  static constexpr std::uint32_t kPtzTypeChoices = 6;
  static constexpr std::uint32_t kRecordIntervalChoices = 13;
  static constexpr std::uint32_t kRecordFormatChoices = 2;  // uncompressed, Motion-JPEG
  static constexpr std::uint32_t kMaxHostPort = 65535;

  static constexpr const char* kDefaultHostAddress = "192.168.1.100";
  static constexpr std::uint32_t kDefaultHostPort = 8000;
  static constexpr std::uint8_t kDefaultRotateInterval = 2;  // "03 SEC"
  static constexpr std::uint8_t kDefaultReconnectCount = 2;  // "3"
  static constexpr std::uint8_t kDefaultRequestSpeed = 4;
  static constexpr std::uint8_t kDefaultPtzType = 1;
  static constexpr std::uint8_t kDefaultRecordInterval = 1;
  static constexpr std::uint8_t kDefaultRecordFormat = 0;
  static constexpr std::uint8_t kDefaultDateShow = 1;
  static constexpr const char* kDefaultIpLabel = "INTRANET";
  static constexpr const char* kRecordFolderName = "Backup";

  // The numbers the Connections page's entries show, by position. The view
  // uses these, so a channel stays as long and the link tries as often as the
  // chosen entry says.
  static constexpr std::array<std::uint8_t, kRotateIntervalChoices> kRotateSeconds = {1, 2, 3, 4, 5, 10};
  static constexpr std::array<std::uint8_t, kReconnectCountChoices> kReconnectAttempts = {1, 2, 3, 4, 5};
  static std::uint8_t RotateSeconds(std::uint8_t position) {
    return kRotateSeconds[position < kRotateSeconds.size() ? position : kDefaultRotateInterval];
  }
  static int ReconnectAttempts(std::uint8_t position) {
    return kReconnectAttempts[position < kReconnectAttempts.size() ? position : kDefaultReconnectCount];
  }

  QString userId;
  QString password;
  QString hostAddress;
  QString recordFolder;
  std::uint32_t hostPort = 0;
  std::uint8_t rotateInterval = 0;
  std::uint8_t reconnectCount = 0;
  std::uint8_t requestSpeed = 0;
  std::uint8_t ptzType = 0;
  std::uint32_t useFullScreen = 0;
  std::uint32_t useAlertMode = 0;
  std::uint8_t recordInterval = 0;
  std::uint8_t dateShow = 0;
  std::uint8_t recordFormat = 0;
  QString ptzFilePath;
  QString ipLabel;

  bool operator==(const ViewerSettings&) const = default;
};
