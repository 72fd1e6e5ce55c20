// The client's link against the simulated recorder over loopback: the two
// sides share only the wire format, so each checks the other.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <array>
#include <tuple>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"

namespace {

constexpr int kWaitMs = 4000;

bool Has(const std::vector<int>& drawn, int channel) { return std::find(drawn.begin(), drawn.end(), channel) != drawn.end(); }

class LinkAgainstSim : public ::testing::Test {
 protected:
  void Start(SimOptions o) {
    m_link.reset();
    m_owner = FakeLinkOwner();  // host 127.0.0.1
    m_panel = FakeArchivePanel();
    o.fps = 25;
    m_sim = std::make_unique<SimRecorder>(o);
    m_owner.port = m_sim->Start(0);
    ASSERT_NE(m_owner.port, 0);
    m_owner.mask = 0x5;  // channels 1 and 3
    m_link = std::make_unique<CDvrLink>(
        &m_owner, LinkTiming{.responseMs = 200, .pauseMs = 100, .reconnectMs = 200, .afterLoginKeyMs = 10,
                             .afterStatusMs = 10});
    m_owner.link = m_link.get();
    m_link->SetArchivePanel(&m_panel);
    ASSERT_TRUE(m_link->ConnectToDvr(m_owner.host, m_owner.port));
  }

  FakeLinkOwner m_owner;
  FakeArchivePanel m_panel;
  std::unique_ptr<SimRecorder> m_sim;
  std::unique_ptr<CDvrLink> m_link;
};

}  // namespace

TEST_F(LinkAgainstSim, EachMagicLogsInWithItsChannelsAndRangeShowsTheRequestedChannelsAndReportsAndVersionOnePlays) {
  const QDateTime from(QDate(2024, 3, 1), QTime(0, 0)), to(QDate(2024, 3, 8), QTime(12, 0));
  // Narrow pictures carry no readable mark: the packet's channel places them.
  for (const auto& [magic, version, width, channels] : {std::tuple{"1.2", 2, 352, 4}, std::tuple{"3.1", 3, 704, 16},
                                                        std::tuple{"1.0", 1, 704, 4}}) {
    SimOptions o;
    o.magicVersion = magic;
    o.channelInfo = channels;
    o.archiveFrom = from;
    o.archiveTo = to;
    o.pictureSize = QSize(width, 240);
    o.alerts = true;
    o.alertIntervalMs = 30;
    Start(o);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Has(m_owner.drawn, 0) && Has(m_owner.drawn, 2) && m_owner.CountStatus(7) >= 2 &&
                                             m_panel.ranges.size() >= 2; },
                                kWaitMs))
        << magic;
    EXPECT_EQ(std::tuple(m_link->ProtocolVersion(), m_owner.state, Has(m_owner.drawn, 1), m_owner.fieldFlags[0],
                         m_owner.headers.back().width, m_owner.channelCount),
              std::tuple(version, 1, false, 0, width, version == 1 ? -1 : channels))
        << magic;
    // The login and status replies carry the range: in seconds for version 1, as date and time words otherwise.
    using Range = std::array<std::uint32_t, 4>;
    const Range range = version == 1 ? Range{static_cast<std::uint32_t>(from.toSecsSinceEpoch()),
                                             static_cast<std::uint32_t>(to.toSecsSinceEpoch()), 0, 0}
                                     : Range{0x07E80301u, wire::DvrTime{0, 0, 0}.Pack(), wire::DvrDate{2024, 3, 8}.Pack(),
                                             wire::DvrTime{12, 0, 0}.Pack()};
    for (const Range& r : m_panel.ranges) EXPECT_EQ(r, range) << magic;
    const std::uint32_t reporting = m_link->ChannelStatusWord() & 0xFF;
    EXPECT_TRUE(reporting >= 1 && reporting <= 4) << reporting;
  }
  // A version 1 recorder plays all its channels, each picture on its own channel.
  m_panel.archiveMode = true;
  m_link->SendRemoteKey(wire::REMOTE_KEY_PLAY);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Has(m_panel.drawn, 0) && Has(m_panel.drawn, 1) && Has(m_panel.drawn, 2) &&
                                           Has(m_panel.drawn, 3); }, kWaitMs));
  EXPECT_TRUE(std::all_of(m_panel.drawn.begin(), m_panel.drawn.end(), [](int c) { return c < 4; }));
}

// An idle viewer sends only its keep-alive; between two of them its session
// must not be handed to another viewer.
TEST(SimQuietLimit, OutlastsTheViewersKeepAlive) {
  EXPECT_GT(SimOptions{}.replaceQuietAfterMs, LinkTiming{}.keepAliveMs * 11 / 10);
}
