#pragma once
// The program's own local files (profiles, pan/tilt command files, the event
// list, logos) are read only when they are regular files no larger than a
// bound given by the caller. A device, a FIFO, a folder or an oversized file
// reads as missing, so a hostile file can neither block start-up nor exhaust
// memory. Rewrites go through a temporary file beside the target and a rename,
// so a failed or interrupted write never leaves a half file.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class LocalFile {
 public:
  // Bounds of the files the program reads. A profile of 4 MiB holds tens of
  // thousands of history entries; a full command file is under 64 KiB.
  static constexpr std::size_t kProfileBound = 4u * 1024u * 1024u;
  static constexpr std::size_t kCommandFileBound = 1024u * 1024u;
  static constexpr std::size_t kLogoBound = 4u * 1024u * 1024u;

  // The whole content of a regular file of at most maxBytes; nullopt otherwise.
  static std::optional<std::string> Read(const std::string& path, std::size_t maxBytes);
  static std::optional<QByteArray> ReadBytes(const QString& path, std::size_t maxBytes);
  // A picture from a regular file of at most maxBytes; a null image otherwise.
  static QImage ReadImage(const QString& path, std::size_t maxBytes);

  // Something is at path that is not a regular file (a folder, device, FIFO).
  static bool IsOtherThanRegular(const std::string& path);
  // Creates an empty regular file when nothing is at path; true when a regular
  // file is there afterwards. Never opens anything that is not a regular file.
  static bool EnsureRegularFile(const std::string& path);

  // Writes text to "<path>.tmp" and renames it over path; false (and no
  // temporary left behind) when any step fails. Only a regular file or
  // nothing is replaced: a link, FIFO or folder at path is left alone and
  // refused, and the temporary is made new, never opened through a link.
  static bool Replace(const std::string& path, std::string_view text);
  static bool ReplaceBytes(const QString& path, QByteArrayView bytes);
};
