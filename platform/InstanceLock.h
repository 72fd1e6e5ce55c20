#pragma once
// The one-instance-per-user guard: a kernel lock (flock) on a file in a folder
// only the user can write. The kernel drops the lock when its holder ends,
// however it ends, so a lock left by a crash is always taken over and the
// file's content means nothing. The file is opened without following a link
// and without blocking, and only a regular file is locked: a FIFO, a folder, a
// device or a link there is refused with a reason the operator can act on.

#include <QString>

class InstanceLock {
 public:
  enum class Outcome { Locked, HeldByAnother, Refused };

  // The lock file in folder, or, with no folder given, in a folder of this
  // user's own ("ardeviz-<uid>") in the shared temporary folder.
  static QString PathIn(const QString& folder, const QString& name);

  explicit InstanceLock(QString path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Never blocks. Refused: Problem() says why.
  Outcome TryLock();
  // Keeps the file: removing it could let a starting instance lock a name
  // another one has already replaced.
  void Unlock();
  bool IsLocked() const { return m_fd >= 0; }
  const QString& Problem() const { return m_problem; }

 private:
  Outcome Refuse(const QString& problem);

  QString m_path;
  QString m_problem;
  int m_fd = -1;
};
