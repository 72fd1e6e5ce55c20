// The shipped viewer as a screen reader meets it: through the AT-SPI bridge on
// a session bus of the scenario's own, STATUS, DATE and TIME read as text,
// CONNECT pressed through its action, and each change of STATUS announced.
// What the bridge reads must be what the window shows.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cstdio>
#include <memory>

#include "skin/StatusPanel.h"
#include "tests/acceptance/AtSpiSession.h"
#include "tests/acceptance/SimProcess.h"
#include "tests/acceptance/SkinReference.h"
#include "tests/acceptance/ViewerProcess.h"
#include "link/CDvrLink.h"

namespace {
// The viewer joins the accessibility bus after its window shows.
constexpr int kOnTheBusMs = 20000;
// How long a press waits for the announcement it expects, and the bound on the whole press.
constexpr int kAnnouncedWithinSeconds = 8;
constexpr int kPressMs = 20000;
// The recorder's log of what the press led to.
constexpr int kLogMs = 5000;

QString Text(int code) { return StatusPanel::StatusTextFor(code, 0, 0); }

QString Said(const AtSpiSession::Result& result) {
  return QStringLiteral("reader exit %1, output:\n%2").arg(result.exitCode).arg(result.output);
}

// The lines "<kind> NAME: <text>" of a reader's output, in order.
QStringList Lines(const AtSpiSession::Result& result, const QString& kind, const char* name) {
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
  AtSpiSession session;
  ASSERT_TRUE(session.Start()) << qPrintable(session.Error());
  auto sim = std::make_unique<SimProcess>(
      QStringList{QStringLiteral("--channels"), QStringLiteral("8"), QStringLiteral("--reject-login")});
  ASSERT_TRUE(sim->Start());
  const quint16 port = sim->Port();
  ViewerProcess viewer;
  viewer.AddEnvironment(session.SessionVariables());
  ASSERT_TRUE(viewer.WriteSettings(port)) << qPrintable(viewer.Error());
  ASSERT_TRUE(viewer.Start()) << qPrintable(viewer.Error());

  // Offline at start; the date and time as the panel writes them.
  const AtSpiSession::Result first =
      session.ReadOnceThere({QStringLiteral("read"), QStringLiteral("STATUS"), QStringLiteral("DATE"),
                             QStringLiteral("TIME")},
                            kOnTheBusMs);
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
    return session.Read({QStringLiteral("press"), QStringLiteral("CONNECT"), QStringLiteral("STATUS"),
                         QString::number(kAnnouncedWithinSeconds), Text(expected)},
                        kPressMs);
  };
  const AtSpiSession::Result rejected = press(status::kWaiting);
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
  const AtSpiSession::Result connected = press(status::kEstablished);
  ASSERT_EQ(connected.exitCode, 0) << qPrintable(Said(connected));
  EXPECT_GE(sim->WaitFor(QRegularExpression(QStringLiteral("recv LOGIN .*: accepted")), kLogMs), 0);
  EXPECT_TRUE(Lines(connected, QStringLiteral("announced"), "STATUS").contains(Text(status::kEstablished)))
      << qPrintable(Said(connected));
  EXPECT_EQ(Lines(connected, QStringLiteral("text"), "STATUS"), QStringList{Text(status::kEstablished)});
  EXPECT_EQ(skin.ReadStatus(viewer.Grab()), Text(status::kEstablished));
  if (::testing::Test::HasFailure()) std::fprintf(stderr, "--- viewer output:\n%s\n", qPrintable(viewer.Output()));
}
