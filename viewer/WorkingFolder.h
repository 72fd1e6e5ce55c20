#pragma once
// The folder the viewer works in. The program reads and writes "ini/", "PTZ/"
// and "AlarmEvent.am" relative to its working folder. Started from an
// installed tree (<prefix>/bin beside <prefix>/share/ardeviz) it works in a
// folder of its own per user, which it fills with the shipped files it lacks;
// started anywhere else (the build folder) it stays where it was started.

#include <QString>

struct WorkingFolder {
  // The shipped files of an installed program, relative to its executable's folder.
  static constexpr const char* kShippedRelative = "../share/ardeviz";

  // The shipped-files folder of a program whose executable lies in
  // applicationDir; empty when the program is not installed.
  static QString ShippedFilesOf(const QString& applicationDir);
  // Copies every file under shipped that folder lacks, keeping the sub-folders;
  // never overwrites a file. False when a folder or file could not be made.
  static bool Seed(const QString& shipped, const QString& folder);
  // For an installed program: makes and seeds the per-user folder
  // (QStandardPaths::AppLocalDataLocation) and enters it, returning it.
  // Otherwise, or when that fails, stays and returns an empty string.
  static QString EnterForThisProgram();
};
