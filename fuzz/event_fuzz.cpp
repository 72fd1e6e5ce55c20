// Arbitrary bytes as the recorder's event list: parsed into records, and each
// record's texts and packed time made as the Event dialog makes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "viewer/EventRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto records = ParseEventRecords(std::span<const std::uint8_t>(data, size));
  if (records.size() > size / kEventRecordSize) std::abort();
  for (const EventRecord& r : records) {
    if (!r.IsValid()) std::abort();
    // The packed time keeps six bits of the year offset (years past 2059 wrap), the rest exactly.
    const EventTimeFields t = UnpackTimeCost(r.TimeCost());
    if ((t.year - kEventYearBase) != (r.Year() - kEventYearBase) % 64 || t.month != r.month || t.day != r.day ||
        t.hour != r.hour || t.minute != r.minute || t.second != r.second) {
      std::abort();
    }
    (void)r.ChannelText().size();
    (void)r.AlarmTypeText().size();
    (void)r.DateTimeText().size();
  }
  return 0;
}
