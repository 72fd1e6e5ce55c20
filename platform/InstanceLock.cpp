#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kLockFileMode = 0600;

QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// What stands at path, for a message; empty for a regular file.
QString OddKind(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISLNK(st.st_mode)) return QStringLiteral("a link");
  if (S_ISDIR(st.st_mode)) return QStringLiteral("a folder");
  if (S_ISFIFO(st.st_mode)) return QStringLiteral("a FIFO");
  if (S_ISSOCK(st.st_mode)) return QStringLiteral("a socket");
  return QStringLiteral("a device");
}

}  // namespace

QString InstanceLock::PathIn(const QString& folder, const QString& name) {
  if (!folder.isEmpty()) return QDir(folder).filePath(name);
  return QDir(QDir(QDir::tempPath()).filePath(QStringLiteral("ardeviz-%1").arg(::getuid()))).filePath(name);
}

InstanceLock::InstanceLock(QString path) : m_path(std::move(path)) {}

InstanceLock::~InstanceLock() { Unlock(); }

InstanceLock::Outcome InstanceLock::Refuse(const QString& problem) {
  m_problem = QStringLiteral("Cannot use the instance lock %1: %2.").arg(m_path, problem);
  return Outcome::Refused;
}

InstanceLock::Outcome InstanceLock::TryLock() {
  if (IsLocked()) return Outcome::Locked;
  m_problem.clear();
  // A folder another user can write lets that user swap the lock for a FIFO
  // or a link: it must be this user's alone. A missing one is made so.
  const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
  if (::mkdir(folder.constData(), kPrivateFolderMode) != 0 && errno != EEXIST)
    return Refuse(QStringLiteral("its folder cannot be made (%1)").arg(ErrorText(errno)));
  struct stat st {};
  if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
      (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return Refuse(
        QStringLiteral("its folder is not a folder that only this user can write; remove it and start again"));

  const QByteArray file = QFile::encodeName(m_path);
  const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kLockFileMode);
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      m_fd = fd;
      return Outcome::Locked;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return Outcome::HeldByAnother;
    return Refuse(ErrorText(error));
  }
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (::lstat(file.constData(), &st) == 0 && !OddKind(st).isEmpty())
    return Refuse(QStringLiteral("it is %1, not a plain file; remove it and start again").arg(OddKind(st)));
  return Refuse(ErrorText(error));
}

void InstanceLock::Unlock() {
  if (m_fd < 0) return;
  ::close(m_fd);  // drops the kernel lock
  m_fd = -1;
}
