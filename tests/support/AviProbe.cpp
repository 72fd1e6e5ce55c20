#include <QProcess>
#include <QStandardPaths>

#include "support/AviProbe.h"

namespace avitest {

Probed Probe(const QString& path, bool odml) {
  Probed out;
  const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
  if (ffprobe.isEmpty()) return out;
  QProcess p;
  p.start(ffprobe, {"-v", "error", "-use_odml", odml ? "1" : "0", "-count_frames",
                    "-select_streams", "v:0", "-show_data_hash", "MD5", "-show_entries",
                    "packet=pts,data_hash:stream=codec_name,width,height,pix_fmt,nb_read_frames:"
                    "format=duration",
                    "-of", "default=noprint_wrappers=1", path});
  const bool finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
  out.stream["exit"] = QString::number(finished ? p.exitCode() : -1);
  out.stream["errors"] = QString::fromUtf8(p.readAllStandardError());
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
    const qsizetype eq = line.indexOf('=');
    if (line.startsWith("data_hash=")) out.packetHashes << line.mid(eq + 1).trimmed();
    else if (eq > 0) out.stream[line.left(eq)] = line.mid(eq + 1).trimmed();
  }
  return out;
}

}  // namespace avitest
