#include "viewer/ViewerSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "link/DefaultCredentials.h"
#include "viewer/ViewerSettings.h"

namespace {
// A text keeps at most width - 1 characters, as its fixed-size field would.
QString ReadText(const QSettings& s, const char* name, const QString& fallback, int width) {
  return s.value(QLatin1String(name), fallback).toString().left(width - 1);
}

std::uint32_t ReadNumber(const QSettings& s, const char* name, std::uint32_t fallback) {
  bool ok = false;
  const qlonglong v = s.value(QLatin1String(name), qlonglong(fallback)).toLongLong(&ok);
  return ok ? static_cast<std::uint32_t>(v) : fallback;
}

// 8-bit fields take the low 8 bits of the stored number.
std::uint8_t ReadByte(const QSettings& s, const char* name, std::uint8_t fallback) {
  return static_cast<std::uint8_t>(ReadNumber(s, name, fallback) & 0xFFu);
}
}  // namespace

QString ViewerSettingsStore::RecordFolderFor(const QString& executablePath) {
  return QFileInfo(executablePath).absolutePath() + QLatin1Char('/') +
         QLatin1String(ViewerSettings::kRecordFolderName);
}

void ViewerSettingsStore::Load(ViewerSettings& settings, const QString& ptzFilePath,
                               const QString& executablePath) {
  QSettings s{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
  s.beginGroup(QLatin1String(kGroup));
  const QString recordFolder = RecordFolderFor(executablePath);

  settings.userId = ReadText(s, kUserId, QLatin1String(kDefaultUserId), ViewerSettings::kUserIdWidth);
  settings.password = ReadText(s, kPassword, QLatin1String(kDefaultPassword), ViewerSettings::kPasswordWidth);
  settings.hostAddress = ReadText(s, kHostAddress, QLatin1String(ViewerSettings::kDefaultHostAddress),
                                  ViewerSettings::kHostAddressWidth);

  settings.recordFolder = recordFolder.left(ViewerSettings::kPathWidth - 1);
  QDir().mkpath(settings.recordFolder);  // an existing folder or a failure is fine

  settings.hostPort = ReadNumber(s, kHostPort, ViewerSettings::kDefaultHostPort);
  settings.rotateInterval = ReadByte(s, kRotateInterval, 3);
  settings.reconnectCount = ReadByte(s, kReconnectCount, 3);
  settings.requestSpeed = ReadByte(s, kRequestSpeed, 4);
  settings.useFullScreen = ReadNumber(s, kUseFullScreen, 0);
  settings.useAlertMode = ReadNumber(s, kUseAlertMode, 0);
  settings.ptzType = ReadByte(s, kPtzType, 1);
  settings.recordInterval = ReadByte(s, kRecordInterval, 1);
  settings.dateShow = ReadByte(s, kDateShow, 1);

  settings.ptzFilePath = ptzFilePath.left(ViewerSettings::kPathWidth - 1);
  settings.ipLabel = ReadText(s, kIpLabel, QLatin1String(ViewerSettings::kDefaultIpLabel),
                              ViewerSettings::kIpLabelWidth);
}

void ViewerSettingsStore::Save(const ViewerSettings& settings, const QString& ptzFilePath) {
  QSettings s{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
  s.beginGroup(QLatin1String(kGroup));
  s.setValue(QLatin1String(kUserId), settings.userId.left(ViewerSettings::kUserIdWidth - 1));
  s.setValue(QLatin1String(kPassword), settings.password.left(ViewerSettings::kPasswordWidth - 1));
  s.setValue(QLatin1String(kRecordPath), settings.recordFolder.left(ViewerSettings::kPathWidth - 1));
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
  s.setValue(QLatin1String(kPtzFilePath), ptzFilePath.left(ViewerSettings::kPathWidth - 1));
  s.setValue(QLatin1String(kIpLabel), settings.ipLabel.left(ViewerSettings::kIpLabelWidth - 1));
  s.sync();  // write failures are ignored
}
