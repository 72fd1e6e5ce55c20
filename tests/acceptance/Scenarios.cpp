// The shipped viewer driven as an operator would: clicks at skin positions,
// judged by the window's pixels and by what dvr-sim, in its own process,
// logs of what it received. Real timings throughout.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QElapsedTimer>
#include <QPainter>
#include <QRegion>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTime>

#include <algorithm>
#include <functional>
#include <memory>

#include "archive/CArchiveDlg.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "link/CDvrLink.h"
#include "skin/SkinButton.h"
#include "skin/SkinPushButton.h"
#include "tests/acceptance/SimProcess.h"
#include "tests/acceptance/SkinReference.h"
#include "tests/acceptance/ViewerProcess.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"
#include "viewer/PtzControl.h"
#include "viewer/ViewerSettingsStore.h"

namespace {
constexpr int kChannels = 8;
constexpr int kLookMs = 100;
// A picture pane counts as changed when this share of its pixels differ.
constexpr double kChangedShare = 0.002;
// ... and as showing a picture when this share differs from its offline look.
constexpr double kPictureShare = 0.05;

QRegularExpression Rx(const char* pattern) { return QRegularExpression(QLatin1String(pattern)); }

// A connection that reached the recorder, taken or refused.
const QRegularExpression kConnectionArrived = Rx("client 127\\.0\\.0\\.1:\\d+ connected|refused 127\\.0\\.0\\.1:");
const QRegularExpression kLoginAccepted = Rx("recv LOGIN user \"[^\"]*\": accepted");
const QRegularExpression kLiveRequest = Rx("recv LIVE_REQUEST");
const QRegularExpression kAllLive = Rx("live: streaming channel\\(s\\) 1,2,3,4,5,6,7,8 ");
const QRegularExpression kPtzStop = Rx("recv PTZ_DATA .*: stop");

QString Text(int code) { return StatusPanel::StatusTextFor(code, 0, 0); }

// The sim's own time stamp of a log line, in ms of the day.
int StampMs(const QString& line) {
  const QTime t = QTime::fromString(line.left(12), QStringLiteral("HH:mm:ss.zzz"));
  return t.isValid() ? t.msecsSinceStartOfDay() : -1;
}

// Whether more than this share of the rectangle's pixels differ between two looks.
bool Differ(const QImage& a, const QImage& b, const QRect& rect, double share) {
  return SkinReference::DifferingPixels(a.copy(rect), b.copy(rect)) > rect.width() * rect.height() * share;
}

// The pad's Right button.
int PanTiltRightId() {
  for (const PtzPadButton& button : kPtzButtons)
    if (button.value == ptzvalue::kRight) return button.controlId;
  return -1;
}

// What a helper program printed and its exit status (-1: did not finish in time, or did not run).
struct Reading {
  int exitCode = -1;
  QString output;
};

// Runs a helper program with these arguments; ended after timeoutMs.
Reading RunHelper(const QString& program, const QStringList& arguments, int timeoutMs) {
  QProcess helper;
  helper.setProcessChannelMode(QProcess::MergedChannels);
  helper.start(program, arguments);
  const bool finished = helper.waitForFinished(timeoutMs);
  if (!finished) {
    helper.kill();
    helper.waitForFinished(kLookMs);
  }
  return {finished && helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1,
          QString::fromUtf8(helper.readAll())};
}

// Runs atspi_reader.py with these arguments.
Reading ReadThroughTheBridge(const QStringList& arguments, int timeoutMs) {
  const QStringList reader{qEnvironmentVariable("ARDEVIZ_ATSPI_READER")};
  return RunHelper(QStringLiteral("/usr/bin/python3"), reader + arguments, timeoutMs);
}

// The texts of the reader's lines that begin "<prefix>: ", in order.
QStringList Lines(const Reading& reading, const char* prefix) {
  QStringList texts;
  const QString start = QLatin1String(prefix) + QLatin1String(": ");
  for (const QString& line : reading.output.split(QLatin1Char('\n')))
    if (line.startsWith(start)) texts << line.mid(start.size());
  return texts;
}
}  // namespace

