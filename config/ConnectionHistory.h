#pragma once
// The connection history: "ini/cnn.ini" under the current folder, one
// section per connection label with the keys "IP" and "PORT". Entries are
// written through the private-profile functions; listing and deleting read the
// file as text, in pieces of at most kHistoryPieceChars characters, the way the
// history dialog has always read it.

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kHistoryFolder = "ini";
inline constexpr const char* kHistoryFile = "ini/cnn.ini";
inline constexpr const char* kHistoryIpKey = "IP";
inline constexpr const char* kHistoryPortKey = "PORT";
// The entry written when the file is missing. Its address is one of the
// history's own, not the default of the stored settings.
inline constexpr const char* kDefaultHistoryLabel = "INTRANET";
inline constexpr const char* kDefaultHistoryAddress = "192.168.0.10";
inline constexpr const char* kDefaultHistoryPort = "8000";
// Text read per key is limited to this many characters.
inline constexpr std::size_t kHistoryValueChars = 127;
// Lines are read in pieces of at most this many characters.
inline constexpr std::size_t kHistoryPieceChars = 383;

struct HistoryEntry {
  QString label;
  QString ip;
  QString port;
  bool operator==(const HistoryEntry&) const = default;
};

// Writes IP and then PORT into the section of label, unless the IP stored
// there already contains the label text (an empty label never writes).
// Creates the "ini" folder when it is missing. False when the entry was not
// written: the file could not be read or written, or the entry would take it
// past the bound of what it reads (the file is then left as it was).
bool AddConnectionHistory(const QString& label, const QString& ip, const QString& port);

// Rewrites the file without the section of label: every piece that contains
// "[label]" is dropped with the two pieces after it (its IP and PORT lines);
// the rest is kept in order, whatever its size. The new text goes to a
// temporary file renamed over the old one. No file: nothing happens.
void RemoveConnectionHistory(const QString& label);

// The entries in file order: every piece with a '[' followed by a ']' names a
// section, listed with its IP and PORT (empty when missing), in one pass.
// nullopt when the file cannot be opened or is no regular file of at most
// LocalFile::kProfileBound bytes.
std::optional<std::vector<HistoryEntry>> ReadConnectionHistory();

// For a missing file: makes sure a folder "ini" exists, creates the file empty
// and adds the default entry. Returns the default entry.
HistoryEntry CreateDefaultConnectionHistory();

// The file's text split into pieces as it is read: each piece ends after a
// line feed or after kHistoryPieceChars characters, whichever comes first.
std::vector<std::string> SplitHistoryPieces(const std::string& text);
