#include "platform/LocalFile.h"

#include <QFile>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <iterator>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

#if !defined(_WIN32)
class FdCloser {
 public:
  explicit FdCloser(int fd) : m_fd(fd) {}
  ~FdCloser() { ::close(m_fd); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int m_fd;
};

bool IsRegularWithin(const struct stat& st, std::size_t maxBytes) {
  return S_ISREG(st.st_mode) && st.st_size >= 0 && static_cast<std::size_t>(st.st_size) <= maxBytes;
}
#endif

// Creates path and writes text into it; false when anything was at path
// already (a link or FIFO put there is never opened) or a step failed.
bool WriteNewFile(const std::filesystem::path& path, std::string_view text) {
#if defined(_WIN32)
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = true;
  for (std::size_t done = 0; written && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0 && written;
#endif
}

}  // namespace

std::optional<std::string> LocalFile::Read(const std::string& path, std::size_t maxBytes) {
#if defined(_WIN32)
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || text.size() > maxBytes) return std::nullopt;
  return text;
#else
  // Look before opening (opening some devices has effects of its own), open
  // without blocking (a FIFO swapped in meanwhile cannot stall), then check
  // what was actually opened.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !IsRegularWithin(st, maxBytes)) return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const FdCloser closer(fd);
  if (::fstat(fd, &st) != 0 || !IsRegularWithin(st, maxBytes)) return std::nullopt;

  // The file may grow while it is read: never take more than the bound.
  std::string data(static_cast<std::size_t>(st.st_size) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == data.size()) data.resize(std::min(maxBytes + 1, data.size() * 2));
    const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    if (got > maxBytes) return std::nullopt;
  }
  data.resize(got);
  return data;
#endif
}

std::optional<QByteArray> LocalFile::ReadBytes(const QString& path, std::size_t maxBytes) {
  auto text = Read(NativePath(path), maxBytes);
  if (!text) return std::nullopt;
  return QByteArray(text->data(), static_cast<qsizetype>(text->size()));
}

QImage LocalFile::ReadImage(const QString& path, std::size_t maxBytes) {
  const auto bytes = ReadBytes(path, maxBytes);
  if (!bytes) return {};
  return QImage::fromData(*bytes);
}

bool LocalFile::IsOtherThanRegular(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

bool LocalFile::EnsureRegularFile(const std::string& path) {
#if defined(_WIN32)
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return std::filesystem::is_regular_file(path, ec);
  std::ofstream create(path, std::ios::binary | std::ios::app);
  return static_cast<bool>(create);
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return S_ISREG(st.st_mode);
  if (errno != ENOENT) return false;
  // O_EXCL: never opens whatever appeared at the path meanwhile.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool LocalFile::Replace(const std::string& path, std::string_view text) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += ".tmp";
  std::error_code ec;
  const auto present = fs::symlink_status(target, ec);
  if (fs::exists(present) && !fs::is_regular_file(present)) return false;
  // A stale temporary of an interrupted write is garbage; whatever it is, it
  // must not be opened (a FIFO there would block).
  fs::remove(temp, ec);
  if (!WriteNewFile(temp, text)) {
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool LocalFile::ReplaceBytes(const QString& path, QByteArrayView bytes) {
  return Replace(NativePath(path), std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
}