class Acceptance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_skin = std::make_unique<SkinReference>(); }
  static void TearDownTestSuite() { s_skin.reset(); }

  void SetUp() override {
    m_clock.start();
    ASSERT_TRUE(Skin().Problem().isEmpty()) << qPrintable(Skin().Problem());
  }

  void TearDown() override {
    if (HasFailure() || qEnvironmentVariableIsSet("ARDEVIZ_ACCEPTANCE_VERBOSE")) Report();
    m_viewer.reset();
    m_sim.reset();
  }

  const SkinReference& Skin() const { return *s_skin; }

  // The viewer with its recorder address set to 127.0.0.1:port, offline and
  // idle as it starts: "WAITING FOR CONNECTION.", the lamp unlit.
  void StartViewer(quint16 port, const QProcessEnvironment& environment = {}) {
    m_viewer = std::make_unique<ViewerProcess>();
    ASSERT_TRUE(m_viewer->Start(port, environment)) << qPrintable(m_viewer->Error());
    m_offlineLook = Look();
    ASSERT_EQ(Skin().ReadStatus(m_offlineLook), Text(status::kWaiting)) << "the viewer does not start offline";
    ASSERT_STREQ(LampNow(), "unlit");
  }

  // dvr-sim with eight channels and the given options, on the given port (0: a free one).
  void StartSim(QStringList options, quint16 port = 0) {
    Note(QStringLiteral("dvr-sim started"));
    m_sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--channels"), QStringLiteral("8")} + options);
    ASSERT_TRUE(m_sim->Start(port)) << "dvr-sim did not start:\n" << qPrintable(m_sim->Tail());
  }

  void StartRig(QStringList simOptions, const QProcessEnvironment& viewerEnvironment = {}) {
    ASSERT_NO_FATAL_FAILURE(StartSim(std::move(simOptions)));
    ASSERT_NO_FATAL_FAILURE(StartViewer(m_sim->Port(), viewerEnvironment));
  }

  const char* LampNow() const { return Skin().ReadLamp(m_lastLook); }

  double Seconds() const { return m_clock.elapsed() / 1000.0; }

  // One look at the screen; a change of the status text or of the number of
  // other windows goes into the timeline.
  QImage Look() {
    m_lastLook = m_viewer->Grab();
    const QString status = Skin().ReadStatus(m_lastLook);
    const std::vector<QRect> others = m_viewer->OtherWindows();
    const int boxes = static_cast<int>(others.size());
    m_mostBoxes = std::max(m_mostBoxes, boxes);
    m_covered = QRegion();
    for (const QRect& other : others) m_covered += other.translated(-m_viewer->WindowRect().topLeft());
    if (status != m_lastStatus || boxes != m_lastBoxes) {
      m_timeline << QStringLiteral("%1 s: status \"%2\", lamp %3, %4 other window(s)")
                        .arg(Seconds(), 6, 'f', 1)
                        .arg(status)
                        .arg(QLatin1String(LampNow()))
                        .arg(boxes);
      m_lastStatus = status;
      m_lastBoxes = boxes;
      if (!m_seen.contains(status)) m_seen << status;
    }
    return m_lastLook;
  }

  // Looks at the screen until the condition holds or the time is up.
  bool LookUntil(const std::function<bool(const QImage&)>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
      if (condition(Look())) return true;
      if (clock.elapsed() > timeoutMs) return false;
      QTest::qWait(kLookMs);
    }
  }

  // Waits for a line of the simulator's log, looking at the screen meanwhile.
  int AwaitLog(const QRegularExpression& pattern, int timeoutMs, int from = 0) {
    int at = -1;
    LookUntil([&](const QImage&) { return (at = m_sim->Find(pattern, from)) >= 0; }, timeoutMs);
    return at;
  }

  bool StatusBecomes(int code, int timeoutMs) {
    const QString text = Text(code);
    return LookUntil([&](const QImage& w) { return Skin().ReadStatus(w) == text; }, timeoutMs);
  }

  // Keeps looking for the whole time; true when the status read `code` at every look.
  bool StatusStays(int code, int forMs) {
    const QString text = Text(code);
    return !LookUntil([&](const QImage& w) { return Skin().ReadStatus(w) != text; }, forMs);
  }

  // Empty when all eight panes show pictures and each picture changes within
  // `windowMs` of the first look; otherwise which panes do not. A short stall
  // of a busy machine passes, a channel that stops does not. A pane that another
  // window covers at any look is not judged: the operator cannot see it either.
  QString PanesUpdating(int windowMs = 3000) {
    std::vector<bool> hidden(kChannels, false);
    const auto noteHidden = [&] {
      for (int ch = 0; ch < kChannels; ++ch) hidden[ch] = hidden[ch] || m_covered.intersects(Skin().PaneRect(ch));
    };
    const QImage first = Look();
    noteHidden();
    std::vector<bool> changed(kChannels, false);
    QElapsedTimer clock;
    clock.start();
    QImage last = first;
    while (std::find(changed.begin(), changed.end(), false) != changed.end() && clock.elapsed() < windowMs) {
      QTest::qWait(kLookMs);
      last = Look();
      noteHidden();
      for (int ch = 0; ch < kChannels; ++ch) {
        const QRect pane = Skin().PaneRect(ch);
        changed[ch] = hidden[ch] || changed[ch] || Differ(first, last, pane, kChangedShare);
      }
    }
    if (std::count(hidden.begin(), hidden.end(), true) == kChannels) return QStringLiteral("every pane is covered");
    QStringList faults;
    for (int ch = 0; ch < kChannels; ++ch) {
      if (hidden[ch]) continue;
      const QRect pane = Skin().PaneRect(ch);
      if (!Differ(first, m_offlineLook, pane, kPictureShare) || !Differ(last, m_offlineLook, pane, kPictureShare))
        faults << QStringLiteral("channel %1 shows no picture").arg(ch + 1);
      else if (!changed[ch])
        faults << QStringLiteral("channel %1 did not change for %2 s").arg(ch + 1).arg(windowMs / 1000.0);
    }
    return faults.join(QStringLiteral(", "));
  }

  // Waits until all eight panes update; the last finding when they never do.
  QString PicturesFlowWithin(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QString fault;
    do {
      fault = PanesUpdating();
    } while (!fault.isEmpty() && clock.elapsed() < timeoutMs);
    return fault;
  }

  // What the operator or the recorder did, in the timeline.
  void Note(const QString& what) { m_timeline << QStringLiteral("%1 s: -- %2").arg(Seconds(), 6, 'f', 1).arg(what); }

  // Mouse input on a skin control (xdotool's "click", "mousedown" or "mouseup"), noted in the timeline.
  void Mouse(int controlId, const char* action, const char* what) {
    Note(QLatin1String(what));
    m_viewer->Mouse(Skin().ControlCentre(controlId), action);
  }
  void ClickConnect() { Mouse(CArdevizView::kIdConnect, "click", "CONNECT clicked"); }
  void PressRight() { Mouse(PanTiltRightId(), "mousedown", "pan/tilt Right pressed"); }
  void ReleaseRight() { Mouse(PanTiltRightId(), "mouseup", "pan/tilt Right released"); }

  // A key of the window through xdotool ("key", "keydown" or "keyup"), noted in the timeline.
  void Key(const char* action, const char* key) {
    Note(QStringLiteral("key %1 %2").arg(QLatin1String(key), QLatin1String(action)));
    m_viewer->Key(action, key);
  }

  // The pan right strings the recorder logged from line `from` on, and the stop
  // strings within 0.6 s of the first one after the last of them.
  std::pair<int, int> PanRightAndStops(int from) {
    const QRegularExpression move = Rx("recv PTZ_DATA .*: pan right");
    int lastMove = -1;
    for (int at = m_sim->Find(move, from); at >= 0; at = m_sim->Find(move, at + 1)) lastMove = at;
    int stops = 0;
    const int firstStop = lastMove >= 0 ? m_sim->Find(kPtzStop, lastMove + 1) : -1;
    for (int at = firstStop; at >= 0; at = m_sim->Find(kPtzStop, at + 1))
      if (StampMs(m_sim->Lines().at(at)) - StampMs(m_sim->Lines().at(firstStop)) < 600) ++stops;
    return {m_sim->Count(move, from), stops};
  }

  void StopSim() {
    Note(QStringLiteral("dvr-sim stopped"));
    m_sim->Stop();
  }

  // Connects and waits for live pictures in all eight panes.
  void ConnectAndSeePictures() {
    ClickConnect();
    ASSERT_TRUE(StatusBecomes(status::kEstablished, 5000)) << "status after CONNECT: " << qPrintable(m_lastStatus);
    ASSERT_GE(AwaitLog(kAllLive, 5000), 0) << "live pictures of channels 1 to 8 were never requested";
    const QString panes = PicturesFlowWithin(8000);
    ASSERT_TRUE(panes.isEmpty()) << qPrintable(panes);
  }

  // After a fault whose line in the sim log is at `fault`: a new connection,
  // a login, live requested again, pictures in every pane, the status
  // "CONNECTION ESTABLISHED.". `timeoutMs` covers the watch on missing data
  // and the reconnection attempts.
  void ExpectRecoveryAfter(int fault, int timeoutMs) {
    const int login = AwaitLog(kLoginAccepted, timeoutMs, fault + 1);
    ASSERT_GE(login, 0) << "no new login within " << timeoutMs / 1000 << " s of the fault; "
                        << m_sim->Count(kConnectionArrived, fault + 1) << " connection(s) reached the recorder";
    // The recorder is there again: the first attempt that reaches it logs in.
    EXPECT_EQ(m_sim->Count(kConnectionArrived, fault + 1, login), 1)
        << "connections that reached the recorder before the one that logged in";
    const int live = AwaitLog(kAllLive, 5000, login + 1);
    ASSERT_GE(live, 0) << "no live request after the new login";
    EXPECT_TRUE(StatusBecomes(status::kEstablished, 3000))
        << "status after the new login: " << qPrintable(m_lastStatus);
    const QString panes = PicturesFlowWithin(6000);
    EXPECT_TRUE(panes.isEmpty()) << "after the reconnection: " << qPrintable(panes);
  }

  // What the scenario saw, for a failure report; the last look is kept as a picture.
  void Report() {
    QString picture;
    if (!m_lastLook.isNull()) {
      const QString dir = QString::fromLocal8Bit(qgetenv("ARDEVIZ_ACCEPTANCE_OUT"));
      QDir().mkpath(dir);
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      picture = QDir(dir).filePath(QStringLiteral("%1.png").arg(QLatin1String(info->name())));
      if (!m_lastLook.save(picture)) picture = QStringLiteral("(could not save)");
    }
    std::fprintf(stderr, "--- What the operator saw (seconds since the scenario began):\n%s\n",
                 qPrintable(m_timeline.join(QLatin1Char('\n'))));
    std::fprintf(stderr, "--- Last look at the window: %s\n", qPrintable(picture));
    if (m_sim) {
      std::fprintf(stderr, "--- dvr-sim log (last lines; status requests and pan/tilt stop strings left out):\n%s\n",
                   qPrintable(m_sim->Tail(60, Rx("recv PTZ_DATA .*: stop|recv DVR_STATUS2"))));
    }
    if (m_viewer) std::fprintf(stderr, "--- viewer output:\n%s\n", qPrintable(m_viewer->Output().right(4000)));
  }

  static inline std::unique_ptr<SkinReference> s_skin;
  std::unique_ptr<SimProcess> m_sim;
  std::unique_ptr<ViewerProcess> m_viewer;
  QImage m_offlineLook;
  QElapsedTimer m_clock;
  QStringList m_timeline;
  QStringList m_seen;
  QImage m_lastLook;
  QString m_lastStatus;
  int m_lastBoxes = -1;
  int m_mostBoxes = 0;
  QRegion m_covered;  // what other windows cover of the main window at the last look
};

