#include "viewer/WorkingFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

#include "platform/Alerts.h"

#include "platform/OwnerOnly.h"

QString WorkingFolder::ShippedFilesOf(const QString& applicationDir) {
  const QFileInfo shipped(QDir(applicationDir).filePath(QString::fromLatin1(kShippedRelative)));
  return shipped.isDir() ? shipped.canonicalFilePath() : QString();
}

bool WorkingFolder::Seed(const QString& shipped, const QString& folder) {
  const QDir source(shipped), target(folder);
  if (!OwnerOnly::MakeFolder(folder)) return false;  // it holds the operator's files: theirs alone
  bool ok = true;
  QDirIterator it(shipped, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString from = it.next();
    const QString to = target.filePath(source.relativeFilePath(from));
    if (QFileInfo::exists(to)) continue;
    if (!QDir().mkpath(QFileInfo(to).path()) || !QFile::copy(from, to)) {
      ok = false;
      continue;
    }
    // Installed files are read-only; the operator's copies are theirs to edit.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
  }
  return ok;
}

QString WorkingFolder::PerUserFolder() {
  if (QDir::isRelativePath(qEnvironmentVariable("XDG_DATA_HOME"))) qunsetenv("XDG_DATA_HOME");
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  return folder.isEmpty() ? folder : QFileInfo(folder).absoluteFilePath();
}

QString WorkingFolder::Enter(const QString& shipped, const QString& folder, bool& entered) {
  std::error_code ec;
  if (!folder.isEmpty()) std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), ec);
  entered = !folder.isEmpty() && !ec && QDir::setCurrent(folder);
  if (!entered) {
    const QString reason = ec ? QString::fromLocal8Bit(ec.message()) : QStringLiteral("it cannot be entered");
    return QStringLiteral("Cannot make the working folder %1: %2. Set XDG_DATA_HOME to a folder of your own and "
                          "start again.")
        .arg(folder, reason);
  }
  if (!Seed(shipped, folder))
    return QStringLiteral("Some files of %1 could not be copied into the working folder %2.").arg(shipped, folder);
  return {};
}

std::optional<QString> WorkingFolder::EnterForThisProgram(const QString& applicationDir) {
  const QString shipped = ShippedFilesOf(applicationDir);
  if (shipped.isEmpty()) return QString();
  const QString folder = PerUserFolder();
  bool entered = false;
  const QString problem = Enter(shipped, folder, entered);
  if (!problem.isEmpty())
    Alerts::ShowMessage(nullptr, problem, QString::fromLatin1(kErrorCaption),
                        entered ? Alerts::Icon::Warning : Alerts::Icon::Error);
  if (!entered) return std::nullopt;
  return folder;
}
