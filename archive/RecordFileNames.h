#pragma once
// Names of the files that recording and snapshots write, and the segment
// length of each "Record Interval" setting.

#include <QDateTime>
#include <QString>
#include <cstdint>

#include "archive/ArchiveMoment.h"

namespace recordnames {

// The image time when it is a real date and clock time with a four-digit
// year, otherwise `now`: a recorder's time words are not trusted to make a
// file name, and before the first picture the image time is all zeros.
ArchiveMoment NameTime(const ArchiveMoment& imageTime, const QDateTime& now);

// "%04d-%02d-%02d %02d-%02d-%02d" of the image time.
QString SnapshotTimeText(const ArchiveMoment& t);

// <folder>/<SnapshotTimeText>.avi (imageTime as NameTime gave it)
QString AviFileName(const QString& folder, const ArchiveMoment& imageTime);

// <folder>/CAM<n>_<time>_<tick % 100000, 5 digits>.jpg with n = selected
// channel + 1, or 0 when all channels are shown; doubled separators collapse.
QString SnapshotFileName(const QString& folder, std::uint8_t selectedChannel, const ArchiveMoment& imageTime,
                         std::int64_t tickMs);

// Segment length in milliseconds of a "Record Interval" setting 0..12; 15000 for others.
int RecordIntervalMs(int setting);

}  // namespace recordnames
