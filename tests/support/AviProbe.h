#pragma once
// What ffprobe reads of an AVI file's first video stream: its fields
// (codec_name, nb_read_frames, duration, the last packet's pts ...) with
// "exit" and "errors" of the run, and the MD5 of each packet in the order
// read; empty when ffprobe is not installed. `odml` false makes it read
// through the legacy idx1 index.

#include <QMap>
#include <QString>
#include <QStringList>

namespace avitest {

struct Probed {
  QMap<QString, QString> stream;
  QStringList packetHashes;  // "MD5:<hex>"
};

Probed Probe(const QString& path, bool odml = true);

}  // namespace avitest
