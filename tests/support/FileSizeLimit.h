#pragma once
// A full disk for file writes, as root too: while a FileSizeLimit lives, any
// write of this process past `bytes` into a file fails (RLIMIT_FSIZE, with
// the signal it raises ignored). Creating, renaming and removing files still
// work, as on a full disk.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
    rlimit limit = m_old;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool IsSet() const { return m_ok; }

 private:
  rlimit m_old{};
  void (*m_oldHandler)(int) = nullptr;
  bool m_ok = false;
};
