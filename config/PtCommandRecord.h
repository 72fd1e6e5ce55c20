#pragma once
// One pan/tilt camera command: a name for display and the bytes to send.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

struct PtCommandRecord {
  static constexpr std::size_t kNameSize = 64;  // NUL-terminated, so 63 characters
  static constexpr std::size_t kMaxNameLength = kNameSize - 1;
  static constexpr std::size_t kDataSize = 32;

  std::array<char, kNameSize> name{};
  std::int32_t length = 0;  // valid bytes in data, 0 to kDataSize; 0 marks an empty record
  std::array<std::uint8_t, kDataSize> data{};

  void Clear() { *this = PtCommandRecord{}; }

  std::string_view Name() const { return std::string_view(name.data(), ::strnlen(name.data(), kNameSize)); }

  // Keeps at most kMaxNameLength characters, so the terminator always fits.
  void SetName(std::string_view text) {
    name.fill('\0');
    const std::size_t n = text.size() < kMaxNameLength ? text.size() : kMaxNameLength;
    std::memcpy(name.data(), text.data(), n);
  }

  // Bytes to send; empty for a record whose length is below 1.
  std::size_t SendLength() const {
    if (length < 1) return 0;
    return static_cast<std::size_t>(length) < kDataSize ? static_cast<std::size_t>(length) : kDataSize;
  }
};
