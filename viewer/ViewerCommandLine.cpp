#include "viewer/ViewerCommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "skin/SkinKeyMap.h"

namespace {

// Options QGuiApplication and QApplication read themselves.
const char* const kQtValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                       "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "display",
                                       "name", "style", "stylesheet", "session", "qmljsdebugger"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

QString ViewerCommandLine::HelpText() {
  return QStringLiteral(
      "Usage: ardeviz [options]\n"
      "The viewer of a networked video recorder: live pictures, archive playback,\n"
      "pan/tilt/zoom cameras. It reads \"ini/\", \"PTZ/\" and \"AlarmEvent.am\" in its\n"
      "working folder; an installed program works in a folder of its own per user.\n"
      "\n"
      "  --demo               run against the simulated recorder, started inside the\n"
      "                       viewer on 127.0.0.1 with a free port for this run only\n"
      "  --screenshot FILE    save a picture of the window a few seconds after start,\n"
      "                       then end; with --demo, connect first\n"
      "  --help               this text\n"
      "  --version            the program's version\n"
      "\n"
      "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n"
      "\n") + SkinKeyMap::HelpText();
}

ViewerCommandLine ViewerCommandLine::Parse(const QStringList& arguments) {
  ViewerCommandLine result;
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption demo("demo");
  const QCommandLineOption screenshot("screenshot", "", "file");
  const QCommandLineOption help(QStringList{"help", "h"});
  const QCommandLineOption version(QStringList{"version", "v"});
  parser.addOptions({demo, screenshot, help, version});
  for (const char* name : kQtValueOptions) parser.addOption(QCommandLineOption(QString::fromLatin1(name), "", "value"));
  for (const char* name : kQtFlagOptions) parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    return result;
  }
  if (!parser.positionalArguments().isEmpty()) {
    result.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    return result;
  }
  result.demo = parser.isSet(demo);
  result.help = parser.isSet(help);
  result.version = parser.isSet(version);
  result.screenshot = parser.value(screenshot);
  if (parser.isSet(screenshot) && result.screenshot.isEmpty())
    result.error = QStringLiteral("--screenshot: a file name.");
  return result;
}
