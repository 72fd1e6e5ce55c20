#include "config/PtCommandFile.h"

#include <sstream>

#include "config/PtCommandTable.h"
#include "platform/LocalFile.h"
#include "platform/PrivateProfile.h"

namespace {

// One fgets() of a text-mode file: up to 255 characters or through the LF.
bool ReadPiece(std::istream& in, std::string& piece) {
  piece.clear();
  while (piece.size() < static_cast<std::size_t>(kPtLineBufferSize - 1)) {
    int c = in.get();
    if (c == std::char_traits<char>::eof()) break;
    if (c == '\r' && in.peek() == '\n') c = in.get();
    piece.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece.empty();
}

// What C string handling sees of a piece: the text up to a NUL byte.
std::string_view Visible(const std::string& piece) {
  std::string_view text(piece);
  return text.substr(0, text.find('\0'));
}

// Empty lines and lines of only CR and LF carry no record.
bool IsEmptyLine(std::string_view line) { return line.find_first_not_of("\r\n") == std::string_view::npos; }

// The first piece between '<' and '>' as a decimal number; 0 when there is none.
int HeaderNumber(std::string_view line) {
  const std::size_t start = line.find_first_not_of("<>");
  if (start == std::string_view::npos) return 0;
  const std::size_t end = line.find_first_of("<>", start);
  return PrivateProfile::ParseInt(line.substr(start, end == std::string_view::npos ? end : end - start));
}

// Hexadecimal by the file's digit rule, low 8 bits kept. Characters that are
// no hex digit still count, as (upper-cased code - 'A' + 10) or (code - '0').
std::uint8_t HexByte(std::string_view field) {
  unsigned value = 0;
  for (char ch : field) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    const unsigned digit = c <= '9' ? c - unsigned{'0'} : c - unsigned{'A'} + 10u;
    value = value * 16u + digit;  // unsigned wrap keeps the low bits right
  }
  return static_cast<std::uint8_t>(value & 0xFFu);
}

void StoreRecord(PtCommandTable& table, int bank, std::string_view line) {
  const int index = table.FillCounter();
  PtCommandRecord* record = table.Find(bank - 1, index);
  if (!record) return;  // the bank is full: the excess is ignored
  record->Clear();
  table.SetFillCounter(index + 1);

  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  std::size_t field = 0;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of('/', pos);
    if (start == std::string_view::npos) break;
    std::size_t end = line.find('/', start);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view text = line.substr(start, end - start);
    if (field == 0) {
      record->SetName(text);
    } else if (field == 1) {
      const int length = PrivateProfile::ParseInt(text);
      record->length = length < 0 ? 0 : (length > static_cast<int>(PtCommandRecord::kDataSize)
                                              ? static_cast<int>(PtCommandRecord::kDataSize)
                                              : length);
    } else if (field - 2 < PtCommandRecord::kDataSize) {
      record->data[field - 2] = HexByte(text);
    } else {
      break;
    }
    ++field;
    pos = end;
  }
}

}  // namespace

void LoadPtCommandStream(PtCommandTable& table, std::istream& in) {
  int bank = 0;  // no bank before the first header
  std::string piece;
  while (bank <= kPtMaxBank) {
    if (!ReadPiece(in, piece)) break;
    std::string_view line = Visible(piece);
    const int number = HeaderNumber(line);
    if (number > 0) {
      table.SetFillCounter(0);
      bank = number;
      if (!ReadPiece(in, piece)) break;  // a header at the end of the file takes nothing
      line = Visible(piece);
    }
    if (bank >= 1 && bank <= kPtMaxBank && !IsEmptyLine(line)) StoreRecord(table, bank, line);
  }
}

void LoadPtCommandText(PtCommandTable& table, std::string_view text) {
  std::istringstream in{std::string(text), std::ios::binary};
  LoadPtCommandStream(table, in);
}

PtLoadResult LoadPtCommandFile(PtCommandTable& table, const std::string& path) {
  if (path.empty()) return PtLoadResult::NoPath;
  // Only a regular file within the bound is read: a device or FIFO there
  // would otherwise stall start-up or never end.
  const auto text = LocalFile::Read(path, LocalFile::kCommandFileBound);
  if (!text) return PtLoadResult::CannotOpen;
  LoadPtCommandText(table, *text);
  return PtLoadResult::Loaded;
}
