#include "platform/OwnerOnly.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool OwnerOnly::MakeFolder(const QString& path) {
  if (!QDir().mkpath(path)) return false;
  return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

bool OwnerOnly::RestrictFile(const QString& path) {
#ifdef Q_OS_UNIX
  // Never through a link: the mode is meant for our own file.
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK,
                        S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  struct stat info {};
  const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
  ::close(fd);
  return ok;
#else
  return QFile(path).open(QIODevice::Append);
#endif
}
