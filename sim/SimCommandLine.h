#pragma once
// The options of the dvr-sim program, read from its command line.

#include <QString>
#include <QStringList>

#include "sim/SimOptions.h"

struct SimCommandLine {
  SimOptions options;
  bool quiet = false;
  bool help = false;
  bool version = false;
  QString error;  // empty when the command line was understood

  // arguments[0] is the program name.
  static SimCommandLine Parse(const QStringList& arguments);
  static QString HelpText();
};
