#pragma once
// The options of the viewer program, read from its command line before any
// window system is touched, so that --help and --version work without a display.

#include <QString>
#include <QStringList>

struct ViewerCommandLine {
  bool demo = false;
  bool help = false;
  bool version = false;
  QString screenshot;  // empty: none
  QString error;       // empty when the command line was understood

  // arguments[0] is the program name. Qt's own options (-platform, -display,
  // -style, ...) are accepted and left for QApplication.
  static ViewerCommandLine Parse(const QStringList& arguments);
  static QString HelpText();
};
