// Arbitrary bytes as a pan/tilt command file, read twice into one table (as
// a reload does); the table's bounds must hold whatever the file says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/PtCommandFile.h"
#include "config/PtCommandTable.h"

namespace {

void Check(const PtCommandTable& table) {
  if (table.FillCounter() < 0 || table.FillCounter() > PtCommandTable::kRecordsPerBank) std::abort();
  for (int bank = 0; bank < PtCommandTable::kBanks; ++bank) {
    for (int index = 0; index < PtCommandTable::kRecordsPerBank; ++index) {
      const PtCommandRecord& r = *table.Find(bank, index);
      if (r.length < 0 || r.length > static_cast<int>(PtCommandRecord::kDataSize)) std::abort();
      if (r.name.back() != '\0') std::abort();
      if (r.SendLength() > PtCommandRecord::kDataSize) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PtCommandTable table;
  LoadPtCommandText(table, text);
  Check(table);
  table.SetFillCounter(0);
  LoadPtCommandText(table, text);
  Check(table);
  return 0;
}
