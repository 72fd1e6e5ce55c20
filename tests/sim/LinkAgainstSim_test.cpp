// The client's link against the simulated recorder over loopback: the two
// sides share only the wire format, so each checks the other.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"

namespace {

constexpr int kWaitMs = 4000;

LinkTiming ShortTiming() {
  LinkTiming t;
  t.responseMs = 200;
  t.pauseMs = 100;
  t.reconnectMs = 200;
  t.afterLoginKeyMs = 10;
  t.afterStatusMs = 10;
  return t;
}

SimOptions SimFor(const QString& magic = "1.2") {
  SimOptions o;
  o.fps = 25;
  o.magicVersion = magic;
  o.archiveFrom = QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0));
  o.archiveTo = QDateTime(QDate(2024, 3, 8), QTime(12, 0, 0));
  return o;
}

class LinkAgainstSim : public ::testing::Test {
 protected:
  void Start(const SimOptions& o, std::uint32_t mask = 0x3) {
    m_sim = std::make_unique<SimRecorder>(o);
    m_owner.host = "127.0.0.1";
    m_owner.port = m_sim->Start(0);
    ASSERT_NE(m_owner.port, 0);
    m_owner.mask = mask;
    m_owner.selection = 0x0100;
    m_link = std::make_unique<CDvrLink>(&m_owner, ShortTiming());
    m_owner.link = m_link.get();
    m_link->SetArchivePanel(&m_panel);
    ASSERT_TRUE(m_link->ConnectToDvr(m_owner.host, m_owner.port));
  }
  bool Drawn(int channel) const {
    return std::find(m_owner.drawn.begin(), m_owner.drawn.end(), channel) != m_owner.drawn.end();
  }

  FakeLinkOwner m_owner;
  FakeArchivePanel m_panel;
  std::unique_ptr<SimRecorder> m_sim;
  std::unique_ptr<CDvrLink> m_link;
};

}  // namespace

TEST_F(LinkAgainstSim, LoginForEachMagicThenLivePicturesOfTheRequestedChannels) {
  for (const auto& [magic, version] : {std::pair{"1.0", 1}, std::pair{"1.2", 2}, std::pair{"3.1", 3}}) {
    m_owner.drawn.clear();
    Start(SimFor(magic), 0x5);  // channels 1 and 3
    ASSERT_TRUE(QTest::qWaitFor([&] { return Drawn(0) && Drawn(2); }, kWaitMs)) << magic;
    EXPECT_EQ(m_link->ProtocolVersion(), version);
    EXPECT_EQ(m_owner.state, 1);
    EXPECT_FALSE(Drawn(1));
    EXPECT_EQ(m_owner.fieldFlags[0], 0);
    ASSERT_FALSE(m_owner.headers.empty());
    EXPECT_EQ(m_owner.headers.back().width, 704);
    EXPECT_FALSE(m_panel.ranges.empty());
    m_link->Disconnect(true);
    m_link.reset();
  }
}

TEST_F(LinkAgainstSim, RejectedLoginGoesOffline) {
  SimOptions o = SimFor();
  o.faults.rejectLogin = true;
  Start(o);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.goOfflineCount > 0; }, kWaitMs));
  EXPECT_EQ(m_owner.state, 0);
}

TEST_F(LinkAgainstSim, LiveStopIsConfirmedAndEndsThePause) {
  Start(SimFor());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Drawn(0); }, kWaitMs));
  m_link->SendRequest(RequestKind::LiveStop, true);
  EXPECT_TRUE(m_link->IsPaused());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_link->IsPaused(); }, kWaitMs));
  const std::size_t drawn = m_owner.drawn.size();
  QTest::qWait(150);
  EXPECT_LE(m_owner.drawn.size(), drawn + 1);  // at most one already in flight
}

TEST_F(LinkAgainstSim, PlaybackFromAChosenMomentToEndOfPlay) {
  Start(SimFor());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Drawn(0); }, kWaitMs));
  m_panel.archiveMode = true;
  m_panel.playState = 0x0001;
  m_link->SendRequest(RequestKind::LiveStop, false);
  const QDateTime from(QDate(2024, 3, 8), QTime(11, 59, 58));
  m_link->SetPlayRequestWords(2, wire::DvrDate{2024, 3, 8}.Pack(), wire::DvrTime{11, 59, 58}.Pack(),
                              wire::play::Command(wire::play::kForward, 2, wire::play::kActionStart));
  m_link->SendRequest(RequestKind::PlayRequest, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_panel.results.empty(); }, kWaitMs));
  EXPECT_EQ(m_panel.results.back(), 3);  // "End of Play"
  ASSERT_FALSE(m_panel.drawn.empty());
  EXPECT_EQ(m_panel.drawn.front(), 1);  // channel 2, counted from 0
  ASSERT_FALSE(m_panel.playTimes.empty());
  const auto stamp = wire::PlayImageStamp::FromWords(m_panel.playTimes.front()[0], m_panel.playTimes.front()[1]);
  EXPECT_EQ(QDateTime(QDate(stamp.year, stamp.month, stamp.day), QTime(stamp.hour, stamp.minute, stamp.second)), from);
}

TEST_F(LinkAgainstSim, EventListIsWrittenToTheEventFile) {
  QTemporaryDir dir;
  Start(SimFor());
  m_link->SetEventFilePath(dir.filePath("AlarmEvent.am"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.state == 1 && Drawn(0); }, kWaitMs));
  m_link->SendRequest(RequestKind::EventFileRequest, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_panel.eventFiles > 0; }, kWaitMs));
  QFile file(dir.filePath("AlarmEvent.am"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(static_cast<std::size_t>(file.size()), m_sim->Archive().EventFile(4).size());
}

TEST_F(LinkAgainstSim, ChannelStatusReportsReachTheStatusLine) {
  SimOptions o = SimFor();
  o.alerts = true;
  o.alertIntervalMs = 30;
  Start(o);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.CountStatus(7) >= 2; }, kWaitMs));
  const std::uint32_t word = m_link->ChannelStatusWord();
  EXPECT_GE(word & 0xFF, 1u);
  EXPECT_LE(word & 0xFF, 4u);
}
