#include "config/PtCommandTable.h"

void PtCommandTable::Clear() {
  for (auto& bank : m_banks) {
    for (PtCommandRecord& record : bank) record.Clear();
  }
}

PtCommandRecord* PtCommandTable::Find(int bank, int index) {
  if (bank < 0 || bank >= kBanks || index < 0 || index >= kRecordsPerBank) return nullptr;
  return &m_banks[static_cast<std::size_t>(bank)][static_cast<std::size_t>(index)];
}

const PtCommandRecord* PtCommandTable::Find(int bank, int index) const {
  return const_cast<PtCommandTable*>(this)->Find(bank, index);
}

void PtCommandTable::SetFillCounter(int counter) {
  if (counter < 0) counter = 0;
  if (counter > kRecordsPerBank) counter = kRecordsPerBank;
  m_nFillCounter = counter;
}
