#include "sim/SimCommandLine.h"

#include <QCommandLineParser>

namespace {

constexpr int kMaxPixels = 220000;  // the largest picture a client decodes
constexpr int kMinSide = 16;
constexpr int kMinYear = 1997;
constexpr int kMaxYear = 2095;

QDateTime ParseMoment(const QString& text) {
  QDateTime t = QDateTime::fromString(text, Qt::ISODate);
  if (!t.isValid()) t = QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss");
  if (!t.isValid()) {
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (d.isValid()) t = QDateTime(d, QTime(0, 0));
  }
  return t;
}

bool ParseSeconds(const QString& text, double& out) {
  bool ok = false;
  out = text.toDouble(&ok);
  return ok && out >= 0;
}

}  // namespace

QString SimCommandLine::HelpText() {
  return QStringLiteral(
      "Usage: dvr-sim [options]\n"
      "A simulated video recorder speaking the recorder's wire protocol on one TCP port.\n"
      "\n"
      "  --listen ADDRESS      address to listen on (default 127.0.0.1)\n"
      "  --port N              port (default 8000; 0 picks a free port, which is printed)\n"
      "  --user ID:PASSWORD    a user allowed to log in (repeatable; replaces the default\n"
      "                        user \"admin\" with the viewer's default password)\n"
      "  --magic 1.0|1.2|TEXT  protocol version: magic \"DVR PACKET\" + TEXT (default 1.2)\n"
      "  --channels 1|4|8|16   channel byte of the login reply (default 4; 1 and 8 paint\n"
      "                        no channel mark)\n"
      "  --fps N               live and playback pictures per second and channel (default 10)\n"
      "  --size WxH            picture size (default 704x288; 352x240 also common)\n"
      "  --quality Q           JPEG quality 1..100 (default 85)\n"
      "  --archive FROM,TO     archive range, e.g. 2024-05-01T00:00:00,2024-05-08T00:00:00\n"
      "                        (default: the last 7 days, the end following the clock)\n"
      "  --alerts              send channel status reports for channels 1 to 4\n"
      "  --alert-interval MS   time between status reports (default 3000)\n"
      "  --ptz-reply           answer camera-control bytes with a PTZ data reply\n"
      "  --invert-marks        paint channel marks in their inverted form\n"
      "Faults:\n"
      "  --silent-after S      send nothing more S seconds after a client connects\n"
      "  --drop-after S        close the connection in the middle of a picture after S seconds\n"
      "  --reject-login        reject every login\n"
      "  --garbage             stray bytes between packets\n"
      "  --split N             write every packet in pieces of N bytes\n"
      "  --coalesce            several packets per write\n"
      "  --oversize            after login, a header announcing a huge length\n"
      "  --wrong-mark          paint the channel mark of the next channel\n"
      "\n"
      "  --quiet               no log lines\n"
      "  --help                this text\n"
      "  --version             the program's version\n");
}

