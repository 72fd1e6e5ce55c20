#pragma once
// Reader and writer of private-profile (".ini") files with the behaviour of
// the Windows profile functions:
//  - section and key names match case-insensitively (ASCII) and are trimmed;
//  - the first matching section, and the first matching key in it, wins;
//  - values are trimmed, and one pair of enclosing '"' or '\'' is dropped;
//  - writing keeps every other line of the file byte for byte (comments,
//    blank lines, unknown lines, their own line endings), replaces the value
//    of an existing key in place, appends a new key after the last non-blank
//    line of its section and a new section at the end of the file.
// Line endings: new lines take the ending of the file's first line; a new
// file gets CR LF, the form the Windows functions write, so the files are the
// same on every platform. Both CR LF and LF are read.
// Any bytes are accepted; names and values that could not be read back as
// written (line breaks, '=' or a leading '[' or ';' in a key, ']' in a section
// name) are refused instead of written.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class PrivateProfile {
 public:
  static constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

  PrivateProfile() = default;
  // Parses the text of a profile file.
  explicit PrivateProfile(std::string_view text);

  // Reads a file; nullopt when it cannot be opened or is not a regular file
  // of at most LocalFile::kProfileBound bytes.
  static std::optional<PrivateProfile> Load(const std::string& path);
  // Writes the whole text through a temporary file beside it, so a failed
  // write never leaves a half file. Fails when the folder does not exist or
  // the text is past LocalFile::kProfileBound, which Load would refuse.
  bool Save(const std::string& path) const;
  std::string Text() const;

  // The value of key in section, trimmed and unquoted; nullopt when missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Like GetPrivateProfileString: the value or the default, cut to maxChars.
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                        std::size_t maxChars = kUnlimited) const;
  // Like GetPrivateProfileInt: a missing or empty value gives the default;
  // otherwise leading blanks, an optional sign and the decimal digits up to
  // the first other character (none: 0), held to the range of int.
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

  // Sets key = value in section, adding either as needed; false when refused.
  bool SetString(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key's line; false when it was not there.
  bool RemoveKey(std::string_view section, std::string_view key);
  // Removes the section's header and all lines up to the next section.
  bool RemoveSection(std::string_view section);

  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  // One-call file forms, as the Windows functions are used: a missing file
  // reads as empty; writing creates the file (not its folder).
  static std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t maxChars = kUnlimited);
  static int ReadInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue);
  static bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value);
  static bool DeleteKey(const std::string& path, std::string_view section, std::string_view key);
  static bool DeleteSection(const std::string& path, std::string_view section);

  // Decimal integer rule shared with GetInt (exposed for other readers).
  static int ParseInt(std::string_view text);

 private:
  struct Line {
    std::string text;  // without the line ending
    std::string eol;   // "\r\n", "\n" or "" for a last line without one
  };
  struct Range {
    std::size_t header;  // index of the header line
    std::size_t end;     // one past the last line of the section
  };

  // Rebuilds the section index after the lines changed: one pass.
  void Reindex();
  std::optional<Range> FindSection(std::string_view name) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;
  std::string PreferredEol() const;

  std::vector<Line> m_lines;
  // Lower-case section name -> line of its first header, so that looking up
  // each of n sections costs O(n) in all, not O(n^2).
  std::unordered_map<std::string, std::size_t> m_firstHeader;
};
