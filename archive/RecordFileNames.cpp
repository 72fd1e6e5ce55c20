#include "archive/RecordFileNames.h"

#include <array>

namespace recordnames {

namespace {
constexpr std::uint8_t kAllChannels = 255;
constexpr std::int64_t kTickModulus = 100000;
constexpr std::array<int, 13> kIntervalMs = {3000,  5000,  10000, 15000, 20000, 25000, 30000,
                                             35000, 40000, 45000, 50000, 55000, 100000};
constexpr int kOtherIntervalMs = 15000;
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
}  // namespace

ArchiveMoment NameTime(const ArchiveMoment& imageTime, const QDateTime& now) {
  if (imageTime.IsValid() && imageTime.year >= kFirstYear && imageTime.year <= kLastYear) return imageTime;
  return ArchiveMoment::FromDateTime(now);
}

QString SnapshotTimeText(const ArchiveMoment& t) {
  return QString::asprintf("%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

QString AviFileName(const QString& folder, const ArchiveMoment& imageTime) {
  QString name = folder + '/' + SnapshotTimeText(imageTime) + ".avi";
  return name.replace("//", "/");
}

QString SnapshotFileName(const QString& folder, std::uint8_t selectedChannel, const ArchiveMoment& imageTime,
                         std::int64_t tickMs) {
  const int camera = selectedChannel == kAllChannels ? 0 : selectedChannel + 1;
  const int tick = static_cast<int>(((tickMs % kTickModulus) + kTickModulus) % kTickModulus);
  QString name = QString::asprintf("%s/CAM%d_%s_%05d.jpg", folder.toUtf8().constData(), camera,
                                   SnapshotTimeText(imageTime).toUtf8().constData(), tick);
  return name.replace("//", "/");
}

int RecordIntervalMs(int setting) {
  if (setting < 0 || setting >= static_cast<int>(kIntervalMs.size())) return kOtherIntervalMs;
  return kIntervalMs[static_cast<std::size_t>(setting)];
}

}  // namespace recordnames
