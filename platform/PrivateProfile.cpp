#include "platform/PrivateProfile.h"

#include <climits>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "platform/LocalFile.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// "[name]" with optional blanks around; the name is what stands before the first ']'.
std::optional<std::string_view> HeaderName(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

// "key=value"; comment lines (';') and header-like lines are no keys.
std::optional<KeyValue> KeyLine(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyValue{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

bool IsBlankLine(std::string_view text) { return Trim(text).empty(); }

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = Lower(c);
  return folded;
}

}  // namespace

PrivateProfile::PrivateProfile(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      m_lines.push_back({std::string(text.substr(pos)), ""});
      break;
    }
    std::size_t end = nl;
    std::string eol = "\n";
    if (end > pos && text[end - 1] == '\r') {
      --end;
      eol = "\r\n";
    }
    m_lines.push_back({std::string(text.substr(pos, end - pos)), std::move(eol)});
    pos = nl + 1;
  }
  Reindex();
}

void PrivateProfile::Reindex() {
  m_firstHeader.clear();
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (const auto header = HeaderName(m_lines[i].text)) m_firstHeader.try_emplace(Folded(*header), i);
  }
}

std::optional<PrivateProfile> PrivateProfile::Load(const std::string& path) {
  const auto text = LocalFile::Read(path, LocalFile::kProfileBound);
  if (!text) return std::nullopt;
  return PrivateProfile(*text);
}

bool PrivateProfile::Save(const std::string& path) const {
  // A file past the read bound would read as missing from then on.
  const std::string text = Text();
  return text.size() <= LocalFile::kProfileBound && LocalFile::Replace(path, text);
}

std::string PrivateProfile::Text() const {
  std::string text;
  for (const Line& line : m_lines) {
    text += line.text;
    text += line.eol;
  }
  return text;
}

std::optional<PrivateProfile::Range> PrivateProfile::FindSection(std::string_view name) const {
  const auto found = m_firstHeader.find(Folded(Trim(name)));
  if (found == m_firstHeader.end()) return std::nullopt;
  const std::size_t header = found->second;
  std::size_t end = header + 1;
  while (end < m_lines.size() && !HeaderName(m_lines[end].text)) ++end;
  return Range{header, end};
}

std::optional<std::size_t> PrivateProfile::FindKey(const Range& range, std::string_view key) const {
  key = Trim(key);
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto kv = KeyLine(m_lines[i].text);
    if (kv && SameName(kv->key, key)) return i;
  }
  return std::nullopt;
}

std::string PrivateProfile::PreferredEol() const {
  for (const Line& line : m_lines) {
    if (!line.eol.empty()) return line.eol;
  }
  return "\r\n";
}

std::optional<std::string> PrivateProfile::Find(std::string_view section, std::string_view key) const {
  if (Trim(key).empty()) return std::nullopt;
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  return std::string(Unquote(KeyLine(m_lines[*index].text)->value));
}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                      std::size_t maxChars) const {
  std::string value = Find(section, key).value_or(std::string(defaultValue));
  if (value.size() > maxChars) value.resize(maxChars);
  return value;
}

int PrivateProfile::ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

int PrivateProfile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = Find(section, key);
  if (!value || value->empty()) return defaultValue;
  return ParseInt(*value);
}

bool PrivateProfile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || HasLineBreak(section) || section.find(']') != std::string_view::npos) return false;
  if (key.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == ';' ||
      key.front() == '[') {
    return false;
  }
  if (HasLineBreak(value)) return false;

  const std::string eol = PreferredEol();
  const auto range = FindSection(section);
  if (range) {
    if (const auto index = FindKey(*range, key)) {
      // Keep the key as the file spells it.
      const std::string existing(KeyLine(m_lines[*index].text)->key);
      m_lines[*index].text = existing + "=" + std::string(value);
      return true;
    }
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      if (!IsBlankLine(m_lines[i].text)) last = i;
    }
    if (m_lines[last].eol.empty()) m_lines[last].eol = eol;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                   Line{std::string(key) + "=" + std::string(value), eol});
    Reindex();
    return true;
  }
  if (!m_lines.empty() && m_lines.back().eol.empty()) m_lines.back().eol = eol;
  m_firstHeader.try_emplace(Folded(section), m_lines.size());
  m_lines.push_back({"[" + std::string(section) + "]", eol});
  m_lines.push_back({std::string(key) + "=" + std::string(value), eol});
  return true;
}

bool PrivateProfile::RemoveKey(std::string_view section, std::string_view key) {
  const auto range = FindSection(section);
  if (!range) return false;
  const auto index = FindKey(*range, key);
  if (!index) return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*index));
  Reindex();
  return true;
}

bool PrivateProfile::RemoveSection(std::string_view section) {
  const auto range = FindSection(section);
  if (!range) return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  Reindex();
  return true;
}

std::vector<std::string> PrivateProfile::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& line : m_lines) {
    if (const auto header = HeaderName(line.text)) {
      const auto first = m_firstHeader.find(Folded(*header));
      if (first != m_firstHeader.end() && &m_lines[first->second] == &line) names.emplace_back(*header);
    }
  }
  return names;
}

std::vector<std::string> PrivateProfile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const auto range = FindSection(section);
  if (!range) return names;
  std::unordered_set<std::string> seen;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const auto kv = KeyLine(m_lines[i].text);
    if (!kv || kv->key.empty()) continue;
    if (seen.insert(Folded(kv->key)).second) names.emplace_back(kv->key);
  }
  return names;
}

std::string PrivateProfile::ReadString(const std::string& path, std::string_view section, std::string_view key,
                                       std::string_view defaultValue, std::size_t maxChars) {
  return Load(path).value_or(PrivateProfile()).GetString(section, key, defaultValue, maxChars);
}

int PrivateProfile::ReadInt(const std::string& path, std::string_view section, std::string_view key,
                            int defaultValue) {
  return Load(path).value_or(PrivateProfile()).GetInt(section, key, defaultValue);
}

bool PrivateProfile::WriteString(const std::string& path, std::string_view section, std::string_view key,
                                 std::string_view value) {
  auto loaded = Load(path);
  std::error_code ec;
  // An existing file that cannot be read is never replaced.
  if (!loaded && std::filesystem::exists(path, ec)) return false;
  PrivateProfile profile = loaded.value_or(PrivateProfile());
  const std::string before = profile.Text();
  if (!profile.SetString(section, key, value)) return false;
  if (loaded && profile.Text() == before) return true;
  return profile.Save(path);
}

bool PrivateProfile::DeleteKey(const std::string& path, std::string_view section, std::string_view key) {
  auto profile = Load(path);
  if (!profile) return false;
  if (!profile->RemoveKey(section, key)) return true;  // nothing to delete is no failure
  return profile->Save(path);
}

bool PrivateProfile::DeleteSection(const std::string& path, std::string_view section) {
  auto profile = Load(path);
  if (!profile) return false;
  if (!profile->RemoveSection(section)) return true;
  return profile->Save(path);
}
