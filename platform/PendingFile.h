#pragma once
// Files written under a temporary name beside their final one and named only
// once complete: a file that could not be finished never carries a final
// name, and an existing file is never replaced (the new one gets a number).

#include <QString>

class PendingFile {
 public:
  // Highest number tried after a taken name: "<name> (2).<ext>" .. "(9999)".
  static constexpr int kMaxNumber = 9999;

  // Creates an empty file with a fresh hidden name (".saving-<hex>.part") in
  // folder; empty when the folder cannot take a new file.
  static QString CreateTemporary(const QString& folder);
  // Gives the temporary file finalPath, or the first free numbered form of
  // it: a name taken in any form, a dangling link included, is passed over,
  // never replaced nor written through. Returns the name given; on failure
  // removes the temporary file and returns an empty string.
  static QString Commit(const QString& temporaryPath, const QString& finalPath);
  // "<folder>/<base> (n).<suffix>"
  static QString NumberedName(const QString& path, int n);
  // Removes the temporary files of writes that a crash cut short (regular
  // files named as CreateTemporary names them) from folder; the number removed.
  static int RemoveLeftovers(const QString& folder);
};