// The recorder falls silent after the operator has used the pan/tilt pad: two
// resends of the live request, then reconnection, a new login, live again.
// The operator holds a pan/tilt button while the viewer reconnects: nothing it
// sends may spoil the attempt.
TEST_F(Acceptance, SilenceAfterPanTilt) {
  ASSERT_NO_FATAL_FAILURE(StartRig({QStringLiteral("--silent-after"), QStringLiteral("10")}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  PressRight();
  QTest::qWait(800);
  ReleaseRight();
  EXPECT_GE(AwaitLog(Rx("recv PTZ_DATA .*pan right"), 2000), 0) << "the pan/tilt pad sent nothing";
  const int silent = AwaitLog(Rx("fault: silent from now on"), 12000);
  ASSERT_GE(silent, 0);
  // The frozen pictures say so within 4 s of the last one.
  EXPECT_TRUE(LookUntil([this](const QImage& w) { return Skin().ShowsNotice(w, 0, QStringLiteral("NO PICTURE 3 s")); }, 4000))
      << "no \"NO PICTURE 3 s\" within 4 s of the silence";

  // The watch on missing data gives up after three 5-second periods.
  EXPECT_TRUE(StatusBecomes(status::kTryReconnection, 20000)) << "status: " << qPrintable(m_lastStatus);
  PressRight();
  AwaitLog(kConnectionArrived, 8000, silent + 1);
  LookUntil([](const QImage&) { return false; }, 1000);
  ReleaseRight();

  ASSERT_NO_FATAL_FAILURE(ExpectRecoveryAfter(silent, 30000));
  const int reconnected = m_sim->Find(kConnectionArrived, silent + 1);
  EXPECT_EQ(m_sim->Count(kLiveRequest, silent + 1, reconnected), 2)
      << "live requests resent to the silent recorder before the reconnection";
  for (const QString& text : {StatusPanel::StatusTextFor(status::kTryRequestImage, 1, 0),
                              StatusPanel::StatusTextFor(status::kTryRequestImage, 2, 0)})
    EXPECT_TRUE(m_seen.contains(text)) << "the status never read \"" << qPrintable(text) << "\"";
}

// The recorder is stopped and started again on the same port a few seconds
// later: the viewer reconnects by itself. Then it goes away for good:
// "CONNECTION FAIL:" through the reconnection attempts, then offline with
// "WAITING FOR CONNECTION." and the lamp unlit.
TEST_F(Acceptance, RecorderRestartedThenGone) {
  ASSERT_NO_FATAL_FAILURE(StartRig({}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  const quint16 port = m_sim->Port();
  StopSim();
  QTest::qWait(3000);
  const int restart = static_cast<int>(m_sim->Lines().size());
  Note(QStringLiteral("dvr-sim started again"));
  ASSERT_TRUE(m_sim->Start(port)) << "dvr-sim could not listen on port " << port << " again";
  ASSERT_NO_FATAL_FAILURE(ExpectRecoveryAfter(restart, 40000));

  StopSim();
  // The watch on missing data gives up after three 5-second periods.
  ASSERT_TRUE(StatusBecomes(status::kTryReconnection, 20000)) << "status: " << qPrintable(m_lastStatus);
  ASSERT_TRUE(StatusBecomes(status::kConnectionFail, 8000)) << "status: " << qPrintable(m_lastStatus);
  const qint64 firstFail = m_clock.elapsed();
  // Three attempts 5 s apart, then offline 5 s after the last one.
  const QString fail = Text(status::kConnectionFail);
  int looks = 0;
  int failing = 0;
  const bool offline = LookUntil([&](const QImage& w) {
    const QString s = Skin().ReadStatus(w);
    ++looks;
    failing += s == fail ? 1 : 0;
    return s == Text(status::kWaiting);
  }, 20000);
  ASSERT_TRUE(offline) << "status 20 s after the first failed attempt: " << qPrintable(m_lastStatus);
  const qint64 attempts = m_clock.elapsed() - firstFail;
  EXPECT_GE(attempts, 9000) << "offline " << attempts << " ms after the first failed attempt: too soon for three";
  EXPECT_LE(attempts, 16000) << "offline " << attempts << " ms after the first failed attempt";
  // Each attempt may show its reconnection texts for a moment.
  EXPECT_GE(failing * 10, looks * 8) << "\"CONNECTION FAIL:\" in " << failing << " of " << looks << " looks";
  EXPECT_STREQ(LampNow(), "unlit") << "offline, yet the lamp is lit";
  EXPECT_TRUE(StatusStays(status::kWaiting, 7000)) << "no longer offline: " << qPrintable(m_lastStatus);
}

// CONNECT while nothing listens: "WAITING FOR CONNECTION.". Once the recorder
// runs, CONNECT: the login, live pictures of all eight channels in their panes,
// the status "CONNECTION ESTABLISHED." and the activity lamp blinking. Then
// LAYOUT 1 and ROTATE: the one pane moves on to the next channel every
// interval and shows it live, as a channel button does.
TEST_F(Acceptance, RefusedThenConnectThenRotate) {
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  ASSERT_NO_FATAL_FAILURE(StartViewer(port));
  ClickConnect();
  QTest::qWait(2000);
  EXPECT_TRUE(StatusStays(status::kWaiting, 5000)) << "status after the refused CONNECT: " << qPrintable(m_lastStatus);
  EXPECT_STREQ(LampNow(), "unlit");

  ASSERT_NO_FATAL_FAILURE(StartSim({}, port));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  // After the login reply the remote key, then at least 200 ms later the status
  // request, then at least 500 ms later the live request. Each is measured from
  // the sim's stamp of the login, taken before its reply leaves: a late read on
  // a loaded machine can only lengthen these, never shorten them (whole ms).
  const int login = m_sim->Find(kLoginAccepted);
  ASSERT_GE(login, 0);
  int at = login;
  std::vector<int> sinceLogin;
  for (const char* step : {"recv REMOTE_KEY", "recv DVR_STATUS2", "recv LIVE_REQUEST"}) {
    at = m_sim->Find(Rx(step), at + 1);
    ASSERT_GE(at, 0) << step << " after the login";
    sinceLogin.push_back(StampMs(m_sim->Lines().at(at)) - StampMs(m_sim->Lines().at(login)));
  }
  EXPECT_GE(sinceLogin[1], 199) << "the wait after the remote key";
  EXPECT_GE(sinceLogin[2], 699) << "the waits after the remote key and the status request";
  bool lit = false;
  LookUntil([&](const QImage& w) { return lit = !qstrcmp(Skin().ReadLamp(w), "lit"); }, 3000);
  EXPECT_TRUE(lit) << "the activity lamp never showed its lit face while pictures arrived";
  EXPECT_TRUE(StatusStays(status::kEstablished, 1000));
  EXPECT_EQ(m_mostBoxes, 0);

  Mouse(CArdevizView::kIdLayoutFirst, "click", "LAYOUT 1 clicked");
  ASSERT_GE(AwaitLog(Rx("live: streaming channel\\(s\\) 1 "), 5000), 0) << "channel 1 alone was never requested";
  Mouse(CArdevizView::kIdRotate, "click", "ROTATE clicked");
  const QRect pane = Skin().PaneRect(0).united(Skin().PaneRect(8));
  for (int ch = 2, from = 0; ch <= 3; ++ch) {
    from = AwaitLog(Rx(qPrintable(QStringLiteral("live: streaming channel\\(s\\) %1 ").arg(ch))), 7000, from);
    ASSERT_GE(from, 0) << "rotation never asked for channel " << ch << " live";
    const QImage first = Look();
    EXPECT_TRUE(LookUntil([&](const QImage& w) { return Differ(first, w, pane, kChangedShare); }, 3000))
        << "the pane of channel " << ch << " stands still";
  }
}

// A pan/tilt button held against a recorder that answers every camera command
// with a reply: one box at most, the window keeps running, the repeats and the
// five stop strings of the release reach the recorder.
TEST_F(Acceptance, PanTiltAgainstReplies) {
  ASSERT_NO_FATAL_FAILURE(StartRig({QStringLiteral("--ptz-reply")}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  const int pressAt = static_cast<int>(m_sim->Lines().size());
  PressRight();
  LookUntil([](const QImage&) { return false; }, 3000);
  ReleaseRight();
  QTest::qWait(1500);

  const auto [moves, stopsAfterRelease] = PanRightAndStops(pressAt);
  EXPECT_GE(moves, 15) << "repeats of the held button that reached the recorder";
  // The 1-second stop string may fall into the same moment.
  EXPECT_GE(stopsAfterRelease, 5) << "stop strings within 0.6 s of the release";
  EXPECT_LE(stopsAfterRelease, 6) << "stop strings within 0.6 s of the release";

  // Still running: the clock ticks and the pictures keep coming.
  const QImage before = Look();
  QTest::qWait(2100);
  EXPECT_TRUE(Differ(before, Look(), StatusPanel::kTimeRect, 0)) << "the clock stopped";
  const QString panes = PanesUpdating();
  EXPECT_TRUE(panes.isEmpty()) << qPrintable(panes);
  EXPECT_LE(m_mostBoxes, 1) << "pan/tilt reply boxes open at once";

  // OK on the box: the stop string of each second draws the same reply, which is not told again;
  // a pan/tilt press is.
  ASSERT_EQ(m_viewer->OtherWindows().size(), 1u) << "no reply box to answer";
  const int okAt = static_cast<int>(m_sim->Lines().size());
  Note(QStringLiteral("OK on the reply box"));
  m_viewer->PressReturnIn(m_viewer->OtherWindows().front());
  int boxesAfterOk = 0;
  LookUntil([&](const QImage&) { return (boxesAfterOk = std::max(boxesAfterOk, m_lastBoxes)), false; }, 3500);
  EXPECT_GE(m_sim->Count(kPtzStop, okAt), 2) << "stop strings answered after OK";
  EXPECT_EQ(boxesAfterOk, 0) << "the reply box came back after OK";
  PressRight();
  QTest::qWait(300);
  ReleaseRight();
  EXPECT_TRUE(LookUntil([&](const QImage&) { return m_lastBoxes == 1; }, 3000)) << "a press's reply was not told";
}

// The keyboard as the operator uses it: the Right arrow held as long as the
// pad's Right button sends as many pan strings (the X server's auto-repeat adds
// none) and the same five stop strings after the release.
TEST_F(Acceptance, KeysSendWhatClicksSend) {
  ASSERT_NO_FATAL_FAILURE(StartRig({}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  const int pressAt = static_cast<int>(m_sim->Lines().size());
  PressRight();
  QTest::qWait(1500);
  ReleaseRight();
  QTest::qWait(1500);
  const auto [clickMoves, clickStops] = PanRightAndStops(pressAt);
  const int keyAt = static_cast<int>(m_sim->Lines().size());
  Key("keydown", "Right");
  QTest::qWait(1500);
  Key("keyup", "Right");
  QTest::qWait(1500);
  const auto [keyMoves, keyStops] = PanRightAndStops(keyAt);
  EXPECT_TRUE(clickMoves >= 10 && clickStops >= 5) << "repeats and stops of the held button";
  EXPECT_NEAR(keyMoves, clickMoves, 3) << "pan strings of the held key against those of the held button";
  EXPECT_TRUE(keyStops >= 5 && keyStops <= 6) << keyStops << " stop strings within 0.6 s of the key's release";
}

// Stray bytes between packets, several packets per write, every write cut
// into pieces: every channel keeps updating on the one connection.
TEST_F(Acceptance, NoisyStream) {
  ASSERT_NO_FATAL_FAILURE(StartRig({QStringLiteral("--garbage"), QStringLiteral("--coalesce"),
                                    QStringLiteral("--split"), QStringLiteral("997")}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeePictures());
  for (int round = 0; round < 3; ++round) {
    QTest::qWait(1000);
    const QString panes = PanesUpdating();
    EXPECT_TRUE(panes.isEmpty()) << "round " << round + 1 << ": " << qPrintable(panes);
  }
  EXPECT_EQ(Skin().ReadStatus(Look()), Text(status::kEstablished));
  EXPECT_EQ(m_sim->Count(kConnectionArrived), 1) << "the viewer reconnected";
}

// The viewer as a screen reader meets it through the AT-SPI bridge (CTest runs
// this scenario under dbus-run-session, whose bus starts the AT-SPI bus when
// the viewer's bridge asks for it): STATUS, DATE and TIME read as text, CONNECT
// pressed through its action, each change of STATUS announced and read as the
// window shows it.
TEST_F(Acceptance, StatusReadAndConnectPressedThroughTheBridge) {
  // The viewer joins the accessibility bus after its window shows.
  constexpr int kOnTheBusMs = 20000;
  // How long a press waits for the announcement it expects, and the bound on the whole press.
  constexpr int kAnnouncedWithinSeconds = 8;
  constexpr int kPressMs = 20000;
  // The reader's exit status while the viewer or a name is not on the bus yet.
  constexpr int kNotThereYet = 2;
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "not run under dbus-run-session";
  // Qt turns its bridge on only when a screen reader is said to run; here one always does.
  QProcessEnvironment bridgeOn;
  bridgeOn.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  bridgeOn.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
  ASSERT_NO_FATAL_FAILURE(StartRig({QStringLiteral("--reject-login")}, bridgeOn));

  // Offline at start; the date and time as the panel writes them.
  Reading first;
  while ((first = ReadThroughTheBridge({QStringLiteral("read"), QStringLiteral("STATUS"), QStringLiteral("DATE"),
                                        QStringLiteral("TIME")},
                                       kOnTheBusMs))
                 .exitCode == kNotThereYet &&
         m_clock.elapsed() < kOnTheBusMs)
    QTest::qWait(kLookMs);
  ASSERT_EQ(first.exitCode, 0) << qPrintable(first.output);
  EXPECT_EQ(Lines(first, "text STATUS"), QStringList{Text(status::kWaiting)});
  const QStringList date = Lines(first, "text DATE");
  const QStringList time = Lines(first, "text TIME");
  ASSERT_TRUE(date.size() == 1 && time.size() == 1) << qPrintable(first.output);
  EXPECT_TRUE(Rx("^\\d{4} / \\d{1,2} / \\d{1,2}$").match(date[0]).hasMatch()) << qPrintable(date[0]);
  EXPECT_TRUE(Rx("^[AP]M \\d\\d : \\d\\d : \\d\\d$").match(time[0]).hasMatch()) << qPrintable(time[0]);

  // CONNECT pressed through the bridge against a recorder that rejects the
  // login, then against one that accepts, on the same port.
  for (const int expected : {status::kWaiting, status::kEstablished}) {
    if (expected == status::kEstablished) {
      ASSERT_NO_FATAL_FAILURE(StartSim({}, m_sim->Port()));
    }
    Note(QStringLiteral("CONNECT pressed through the bridge"));
    const Reading pressed = ReadThroughTheBridge({QStringLiteral("press"), QStringLiteral("CONNECT"),
                                                  QStringLiteral("STATUS"), QString::number(kAnnouncedWithinSeconds),
                                                  Text(expected)},
                                                 kPressMs);
    ASSERT_EQ(pressed.exitCode, 0) << qPrintable(pressed.output);
    EXPECT_GE(AwaitLog(expected == status::kWaiting ? Rx("recv LOGIN .*: rejected") : kLoginAccepted, 5000), 0)
        << "the press did not reach the recorder: " << qPrintable(pressed.output);
    const QStringList announced = Lines(pressed, "announced STATUS");
    ASSERT_FALSE(announced.isEmpty()) << "no status change announced: " << qPrintable(pressed.output);
    EXPECT_EQ(announced.last(), Text(expected)) << qPrintable(pressed.output);
    EXPECT_EQ(Lines(pressed, "text STATUS"), QStringList{Text(expected)});
    EXPECT_EQ(Skin().ReadStatus(Look()), Text(expected));
    if (expected == status::kWaiting) {
      // The rejection leaves the viewer offline: lamp unlit, no box, no new connection.
      EXPECT_TRUE(StatusStays(status::kWaiting, 3000)) << "the status did not stay offline";
      EXPECT_STREQ(LampNow(), "unlit");
      EXPECT_EQ(m_mostBoxes, 0) << "a box opened";
      EXPECT_EQ(m_sim->Count(kConnectionArrived), 1) << "the viewer connected again after the rejection";
    }
  }
}

// Full screen on a 1920 x 1080 and a 3840 x 2160 screen: after CONNECT, a
// layout change and a round trip through the archive panel, every skin pixel
// on the screen is where a full repaint of the same state puts it. Only what
// changes by itself is left out: the pictures, the clock, the positions and
// the activity lamp.
TEST_F(Acceptance, FullScreenRepaintsLandWhereAFullRepaintDrawsThem) {
  // The nine panes span the picture area of every layout.
  const QRegion changing = QRegion(Skin().PaneRect(0).united(Skin().PaneRect(8))) + StatusPanel::kDateRect +
                           StatusPanel::kTimeRect + StatusPanel::PositionArea() +
                           Skin().ControlRect(CArdevizView::kIdActivity);
  const QRegularExpression fourLive = Rx("live: streaming channel\\(s\\) 1,2,3,4 ");
  // A segment of 15 s holds the whole recording; 6 s keeps the clicks' uncertainty small against it.
  constexpr int kRecordMs = 6000;
  constexpr int kProbeMs = 20000;
  const CArchiveDlg archive(nullptr, nullptr);
  ASSERT_NO_FATAL_FAILURE(StartSim({}));
  // The X screens AcceptanceMain gives the server besides the scenarios' own.
  for (const auto& [screen, size] : {std::pair(1, QSize(1920, 1080)), std::pair(2, QSize(3840, 2160))}) {
    SCOPED_TRACE(size.width());
    m_viewer = std::make_unique<ViewerProcess>();
    m_viewer->SetFullScreen(screen, size);
    m_viewer->Store(ViewerSettingsStore::kRecordFormat, 1);  // Motion-JPEG
    m_viewer->Store(ViewerSettingsStore::kRecordInterval, 3);  // 15-s segments
    ASSERT_TRUE(m_viewer->Start(m_sim->Port(), {})) << qPrintable(m_viewer->Error());
    // A window's control, clicked where the stage shows it: centred, enlarged by the largest whole factor that fits.
    const auto onStage = [size = size](const QRect& visible, const QRect& r) {
      const int factor = FullScreenStage::FactorFor(size, visible.size());
      const QPoint at((size.width() - visible.width() * factor) / 2, (size.height() - visible.height() * factor) / 2);
      return QRect(at + (r.topLeft() - visible.topLeft()) * factor, r.size() * factor);
    };
    const auto frame = [&](const QRect& r) { return onStage(CMainFrame::VisibleRegion().boundingRect(), r); };
    const auto click = [&](int id) { m_viewer->Mouse(frame(Skin().ControlRect(id)).center(), "click"); };
    const auto panelClick = [&](const QWidget* control) {
      const QRect panel(QPoint(0, 0), CArchiveDlg::kBackgroundSize);
      m_viewer->Mouse(onStage(panel, control->geometry()).center(), "click");
    };
    const int from = static_cast<int>(m_sim->Lines().size());
    click(CArdevizView::kIdConnect);
    ASSERT_GE(AwaitLog(kAllLive, 8000, from), 0) << "live pictures were never requested";
    click(CArdevizView::kIdLayoutFirst + 1);
    ASSERT_GE(AwaitLog(fourLive, 5000, from), 0) << "four panes were never requested";
    click(CArdevizView::kIdArchive);
    const int stop = AwaitLog(Rx("recv LIVE_STOP"), 5000, from);
    ASSERT_GE(stop, 0) << "the archive panel did not open";
    QTest::qWait(1500);
    if (screen == 1) {
      // PLAY, RECORD for a few seconds, STOP: the segment is Motion-JPEG that
      // plays as long as it was recorded. The record's start and end are known
      // only within the time each click takes.
      const QDir folder(ViewerProcess::RecordFolder());
      const QStringList before = folder.entryList({QStringLiteral("*.avi")});
      panelClick(archive.Button(CArchiveDlg::kIdPlayFirst + int(playback::Play)));
      ASSERT_GE(AwaitLog(Rx("playback: channel\\(s\\) .* from"), 5000, stop), 0) << "PLAY started no playback";
      QElapsedTimer clock;
      clock.start();
      panelClick(archive.Button(CArchiveDlg::kIdRecord));
      const qint64 recordClicked = clock.elapsed();
      QTest::qWait(kRecordMs);
      const qint64 stopClicking = clock.elapsed();
      panelClick(archive.Button(CArchiveDlg::kIdPlayFirst + int(playback::Stop)));
      const qint64 longest = clock.elapsed(), shortest = stopClicking - recordClicked;
      QStringList made;
      LookUntil([&](const QImage&) {
        made = folder.entryList({QStringLiteral("*.avi")});
        for (const QString& name : before) made.removeOne(name);
        return !made.isEmpty();
      }, 10000);
      ASSERT_EQ(made.size(), 1) << "segments saved: " << qPrintable(made.join(QLatin1String(", ")));
      const QString file = folder.filePath(made.front());
      const Reading probe = RunHelper(QStringLiteral("ffprobe"),
                                      {"-v", "error", "-show_entries", "stream=codec_name:format=duration", "-of",
                                       "default=noprint_wrappers=1", file},
                                      kProbeMs);
      const Reading decode =
          RunHelper(QStringLiteral("ffmpeg"), {"-v", "error", "-i", file, "-f", "null", "-"}, kProbeMs);
      QFile::remove(file);
      EXPECT_TRUE(probe.output.contains(QLatin1String("codec_name=mjpeg\n"))) << qPrintable(probe.output);
      EXPECT_EQ(std::tuple(decode.exitCode, decode.output), std::tuple(0, QString())) << "ffmpeg's decode";
      const double playsMs = probe.output.section(QLatin1String("duration="), 1).toDouble() * 1000;
      EXPECT_TRUE(playsMs >= shortest * 0.95 && playsMs <= longest * 1.05)
          << "the segment plays " << playsMs << " ms, recorded " << shortest << " to " << longest << " ms";
    }
    panelClick(archive.PushButton(CArchiveDlg::kIdPower));
    ASSERT_GE(AwaitLog(fourLive, 5000, stop), 0) << "live pictures were not asked for again after the panel";
    QTest::qWait(1500);

    // What repaints left on the screen, then the same after a repaint of everything.
    const auto skin = [&](QImage image) {
      QPainter painter(&image);
      for (const QRect& r : changing) painter.fillRect(frame(r), Qt::black);
      return image;
    };
    const QImage partial = m_lastLook = skin(m_viewer->Grab());
    m_viewer->RepaintAll();
    QTest::qWait(1000);
    const QImage full = skin(m_viewer->Grab());
    EXPECT_NE(full.pixelColor(frame(Skin().ControlRect(CArdevizView::kIdConnect)).center()), QColor(Qt::black));
    EXPECT_EQ(SkinReference::DifferingPixels(partial, full), 0) << "pixels where repaints landed off the full repaint";
    m_viewer.reset();
  }
}