SimCommandLine SimCommandLine::Parse(const QStringList& arguments) {
  SimCommandLine result;
  SimOptions& o = result.options;
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption listen("listen", "", "address");
  const QCommandLineOption port("port", "", "n");
  const QCommandLineOption user("user", "", "id:password");
  const QCommandLineOption magic("magic", "", "version");
  const QCommandLineOption channels("channels", "", "n");
  const QCommandLineOption fps("fps", "", "n");
  const QCommandLineOption size("size", "", "wxh");
  const QCommandLineOption quality("quality", "", "q");
  const QCommandLineOption archive("archive", "", "from,to");
  const QCommandLineOption alerts("alerts");
  const QCommandLineOption alertInterval("alert-interval", "", "ms");
  const QCommandLineOption ptzReply("ptz-reply");
  const QCommandLineOption invertMarks("invert-marks");
  const QCommandLineOption silentAfter("silent-after", "", "s");
  const QCommandLineOption dropAfter("drop-after", "", "s");
  const QCommandLineOption rejectLogin("reject-login");
  const QCommandLineOption garbage("garbage");
  const QCommandLineOption split("split", "", "n");
  const QCommandLineOption coalesce("coalesce");
  const QCommandLineOption oversize("oversize");
  const QCommandLineOption wrongMark("wrong-mark");
  const QCommandLineOption quiet("quiet");
  const QCommandLineOption help(QStringList{"help", "h"});
  const QCommandLineOption version("version");
  parser.addOptions({listen, port, user, magic, channels, fps, size, quality, archive, alerts, alertInterval, ptzReply,
                     invertMarks, silentAfter, dropAfter, rejectLogin, garbage, split, coalesce, oversize, wrongMark,
                     quiet, help, version});
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    return result;
  }
  if (!parser.positionalArguments().isEmpty()) {
    result.error = QString("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    return result;
  }
  result.help = parser.isSet(help);
  result.version = parser.isSet(version);
  result.quiet = parser.isSet(quiet);
  auto fail = [&](const QString& text) {
    result.error = text;
    return result;
  };
  auto integer = [&](const QCommandLineOption& opt, int low, int high, int& out) {
    bool ok = false;
    const int v = parser.value(opt).toInt(&ok);
    if (!ok || v < low || v > high) return false;
    out = v;
    return true;
  };

  if (parser.isSet(listen)) {
    if (!o.listenAddress.setAddress(parser.value(listen)))
      return fail(QString("--listen: '%1' is not an address.").arg(parser.value(listen)));
  }
  if (parser.isSet(port)) {
    int v = 0;
    if (!integer(port, 0, 65535, v)) return fail("--port: a number from 0 to 65535.");
    o.port = static_cast<quint16>(v);
  }
  if (parser.isSet(user)) {
    o.users.clear();
    for (const QString& entry : parser.values(user)) {
      const qsizetype colon = entry.indexOf(':');
      if (colon <= 0) return fail(QString("--user: '%1' is not ID:PASSWORD.").arg(entry));
      o.users.push_back({entry.left(colon), entry.mid(colon + 1)});
    }
  }
  if (parser.isSet(magic)) {
    o.magicVersion = parser.value(magic);
    if (o.magicVersion.isEmpty() || o.magicVersion.size() > 5)
      return fail("--magic: a version text of 1 to 5 characters, such as 1.0 or 1.2.");
  }
  if (parser.isSet(channels)) {
    int v = 0;
    if (!integer(channels, 1, 16, v) || (v != 1 && v != 4 && v != 8 && v != 16))
      return fail("--channels: 1, 4, 8 or 16.");
    o.channelInfo = v;
  }
  if (parser.isSet(fps) && !integer(fps, 1, SimOptions::kMaxFps, o.fps))
    return fail(QString("--fps: a number from 1 to %1.").arg(SimOptions::kMaxFps));
  if (parser.isSet(size)) {
    const QStringList parts = parser.value(size).toLower().split('x');
    bool okW = false, okH = false;
    const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
    const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
    if (!okW || !okH || w < kMinSide || h < kMinSide || w * h > kMaxPixels)
      return fail(QString("--size: WIDTHxHEIGHT of at most %1 pixels, such as 704x288.").arg(kMaxPixels));
    o.pictureSize = QSize(w, h);
  }
  if (parser.isSet(quality) && !integer(quality, 1, 100, o.jpegQuality)) return fail("--quality: 1 to 100.");
  if (parser.isSet(archive)) {
    const QStringList parts = parser.value(archive).split(',');
    const QDateTime from = parts.size() == 2 ? ParseMoment(parts[0].trimmed()) : QDateTime();
    const QDateTime to = parts.size() == 2 ? ParseMoment(parts[1].trimmed()) : QDateTime();
    if (!from.isValid() || !to.isValid() || from >= to)
      return fail("--archive: FROM,TO as yyyy-MM-ddTHH:mm:ss, FROM before TO.");
    if (from.date().year() < kMinYear || to.date().year() > kMaxYear)
      return fail(QString("--archive: years from %1 to %2.").arg(kMinYear).arg(kMaxYear));
    o.archiveFrom = from;
    o.archiveTo = to;
  }
  o.alerts = parser.isSet(alerts);
  if (parser.isSet(alertInterval) && !integer(alertInterval, 10, 3600000, o.alertIntervalMs))
    return fail("--alert-interval: milliseconds from 10.");
  o.ptzReply = parser.isSet(ptzReply);
  o.invertMarks = parser.isSet(invertMarks);

  SimFaults& f = o.faults;
  if (parser.isSet(silentAfter) && !ParseSeconds(parser.value(silentAfter), f.silentAfterSeconds))
    return fail("--silent-after: seconds, 0 or more.");
  if (parser.isSet(dropAfter) && !ParseSeconds(parser.value(dropAfter), f.dropAfterSeconds))
    return fail("--drop-after: seconds, 0 or more.");
  f.rejectLogin = parser.isSet(rejectLogin);
  f.garbage = parser.isSet(garbage);
  if (parser.isSet(split) && !integer(split, 1, 65536, f.splitBytes)) return fail("--split: bytes, 1 or more.");
  f.coalesce = parser.isSet(coalesce);
  f.oversize = parser.isSet(oversize);
  f.wrongMark = parser.isSet(wrongMark);
  return result;
}
