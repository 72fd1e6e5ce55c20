#include "platform/JpegFileWriter.h"

#include <QFile>
#include <QFileInfo>

#include "platform/JpegEncoder.h"
#include "platform/PendingFile.h"

QString JpegFileWriter::Write(const QString& fileName, const std::uint8_t* bgr, int width, int height, int pitch,
                              bool bottomUp, int quality) {
  JpegEncoder encoder;
  if (!encoder.Encode(bgr, width, height, pitch, bottomUp, quality)) return {};

  const QString temporary = PendingFile::CreateTemporary(QFileInfo(fileName).absolutePath());
  if (temporary.isEmpty()) return {};
  QFile file(temporary);
  const qint64 size = static_cast<qint64>(encoder.Size());
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(reinterpret_cast<const char*>(encoder.Data()), size) == size && file.flush();
  file.close();
  ok = ok && file.error() == QFileDevice::NoError;
  if (!ok) {
    QFile::remove(temporary);
    return {};
  }
  return PendingFile::Commit(temporary, fileName);
}
