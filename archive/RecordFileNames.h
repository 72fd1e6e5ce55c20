#pragma once
// Names of the files that recording and snapshots write, and the segment
// length of each "Record Interval" setting.

#include <QString>
#include <cstdint>

#include "archive/ArchiveMoment.h"

namespace recordnames {

// "%04d-%02d-%02d %02d-%02d-%02d" of the image time.
QString SnapshotTimeText(const ArchiveMoment& t);

// <folder>/<SnapshotTimeText>.avi
QString AviFileName(const QString& folder, const ArchiveMoment& imageTime);

// <folder>/CAM<n>_<time>_<tick % 100000, 5 digits>.jpg with n = selected
// channel + 1, or 0 when all channels are shown; doubled separators collapse.
QString SnapshotFileName(const QString& folder, std::uint8_t selectedChannel, const ArchiveMoment& imageTime,
                         std::int64_t tickMs);

// Segment length in milliseconds of a "Record Interval" setting 0..12; 15000 for others.
int RecordIntervalMs(int setting);

}  // namespace recordnames
