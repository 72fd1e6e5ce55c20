#pragma once
// Reader of the ".tl" pan/tilt command files into a PtCommandTable.
//
// A file is 8-bit text of up to eight sections. A line whose first piece,
// split at '<' and '>', reads as a decimal number n > 0 is a header: n of 1
// to 8 selects camera n's bank and restarts its fill counter, 9 or more ends
// the reading. The line after a header is never a header. Record lines are
// "name/length/hex/hex/.../" with empty fields collapsed. Lines are read as
// the C library reads text through a 256-character buffer: CR LF counts as
// LF, and a longer line arrives in pieces of 255 characters, each handled as
// a line of its own.
//
// The table's bounds always hold: lines before the first header, a 31st and
// later record of a bank and a 33rd and later data byte are ignored; names
// are cut to 63 characters and lengths held to 0..32.

#include <iosfwd>
#include <string>
#include <string_view>

class PtCommandTable;

enum class PtLoadResult {
  Loaded,      // the file was read (it may have held nothing usable)
  NoPath,      // empty path: nothing to load, nothing to report
  CannotOpen,  // the caller decides what to do about it
};

constexpr int kPtLineBufferSize = 256;  // one piece is at most 255 characters
constexpr int kPtMaxBank = 8;           // a header above this ends the reading

// Reads the file at path into the table; does not clear the table first.
// Anything but a regular file of at most LocalFile::kCommandFileBound bytes
// cannot be opened.
PtLoadResult LoadPtCommandFile(PtCommandTable& table, const std::string& path);
// The same rules over bytes already at hand (an open file, a buffer).
void LoadPtCommandStream(PtCommandTable& table, std::istream& in);
void LoadPtCommandText(PtCommandTable& table, std::string_view text);
