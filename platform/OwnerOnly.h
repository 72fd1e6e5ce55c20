#pragma once
// Files and folders only their owner may read: the settings file that may
// hold the recorder password (0600) and our per-user folders (0700).

#include <QString>

class OwnerOnly {
 public:
  // Makes the folder, with any missing parents, and gives it mode 0700.
  static bool MakeFolder(const QString& path);
  // Gives the file mode 0600, creating it empty first when it is missing, so
  // that what is later written into it is never readable by others.
  static bool RestrictFile(const QString& path);
};
