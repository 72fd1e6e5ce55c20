#include "viewer/ViewerSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "config/ViewerSettings.h"
#include "link/DefaultCredentials.h"
#include "platform/ISecretStore.h"
#include "platform/OwnerOnly.h"

namespace {
// A text keeps at most width - 1 characters, as its fixed-size field would.
QString ReadText(const QSettings& s, const char* name, const QString& fallback, int width) {
  return s.value(QLatin1String(name), fallback).toString().left(width - 1);
}

// A stored number outside 0..max (or no number at all) reads as the default:
// cutting it to its field would turn it into some other valid value.
std::uint32_t ReadNumber(const QSettings& s, const char* name, std::uint32_t fallback, std::uint32_t max) {
  bool ok = false;
  const qlonglong v = s.value(QLatin1String(name), qlonglong(fallback)).toLongLong(&ok);
  return ok && v >= 0 && v <= qlonglong(max) ? static_cast<std::uint32_t>(v) : fallback;
}

// A list choice: the position of an entry of a list of count entries.
std::uint8_t ReadChoice(const QSettings& s, const char* name, std::uint8_t fallback, std::uint32_t count) {
  return static_cast<std::uint8_t>(ReadNumber(s, name, fallback, count - 1));
}

// The settings file may hold the password: it and its folder are the owner's alone,
// made so before anything is written into them.
void RestrictToOwner(const QSettings& s) {
  OwnerOnly::MakeFolder(QFileInfo(s.fileName()).path());
  OwnerOnly::RestrictFile(s.fileName());
}

// A check box: 0 or 1.
std::uint32_t ReadFlag(const QSettings& s, const char* name, std::uint32_t fallback) {
  return ReadNumber(s, name, fallback, 1);
}
}  // namespace

QString ViewerSettingsStore::RecordFolderFor(const QString& executablePath) {
  return QFileInfo(executablePath).absolutePath() + QLatin1Char('/') +
         QLatin1String(ViewerSettings::kRecordFolderName);
}

void ViewerSettingsStore::Load(ViewerSettings& settings, const QString& ptzFilePath,
                               const QString& executablePath, ISecretStore* secrets) {
  QSettings s{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
  s.beginGroup(QLatin1String(kGroup));
  const QString recordFolder = RecordFolderFor(executablePath);

  settings.userId = ReadText(s, kUserId, QLatin1String(kDefaultUserId), ViewerSettings::kUserIdWidth);
  settings.password = ReadText(s, kPassword, QLatin1String(kDefaultPassword), ViewerSettings::kPasswordWidth);
  if (QFileInfo::exists(s.fileName())) RestrictToOwner(s);
  if (secrets && s.contains(QLatin1String(kPassword))) {
    // Kept in clear by an earlier version: into the store, then out of the file.
    if (secrets->Write(QLatin1String(kPassword), settings.password)) {
      s.remove(QLatin1String(kPassword));
      s.sync();
    }
  } else if (QString kept; secrets && secrets->Read(QLatin1String(kPassword), kept) == ISecretStore::ReadResult::Found) {
    settings.password = kept.left(ViewerSettings::kPasswordWidth - 1);
  }
  settings.hostAddress = ReadText(s, kHostAddress, QLatin1String(ViewerSettings::kDefaultHostAddress),
                                  ViewerSettings::kHostAddressWidth);

  settings.recordFolder = recordFolder;
  QDir().mkpath(settings.recordFolder);  // an existing folder or a failure is fine

  using VS = ViewerSettings;
  settings.hostPort = ReadNumber(s, kHostPort, VS::kDefaultHostPort, VS::kMaxHostPort);
  settings.rotateInterval = ReadChoice(s, kRotateInterval, VS::kDefaultRotateInterval, VS::kRotateIntervalChoices);
  settings.reconnectCount = ReadChoice(s, kReconnectCount, VS::kDefaultReconnectCount, VS::kReconnectCountChoices);
  settings.requestSpeed = ReadChoice(s, kRequestSpeed, VS::kDefaultRequestSpeed, VS::kRequestSpeedChoices);
  settings.useFullScreen = ReadFlag(s, kUseFullScreen, 0);
  settings.useAlertMode = ReadFlag(s, kUseAlertMode, 0);
  settings.ptzType = ReadChoice(s, kPtzType, VS::kDefaultPtzType, VS::kPtzTypeChoices);
  settings.recordInterval = ReadChoice(s, kRecordInterval, VS::kDefaultRecordInterval, VS::kRecordIntervalChoices);
  settings.dateShow = static_cast<std::uint8_t>(ReadFlag(s, kDateShow, VS::kDefaultDateShow));
  settings.recordFormat = ReadChoice(s, kRecordFormat, VS::kDefaultRecordFormat, VS::kRecordFormatChoices);

  settings.ptzFilePath = ptzFilePath;
  settings.ipLabel = ReadText(s, kIpLabel, QLatin1String(ViewerSettings::kDefaultIpLabel),
                              ViewerSettings::kIpLabelWidth);
}

void ViewerSettingsStore::Save(const ViewerSettings& settings, const QString& ptzFilePath, ISecretStore* secrets) {
  QSettings s{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
  s.beginGroup(QLatin1String(kGroup));
  RestrictToOwner(s);
  s.setValue(QLatin1String(kUserId), settings.userId.left(ViewerSettings::kUserIdWidth - 1));
  const QString password = settings.password.left(ViewerSettings::kPasswordWidth - 1);
  if (secrets && secrets->Write(QLatin1String(kPassword), password)) {
    s.remove(QLatin1String(kPassword));
  } else {
    s.setValue(QLatin1String(kPassword), password);
  }
  s.setValue(QLatin1String(kRecordPath), settings.recordFolder);
  s.setValue(QLatin1String(kHostAddress), settings.hostAddress.left(ViewerSettings::kHostAddressWidth - 1));
  s.setValue(QLatin1String(kHostPort), settings.hostPort);
  s.setValue(QLatin1String(kRotateInterval), quint32(settings.rotateInterval));
  s.setValue(QLatin1String(kReconnectCount), quint32(settings.reconnectCount));
  s.setValue(QLatin1String(kRequestSpeed), quint32(settings.requestSpeed));
  s.setValue(QLatin1String(kUseFullScreen), settings.useFullScreen);
  s.setValue(QLatin1String(kUseAlertMode), settings.useAlertMode);
  s.setValue(QLatin1String(kPtzType), quint32(settings.ptzType));
  s.setValue(QLatin1String(kRecordInterval), quint32(settings.recordInterval));
  s.setValue(QLatin1String(kDateShow), quint32(settings.dateShow));
  s.setValue(QLatin1String(kRecordFormat), quint32(settings.recordFormat));
  s.setValue(QLatin1String(kPtzFilePath), ptzFilePath);
  s.setValue(QLatin1String(kIpLabel), settings.ipLabel.left(ViewerSettings::kIpLabelWidth - 1));
  s.sync();  // write failures are ignored
}
