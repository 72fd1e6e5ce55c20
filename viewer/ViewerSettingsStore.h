#pragma once
// Reads and writes ViewerSettings under QSettings("Ardeviz", "Ardeviz8"), group
// "Setting": the registry of the current user on Windows,
// ~/.config/Ardeviz/Ardeviz8.conf on Linux.

#include <QString>

struct ViewerSettings;
class ISecretStore;

class ViewerSettingsStore {
 public:
  static constexpr const char* kOrganization = "Ardeviz";
  static constexpr const char* kApplication = "Ardeviz8";
  static constexpr const char* kGroup = "Setting";

  // Stored value names.
  static constexpr const char* kUserId = "User ISeed";
  static constexpr const char* kPassword = "User PSeed";
  static constexpr const char* kHostAddress = "Host IPAddress";
  static constexpr const char* kRecordPath = "Record Path";
  static constexpr const char* kHostPort = "Host Port";
  static constexpr const char* kRotateInterval = "Rotate Interval";
  static constexpr const char* kReconnectCount = "Reconnect Count";
  static constexpr const char* kRequestSpeed = "Request Speed";
  static constexpr const char* kPtzType = "Ptz Type";
  static constexpr const char* kUseFullScreen = "Use FullScreen";
  static constexpr const char* kUseAlertMode = "Use AlertMode";
  static constexpr const char* kRecordInterval = "Record Interval";
  static constexpr const char* kDateShow = "Date Show";
  static constexpr const char* kRecordFormat = "Record Format";
  static constexpr const char* kPtzFilePath = "Ptz File Path";
  static constexpr const char* kIpLabel = "Ip Label";

  // Fills every field. The record folder is always "Backup" beside the
  // executable (and is created); the pan/tilt file path is the one given;
  // neither is ever cut. "Record Path" and "Ptz File Path" are never read.
  // A stored number outside its range reads as its default: "Host Port"
  // 0..65535 (default 8000), list positions within their lists ("Rotate
  // Interval" 0..5, default 3; "Reconnect Count" 0..4, 3; "Request Speed"
  // 0..6, 4; "Ptz Type" 0..5, 1; "Record Interval" 0..12, 1; "Record
  // Format" 0..1, 0) and the flags
  // 0 or 1 ("Use FullScreen" 0, "Use AlertMode" 0, "Date Show" 1).
  // With a secret store that answers, the password is read from it; a
  // password an earlier version left in the file is moved into the store and
  // removed from the file. The file is always left readable by its owner only.
  static void Load(ViewerSettings& settings, const QString& ptzFilePath,
                   const QString& executablePath, ISecretStore* secrets = nullptr);
  // Writes every field; ptzFilePath is stored as "Ptz File Path". The password
  // goes to the secret store when one takes it, else into the file, which only
  // its owner may read (0600, in a folder of 0700).
  static void Save(const ViewerSettings& settings, const QString& ptzFilePath, ISecretStore* secrets = nullptr);

  // The folder "Backup" in the folder that holds the executable.
  static QString RecordFolderFor(const QString& executablePath);
};
