#pragma once
// The folder the viewer works in. The program reads and writes "ini/", "PTZ/"
// and "AlarmEvent.am" relative to its working folder. Started from an
// installed tree (<prefix>/bin beside <prefix>/share/ardeviz) it works in a
// folder of its own per user, which it fills with the shipped files it lacks;
// started anywhere else (the build folder) it stays where it was started.

#include <QString>

#include <optional>

struct WorkingFolder {
  // The shipped files of an installed program, relative to its executable's folder.
  static constexpr const char* kShippedRelative = "../share/ardeviz";
  static constexpr const char* kErrorCaption = "ERROR";

  // The shipped-files folder of a program whose executable lies in
  // applicationDir; empty when the program is not installed.
  static QString ShippedFilesOf(const QString& applicationDir);
  // Copies every file under shipped that folder lacks, keeping the sub-folders;
  // never overwrites a file. False when a folder or file could not be made.
  static bool Seed(const QString& shipped, const QString& folder);
  // The per-user folder (QStandardPaths::AppLocalDataLocation), absolute. A
  // relative XDG_DATA_HOME is dropped from the environment first: the XDG
  // rules say to ignore it, and Qt would take it from the current folder.
  static QString PerUserFolder();
  // Makes and seeds folder and enters it. Empty when all went well, else what
  // went wrong, for the operator; entered tells whether the folder is current.
  static QString Enter(const QString& shipped, const QString& folder, bool& entered);
  // For a program installed in applicationDir: enters the per-user folder and
  // returns it; a program started elsewhere stays and gets an empty string.
  // nullopt: the folder could not be entered, a box said so, and the program
  // must end rather than write beside its installed executable.
  static std::optional<QString> EnterForThisProgram(const QString& applicationDir);
};
