#pragma once
// The pan/tilt command table: one bank of records per camera, and the fill
// counter, the index in the current bank where the next record line goes.

#include <array>

#include "config/PtCommandRecord.h"

// Record index within a bank = its role.
namespace ptrole {
constexpr int kStop = 0;
constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kUp = 3;
constexpr int kDown = 4;
constexpr int kLeftUp = 5;
constexpr int kRightUp = 6;
constexpr int kRightDown = 7;
constexpr int kLeftDown = 8;
constexpr int kZoomIn = 9;
constexpr int kZoomOut = 10;
constexpr int kFocusOut = 11;
constexpr int kFocusIn = 12;
constexpr int kCount = 13;  // records 13 and above have no role
}  // namespace ptrole

class PtCommandTable {
 public:
  static constexpr int kBanks = 8;
  static constexpr int kRecordsPerBank = 30;

  // All records back to zero; the fill counter is left alone.
  void Clear();

  // bank 0 to 7 (camera 1 to 8), index 0 to 29; nullptr outside.
  PtCommandRecord* Find(int bank, int index);
  const PtCommandRecord* Find(int bank, int index) const;

  int FillCounter() const { return m_nFillCounter; }
  void SetFillCounter(int counter);

 private:
  std::array<std::array<PtCommandRecord, kRecordsPerBank>, kBanks> m_banks{};
  int m_nFillCounter = 0;
};
