// The shipped viewer as a screen reader meets it: through the AT-SPI bridge,
// STATUS, DATE and TIME read as text, CONNECT pressed through its action, and
// each change of STATUS announced. What the bridge reads must be what the
// window shows. CTest runs this scenario under dbus-run-session: a session bus
// of its own, on which the viewer's bridge has the AT-SPI bus started.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>
#include <memory>

#include "link/CDvrLink.h"
#include "skin/StatusPanel.h"
#include "tests/acceptance/SimProcess.h"
#include "tests/acceptance/SkinReference.h"
#include "tests/acceptance/ViewerProcess.h"

namespace {
// The viewer joins the accessibility bus after its window shows.
constexpr int kOnTheBusMs = 20000;
// How long a press waits for the announcement it expects, and the bound on the whole press.
constexpr int kAnnouncedWithinSeconds = 8;
constexpr int kPressMs = 20000;
// The recorder's log of what the press led to.
constexpr int kLogMs = 5000;
constexpr int kRetryMs = 500;
// The reader's exit status while the viewer or a name is not on the bus yet.
constexpr int kNotThereYet = 2;

QString Text(int code) { return StatusPanel::StatusTextFor(code, 0, 0); }

struct Reading {
  int exitCode = -1;  // -1: did not finish in time, or did not run
  QString output;
};

// Runs atspi_reader.py with these arguments; ended after timeoutMs.
Reading Read(const QStringList& arguments, int timeoutMs) {
  QProcess reader;
  reader.setProcessChannelMode(QProcess::MergedChannels);
  reader.start(QStringLiteral("/usr/bin/python3"),
               QStringList{QString::fromLocal8Bit(qgetenv("ARDEVIZ_ATSPI_READER"))} + arguments);
  const bool finished = reader.waitForFinished(timeoutMs);
  if (!finished) {
    reader.kill();
    reader.waitForFinished(kRetryMs);
  }
  Reading result{-1, QString::fromUtf8(reader.readAll())};
  if (finished && reader.exitStatus() == QProcess::NormalExit) result.exitCode = reader.exitCode();
  return result;
}

QString Said(const Reading& result) {
  return QStringLiteral("reader exit %1, output:\n%2").arg(result.exitCode).arg(result.output);
}

// The lines "<kind> NAME: <text>" of a reader's output, in order.
QStringList Lines(const Reading& result, const QString& kind, const char* name) {
  QStringList texts;
  const QString prefix = QStringLiteral("%1 %2: ").arg(kind, QLatin1String(name));
  for (const QString& line : result.output.split(QLatin1Char('\n')))
    if (line.startsWith(prefix)) texts << line.mid(prefix.size());
  return texts;
}
}  // namespace

TEST(AcceptanceAccessibility, StatusReadAndConnectPressedThroughTheBridge) {
  const SkinReference skin;
  ASSERT_TRUE(skin.Problem().isEmpty()) << qPrintable(skin.Problem());
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "not run under dbus-run-session";
  auto sim = std::make_unique<SimProcess>(
      QStringList{QStringLiteral("--channels"), QStringLiteral("8"), QStringLiteral("--reject-login")});
  ASSERT_TRUE(sim->Start());
  const quint16 port = sim->Port();
  ViewerProcess viewer;
  // Qt turns its bridge on only when a screen reader is said to run; here one always does.
  QProcessEnvironment bridgeOn;
  bridgeOn.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  viewer.AddEnvironment(bridgeOn);
  ASSERT_TRUE(viewer.WriteSettings(port)) << qPrintable(viewer.Error());
  ASSERT_TRUE(viewer.Start()) << qPrintable(viewer.Error());

  // Offline at start; the date and time as the panel writes them.
  Reading first;
  QElapsedTimer onTheBus;
  onTheBus.start();
  while ((first = Read({QStringLiteral("read"), QStringLiteral("STATUS"), QStringLiteral("DATE"),
                        QStringLiteral("TIME")},
                       kOnTheBusMs))
                 .exitCode == kNotThereYet &&
         onTheBus.elapsed() < kOnTheBusMs)
    QTest::qWait(kRetryMs);
  ASSERT_EQ(first.exitCode, 0) << qPrintable(Said(first)) << qPrintable(viewer.Output());
  EXPECT_EQ(Lines(first, QStringLiteral("text"), "STATUS"), QStringList{Text(status::kWaiting)});
  const QStringList date = Lines(first, QStringLiteral("text"), "DATE");
  const QStringList time = Lines(first, QStringLiteral("text"), "TIME");
  ASSERT_EQ(date.size(), 1) << qPrintable(Said(first));
  ASSERT_EQ(time.size(), 1) << qPrintable(Said(first));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4} / \\d{1,2} / \\d{1,2}$")).match(date[0]).hasMatch())
      << qPrintable(date[0]);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[AP]M \\d\\d : \\d\\d : \\d\\d$")).match(time[0]).hasMatch())
      << qPrintable(time[0]);

  // CONNECT pressed through the bridge against a recorder that rejects the
  // login: the return to waiting is announced and read, as the screen shows.
  const auto press = [&](int expected) {
    return Read({QStringLiteral("press"), QStringLiteral("CONNECT"), QStringLiteral("STATUS"),
                         QString::number(kAnnouncedWithinSeconds), Text(expected)},
                        kPressMs);
  };
  const Reading rejected = press(status::kWaiting);
  ASSERT_EQ(rejected.exitCode, 0) << qPrintable(Said(rejected));
  EXPECT_GE(sim->WaitFor(QRegularExpression(QStringLiteral("recv LOGIN .*: rejected")), kLogMs), 0)
      << "the press did not reach the recorder: " << qPrintable(Said(rejected));
  const QStringList afterRejection = Lines(rejected, QStringLiteral("announced"), "STATUS");
  ASSERT_FALSE(afterRejection.isEmpty()) << "no status change announced: " << qPrintable(Said(rejected));
  EXPECT_EQ(afterRejection.last(), Text(status::kWaiting)) << qPrintable(Said(rejected));
  EXPECT_EQ(Lines(rejected, QStringLiteral("text"), "STATUS"), QStringList{Text(status::kWaiting)});
  EXPECT_EQ(skin.ReadStatus(viewer.Grab()), Text(status::kWaiting));

  // A recorder that accepts, on the same port: "CONNECTION ESTABLISHED." announced and read.
  sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--channels"), QStringLiteral("8")});
  ASSERT_TRUE(sim->Start(port));
  const Reading connected = press(status::kEstablished);
  ASSERT_EQ(connected.exitCode, 0) << qPrintable(Said(connected));
  EXPECT_GE(sim->WaitFor(QRegularExpression(QStringLiteral("recv LOGIN .*: accepted")), kLogMs), 0);
  EXPECT_TRUE(Lines(connected, QStringLiteral("announced"), "STATUS").contains(Text(status::kEstablished)))
      << qPrintable(Said(connected));
  EXPECT_EQ(Lines(connected, QStringLiteral("text"), "STATUS"), QStringList{Text(status::kEstablished)});
  EXPECT_EQ(skin.ReadStatus(viewer.Grab()), Text(status::kEstablished));
  if (::testing::Test::HasFailure()) std::fprintf(stderr, "--- viewer output:\n%s\n", qPrintable(viewer.Output()));
}
