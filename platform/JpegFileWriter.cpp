#include "platform/JpegFileWriter.h"

#include <turbojpeg.h>

#include <QFile>
#include <QFileInfo>
#include <memory>

#include "platform/PendingFile.h"

namespace {
struct TjHandleCloser {
  void operator()(void* h) const { tjDestroy(h); }
};
struct TjBufferFree {
  void operator()(unsigned char* p) const { tjFree(p); }
};
}  // namespace

QString JpegFileWriter::Write(const QString& fileName, const std::uint8_t* bgr, int width, int height, int pitch,
                              bool bottomUp, int quality) {
  if (!bgr || width <= 0 || height <= 0) return {};
  std::unique_ptr<void, TjHandleCloser> handle(tjInitCompress());
  if (!handle) return {};
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  const int flags = bottomUp ? TJFLAG_BOTTOMUP : 0;
  const int rc = tjCompress2(handle.get(), bgr, width, pitch, height, TJPF_BGR, &out, &outSize, TJSAMP_420,
                             quality, flags);
  std::unique_ptr<unsigned char, TjBufferFree> jpeg(out);
  if (rc != 0 || !jpeg) return {};

  const QString temporary = PendingFile::CreateTemporary(QFileInfo(fileName).absolutePath());
  if (temporary.isEmpty()) return {};
  QFile file(temporary);
  const qint64 size = static_cast<qint64>(outSize);
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(reinterpret_cast<const char*>(jpeg.get()), size) == size && file.flush();
  file.close();
  ok = ok && file.error() == QFileDevice::NoError;
  if (!ok) {
    QFile::remove(temporary);
    return {};
  }
  return PendingFile::Commit(temporary, fileName);
}
