#include "config/ConnectionHistory.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include "platform/LocalFile.h"
#include "platform/PrivateProfile.h"

namespace {

std::string Local(const QString& text) { return text.toStdString(); }
QString FromLocal(const std::string& text) { return QString::fromStdString(text); }

std::optional<std::string> ReadWholeFile(const char* path) { return LocalFile::Read(path, LocalFile::kProfileBound); }

// A folder named "ini", not just any name beginning with it.
void EnsureHistoryFolder() {
  const QFileInfo info(QString::fromLatin1(kHistoryFolder));
  if (!info.isDir()) QDir().mkdir(QString::fromLatin1(kHistoryFolder));
}

}  // namespace

std::vector<std::string> SplitHistoryPieces(const std::string& text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && end - start < kHistoryPieceChars) {
      if (text[end++] == '\n') break;
    }
    pieces.emplace_back(text, start, end - start);
    start = end;
  }
  return pieces;
}

bool AddConnectionHistory(const QString& label, const QString& ip, const QString& port) {
  const std::string section = Local(label);
  auto profile = PrivateProfile::Load(kHistoryFile);
  const std::string storedIp = profile ? profile->GetString(section, kHistoryIpKey, "", kHistoryValueChars) : "";
  if (storedIp.find(section) != std::string::npos) return true;
  // An existing file that cannot be read is never replaced.
  std::error_code ec;
  if (!profile && std::filesystem::exists(kHistoryFile, ec)) return false;
  if (!profile) profile.emplace();
  EnsureHistoryFolder();
  // Both keys in one write: an entry is never left without its port.
  return profile->SetString(section, kHistoryIpKey, Local(ip)) &&
         profile->SetString(section, kHistoryPortKey, Local(port)) && profile->Save(kHistoryFile);
}

void RemoveConnectionHistory(const QString& label) {
  const auto text = ReadWholeFile(kHistoryFile);
  if (!text) return;
  const std::string header = "[" + Local(label) + "]";
  // The kept text grows as needed: a long history is never cut short.
  std::string kept;
  kept.reserve(text->size());
  int skip = 0;
  for (const std::string& piece : SplitHistoryPieces(*text)) {
    if (skip > 0) {
      --skip;
      continue;
    }
    if (piece.find(header) != std::string::npos) {
      skip = 2;
      continue;
    }
    kept += piece;
  }
  // A crash or a full disk while writing leaves the old history whole.
  LocalFile::Replace(kHistoryFile, kept);
}

std::optional<std::vector<HistoryEntry>> ReadConnectionHistory() {
  const auto text = ReadWholeFile(kHistoryFile);
  if (!text) return std::nullopt;
  const auto profile = PrivateProfile(*text);
  std::vector<HistoryEntry> entries;
  for (const std::string& piece : SplitHistoryPieces(*text)) {
    const std::size_t open = piece.find('[');
    if (open == std::string::npos) continue;
    const std::size_t close = piece.find(']', open + 1);
    if (close == std::string::npos) continue;
    const std::string label = piece.substr(open + 1, close - open - 1);
    entries.push_back({FromLocal(label),
                       FromLocal(profile.GetString(label, kHistoryIpKey, "", kHistoryValueChars)),
                       FromLocal(profile.GetString(label, kHistoryPortKey, "", kHistoryValueChars))});
  }
  return entries;
}

HistoryEntry CreateDefaultConnectionHistory() {
  EnsureHistoryFolder();
  // Creates the file without cutting one that exists but was unreadable, and
  // without opening anything there that is not a plain file.
  LocalFile::EnsureRegularFile(kHistoryFile);
  const HistoryEntry entry{QString::fromLatin1(kDefaultHistoryLabel), QString::fromLatin1(kDefaultHistoryAddress),
                           QString::fromLatin1(kDefaultHistoryPort)};
  AddConnectionHistory(entry.label, entry.ip, entry.port);
  return entry;
}
