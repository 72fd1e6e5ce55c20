// The client's link against the simulated recorder over loopback: the two
// sides share only the wire format, so each checks the other.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"

namespace {

constexpr int kWaitMs = 4000;

class LinkAgainstSim : public ::testing::Test {
 protected:
  void Start(SimOptions o, std::uint32_t mask = 0x3) {
    o.fps = 25;
    m_sim = std::make_unique<SimRecorder>(o);
    m_owner.host = "127.0.0.1";
    m_owner.port = m_sim->Start(0);
    ASSERT_NE(m_owner.port, 0);
    m_owner.mask = mask;
    m_owner.selection = 0x0100;
    m_link = std::make_unique<CDvrLink>(
        &m_owner, LinkTiming{.responseMs = 200, .pauseMs = 100, .reconnectMs = 200, .afterLoginKeyMs = 10,
                             .afterStatusMs = 10});
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
    SimOptions o;
    o.magicVersion = magic;
    Start(o, 0x5);  // channels 1 and 3
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

TEST_F(LinkAgainstSim, NarrowPicturesOfEveryChannelReachTheirOwnPanes) {
  SimOptions o;
  o.pictureSize = QSize(352, 240);
  o.channelInfo = 16;  // a recorder that paints channel marks
  Start(o, 0xFF);
  const auto allDrawn = [&] {
    for (int ch = 0; ch < 8; ++ch) {
      if (!Drawn(ch)) return false;
    }
    return true;
  };
  ASSERT_TRUE(QTest::qWaitFor(allDrawn, kWaitMs));
  EXPECT_EQ(m_owner.headers.back().width, 352);
}

TEST_F(LinkAgainstSim, RejectedLoginGoesOffline) {
  SimOptions o;
  o.faults.rejectLogin = true;
  Start(o);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.goOfflineCount > 0; }, kWaitMs));
  EXPECT_EQ(m_owner.state, 0);
}

TEST_F(LinkAgainstSim, ChannelStatusReportsReachTheStatusLine) {
  SimOptions o;
  o.alerts = true;
  o.alertIntervalMs = 30;
  Start(o);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.CountStatus(7) >= 2; }, kWaitMs));
  const std::uint32_t word = m_link->ChannelStatusWord();
  EXPECT_GE(word & 0xFF, 1u);
  EXPECT_LE(word & 0xFF, 4u);
}

TEST_F(LinkAgainstSim, VersionOnePlaybackPicturesLandOnTheirOwnChannels) {
  SimOptions o;
  o.magicVersion = "1.0";
  m_panel.archiveMode = true;
  Start(o);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_owner.state == 1 && m_link->ProtocolVersion() == 1; }, kWaitMs));
  QTest::qWait(50);  // the login steps
  m_link->SendRemoteKey(wire::REMOTE_KEY_PLAY);  // a version 1 recorder plays all its channels
  const auto all = [&] {
    for (int c = 0; c < 4; ++c) {
      if (std::find(m_panel.drawn.begin(), m_panel.drawn.end(), c) == m_panel.drawn.end()) return false;
    }
    return true;
  };
  EXPECT_TRUE(QTest::qWaitFor(all, kWaitMs));
  EXPECT_TRUE(std::all_of(m_panel.drawn.begin(), m_panel.drawn.end(), [](int c) { return c < 4; }));
}
