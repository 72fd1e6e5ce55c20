// The simulated recorder seen from a raw client on loopback: login, protocol
// version, archive range, one client at a time, live pictures and live stop.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <set>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimRecorderThread.h"
#include "sim/SimTestClient.h"

namespace {

SimOptions FastOptions() {
  SimOptions o;
  o.listenAddress = QHostAddress(QHostAddress::LocalHost);
  o.fps = 25;
  o.archiveFrom = QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0));
  o.archiveTo = QDateTime(QDate(2024, 3, 8), QTime(12, 0, 0));
  return o;
}

std::string MagicOf(const ReceivedPacket& p) {
  return std::string(reinterpret_cast<const char*>(p.header.magic.data()));
}

// Reads live pictures until one of the channel arrives.
std::optional<ReceivedPacket> NextLive(SimTestClient& client) { return client.WaitFor(wire::DATATYPE_LIVE_IMAGE); }

}  // namespace

TEST(SimRecorder, StartsOnAnEphemeralLoopbackPortAndStops) {
  SimRecorder recorder(FastOptions());
  const quint16 port = recorder.Start(0);
  ASSERT_NE(port, 0);
  EXPECT_TRUE(recorder.IsListening());
  EXPECT_EQ(recorder.Port(), port);
  recorder.Stop();
  EXPECT_FALSE(recorder.IsListening());
  EXPECT_EQ(recorder.Port(), 0);
}

TEST(SimRecorder, PortInUseIsReportedAsFailure) {
  SimRecorder first(FastOptions());
  const quint16 port = first.Start(0);
  ASSERT_NE(port, 0);
  SimRecorder second(FastOptions());
  EXPECT_EQ(second.Start(port), 0);
  EXPECT_FALSE(second.ErrorString().isEmpty());
}

TEST(SimRecorder, LoginWithTheDefaultUserIsAcceptedWithChannelByteAndRange) {
  SimRecorder recorder(FastOptions());
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  const auto reply = client.Login();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->header.totalLength, wire::kPacketBaseSize);
  EXPECT_EQ(reply->header.packetClass, 1u);
  EXPECT_EQ(MagicOf(*reply), "DVR PACKET1.2");
  EXPECT_EQ(reply->info.w[0], 1u);
  EXPECT_EQ(reply->info.w[1], 4u);
  EXPECT_EQ(reply->info.w[2], wire::DvrDate({2024, 3, 1}).Pack());
  EXPECT_EQ(reply->info.w[3], wire::DvrTime({0, 0, 0}).Pack());
  EXPECT_EQ(reply->info.w[4], wire::DvrDate({2024, 3, 8}).Pack());
  EXPECT_EQ(reply->info.w[5], wire::DvrTime({12, 0, 0}).Pack());
  EXPECT_EQ(recorder.Counters().loginsAccepted, 1);
}

TEST(SimRecorder, WrongPasswordOrUnknownUserIsRejectedAndClosed) {
  for (const auto& [user, password] : {std::pair{"admin", "2"}, std::pair{"guest", "1"}}) {
    SimRecorder recorder(FastOptions());
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    const auto reply = client.Login(user, password);
    ASSERT_TRUE(reply) << user;
    EXPECT_EQ(reply->info.w[0], 0u) << user;
    EXPECT_TRUE(client.WaitForDisconnect()) << user;
    EXPECT_EQ(recorder.Counters().loginsRejected, 1);
  }
}

TEST(SimRecorder, UsersFromTheOptionsReplaceTheDefault) {
  SimOptions o = FastOptions();
  o.users = {{"operator", "secret"}};
  SimRecorder recorder(o);
  const quint16 port = recorder.Start(0);
  {
    SimTestClient client;
    ASSERT_TRUE(client.Connect(port));
    EXPECT_EQ(client.Login()->info.w[0], 0u);
    ASSERT_TRUE(client.WaitForDisconnect());
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.HasClient(); }, 1000));
  SimTestClient client;
  ASSERT_TRUE(client.Connect(port));
  EXPECT_EQ(client.Login("operator", "secret")->info.w[0], 1u);
}

TEST(SimRecorder, MagicPicksTheVersionAndItsRangeEncoding) {
  struct Case {
    QString version;
    const char* magic;
    int protocol;
  };
  for (const Case& c : {Case{"1.0", "DVR PACKET1.0", 1}, Case{"1.2", "DVR PACKET1.2", 2}, Case{"2.0", "DVR PACKET2.0", 3}}) {
    SimOptions o = FastOptions();
    o.magicVersion = c.version;
    SimRecorder recorder(o);
    EXPECT_EQ(recorder.ProtocolVersion(), c.protocol);
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    const auto reply = client.Login();
    ASSERT_TRUE(reply);
    EXPECT_EQ(MagicOf(*reply), c.magic);
    if (c.protocol == 1) {
      EXPECT_EQ(reply->info.w[2], static_cast<std::uint32_t>(o.archiveFrom.toSecsSinceEpoch()));
      EXPECT_EQ(reply->info.w[3], static_cast<std::uint32_t>(o.archiveTo.toSecsSinceEpoch()));
      EXPECT_EQ(reply->info.w[4], 0u);
    } else {
      EXPECT_EQ(reply->info.w[2], 0x07E80301u);
    }
    // The status reply carries the same range.
    client.Send(wire::DATATYPE_DVR_STATUS2);
    const auto status = client.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY);
    ASSERT_TRUE(status);
    for (int w = 2; w <= 5; ++w) EXPECT_EQ(status->info.w[w], reply->info.w[w]) << c.magic << " w" << w;
  }
}

TEST(SimRecorder, DefaultArchiveIsTheLastSevenDaysEndingNow) {
  SimOptions o = FastOptions();
  o.archiveFrom = {};
  SimRecorder recorder(o);
  const QDateTime now = QDateTime::currentDateTime();
  EXPECT_LE(std::abs(recorder.Archive().Last().secsTo(now)), 2);
  EXPECT_EQ(recorder.Archive().First().daysTo(recorder.Archive().Last()), 7);
}

TEST(SimRecorder, ChannelByteComesFromTheOptions) {
  for (int channels : {1, 4, 8, 16}) {
    SimOptions o = FastOptions();
    o.channelInfo = channels;
    SimRecorder recorder(o);
    SimTestClient client;
    ASSERT_TRUE(client.Connect(recorder.Start(0)));
    EXPECT_EQ(client.Login()->info.w[1], static_cast<std::uint32_t>(channels));
  }
}

TEST(SimRecorder, PacketsBeforeLoginAreIgnored) {
  SimRecorder recorder(FastOptions());
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  client.Send(wire::DATATYPE_DVR_STATUS2);
  client.RequestLive(0x1);
  EXPECT_FALSE(client.Next(300));
  EXPECT_EQ(recorder.Counters().livePicturesSent, 0u);
}

TEST(SimRecorder, SecondClientIsRefusedWhileOneIsConnected) {
  SimRecorder recorder(FastOptions());
  const quint16 port = recorder.Start(0);
  SimTestClient first;
  ASSERT_TRUE(first.Connect(port));
  ASSERT_TRUE(first.Login());
  SimTestClient second;
  second.Connect(port);
  EXPECT_TRUE(second.WaitForDisconnect());
  EXPECT_EQ(recorder.Counters().connectionsRefused, 1);
  // The first client is still served.
  first.Send(wire::DATATYPE_DVR_STATUS2);
  EXPECT_TRUE(first.WaitFor(wire::DATATYPE_DVR_STATUS2_REPLY));
  // Once it leaves, a new client gets in.
  first.Socket().disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.HasClient(); }, 2000));
  SimTestClient third;
  ASSERT_TRUE(third.Connect(port));
  EXPECT_TRUE(third.Login());
}

TEST(SimRecorder, LivePicturesOfTheMaskDecodeWithTheirChannelMarks) {
  SimRecorder recorder(FastOptions());
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x0B);  // channels 1, 2 and 4
  std::set<int> seen;
  CImageCodec codec;
  for (int i = 0; i < 9; ++i) {
    const auto p = NextLive(client);
    ASSERT_TRUE(p);
    const int channel = static_cast<int>(p->info.w[3]);
    seen.insert(channel);
    EXPECT_GT(p->payload.size(), 3072u);  // never too small for one chunk
    EXPECT_EQ(p->header.totalLength, wire::kPacketBaseSize + p->payload.size());
    EXPECT_LE(p->info.w[0], 1000000u);
    EXPECT_LE(p->info.w[4], 1000000u);
    EXPECT_GT(p->info.w[4], 0u);
    ASSERT_GE(p->payload.size(), 4u);
    EXPECT_EQ(p->payload[0], 0xFF);
    EXPECT_EQ(p->payload[1], 0xD8);
    EXPECT_EQ(p->payload[3], 0xE0);  // JFIF, as the client expects
    EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), channel - 1);
    EXPECT_EQ(codec.FieldFlag(), 0);
    EXPECT_EQ(codec.Header().width, 704);
    EXPECT_EQ(codec.Header().height, 288);
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 4}));
}

TEST(SimRecorder, EveryChannelUpToEightCarriesItsMarkAndColour) {
  SimOptions o = FastOptions();
  o.channelInfo = 16;
  o.fps = 50;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0xFF);
  CImageCodec codec;
  std::set<int> seen;
  for (int i = 0; i < 24 && seen.size() < 8; ++i) {
    const auto p = NextLive(client);
    ASSERT_TRUE(p);
    const int channel = static_cast<int>(p->info.w[3]);
    ASSERT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), channel - 1);
    // Sky in the channel's colour just under the overlays, at the centre column.
    const auto& h = codec.Header();
    const int storedRow = h.height - 1 - 60;
    const std::uint8_t* px = codec.Pixels() + storedRow * h.Stride() + 3 * (h.width / 2 + 40);
    const QColor expected = SimScene::ChannelColour(channel);
    EXPECT_NEAR(px[2], expected.red(), 30) << channel;
    EXPECT_NEAR(px[1], expected.green(), 30) << channel;
    EXPECT_NEAR(px[0], expected.blue(), 30) << channel;
    seen.insert(channel);
  }
  EXPECT_EQ(seen.size(), 8u);
}

TEST(SimRecorder, LivePacesAtTheFrameRateAndPicturesChange) {
  SimOptions o = FastOptions();
  o.fps = 20;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  QSignalSpy spy(&recorder, &SimRecorder::PictureSent);
  client.RequestLive(0x1);
  const auto first = NextLive(client);
  QTest::qWait(500);
  // 20 per second: about 10 in half a second (generous bounds for a loaded machine).
  EXPECT_GE(spy.count(), 4);
  EXPECT_LE(spy.count(), 13);
  const auto later = NextLive(client);
  ASSERT_TRUE(first && later);
  EXPECT_NE(first->payload, later->payload);  // the clock and the ball move
  EXPECT_GT(later->info.w[1], first->info.w[1]);
}

TEST(SimRecorder, LiveStopEndsTheStreamAndIsConfirmed) {
  SimRecorder recorder(FastOptions());
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x3);
  ASSERT_TRUE(NextLive(client));
  wire::PacketInfo stop;
  stop.w[0] = 1;
  client.Send(wire::DATATYPE_LIVE_STOP, stop);
  const auto reply = client.WaitFor(wire::DATATYPE_LIVE_STOP_REPLY);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->info.w[0], 1u);
  const auto sent = recorder.Counters().livePicturesSent;
  QTest::qWait(200);
  EXPECT_EQ(recorder.Counters().livePicturesSent, sent);
  // Nothing but what was already in flight.
  while (auto p = client.Next(50)) EXPECT_EQ(p->header.dataType, wire::DATATYPE_LIVE_IMAGE);
}

TEST(SimRecorder, MaskBeyondTheChannelCountIsCutAndEmptyMaskUsesTheSelectedChannel) {
  SimOptions o = FastOptions();
  o.channelInfo = 1;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x0E);  // channels 2..4 do not exist here
  EXPECT_FALSE(client.WaitFor(wire::DATATYPE_LIVE_IMAGE, 300));
  client.RequestLive(0x0, 1);
  const auto p = NextLive(client);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], 1u);
}

TEST(SimRecorder, NoMarkRecordersPaintOnlyTheIndexBars) {
  SimOptions o = FastOptions();
  o.channelInfo = 8;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x80);  // channel 8
  const auto p = NextLive(client);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], 8u);
  CImageCodec codec;
  EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 0);  // all fields dark
  EXPECT_EQ(codec.FieldFlag(), 0);
}

TEST(SimRecorder, SmallPicturesAndInvertedMarks) {
  SimOptions o = FastOptions();
  o.pictureSize = QSize(352, 240);
  o.invertMarks = true;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x2);
  const auto p = NextLive(client);
  ASSERT_TRUE(p);
  CImageCodec codec;
  codec.Decode(p->payload.data(), p->payload.size(), false);
  EXPECT_EQ(codec.Header().width, 352);
  EXPECT_EQ(codec.Header().height, 240);
  EXPECT_EQ(codec.FieldFlag(), 0);

  SimOptions wide = FastOptions();
  wide.invertMarks = true;
  SimRecorder inverted(wide);
  SimTestClient other;
  ASSERT_TRUE(other.Connect(inverted.Start(0)));
  ASSERT_TRUE(other.Login());
  other.RequestLive(0x4);  // channel 3: b, c, d = 0, 1, 0 painted inverted with sel
  const auto q = NextLive(other);
  ASSERT_TRUE(q);
  EXPECT_EQ(codec.Decode(q->payload.data(), q->payload.size(), false), 2);
}

TEST(SimRecorder, AlertsSendChannelStatusReportsForChannelsOneToFour) {
  SimOptions o = FastOptions();
  o.alerts = true;
  o.alertIntervalMs = 20;
  o.channelInfo = 16;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  std::set<std::uint32_t> channels;
  bool sawAlarm = false, sawMotion = false;
  for (int i = 0; i < 12; ++i) {
    const auto p = client.WaitFor(wire::DATATYPE_CHANNEL_STATUS);
    ASSERT_TRUE(p);
    channels.insert(p->info.w[0]);
    EXPECT_EQ(p->info.w[1] & 0xFF, 0u);
    EXPECT_LE((p->info.w[1] >> 24) & 0xFF, 1u);
    EXPECT_LE((p->info.w[1] >> 16) & 0xFF, 1u);
    EXPECT_LE((p->info.w[1] >> 8) & 0xFF, 1u);
    sawAlarm |= ((p->info.w[1] >> 24) & 0xFF) != 0;
    sawMotion |= ((p->info.w[1] >> 8) & 0xFF) != 0;
  }
  EXPECT_EQ(channels, (std::set<std::uint32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(sawAlarm);
  EXPECT_TRUE(sawMotion);
}

TEST(SimRecorder, NoStatusReportsWithoutAlerts) {
  SimOptions o = FastOptions();
  o.alertIntervalMs = 20;
  SimRecorder recorder(o);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login());
  EXPECT_FALSE(client.WaitFor(wire::DATATYPE_CHANNEL_STATUS, 200));
}

TEST(SimRecorder, LogsAReadableLinePerPacketAndStateChange) {
  SimOptions o = FastOptions();
  o.users = {{"admin", "s3cr3t"}};
  SimRecorder recorder(o);
  QStringList lines;
  QObject::connect(&recorder, &SimRecorder::LogLine, [&](const QString& l) { lines << l; });
  SimTestClient client;
  ASSERT_TRUE(client.Connect(recorder.Start(0)));
  ASSERT_TRUE(client.Login("admin", "s3cr3t"));
  client.RequestLive(0x1);
  ASSERT_TRUE(client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  const QString all = lines.join('\n');
  EXPECT_TRUE(all.contains("listening on 127.0.0.1:"));
  EXPECT_TRUE(all.contains("connected"));
  EXPECT_TRUE(all.contains("recv LOGIN user \"admin\": accepted"));
  EXPECT_TRUE(all.contains("recv LIVE_REQUEST"));
  EXPECT_TRUE(all.contains("live: streaming channel(s) 1"));
  EXPECT_FALSE(all.contains("s3cr3t"));  // passwords are never logged
}

TEST(SimRecorder, RunsOnAThreadOfItsOwn) {
  SimRecorderThread host(FastOptions());
  const quint16 port = host.Start(0);
  ASSERT_NE(port, 0);
  ASSERT_NE(host.Recorder(), nullptr);
  QSignalSpy pictures(host.Recorder(), &SimRecorder::PictureSent);
  SimTestClient client;
  ASSERT_TRUE(client.Connect(port));
  ASSERT_TRUE(client.Login());
  client.RequestLive(0x1);
  CImageCodec codec;
  const auto p = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  ASSERT_TRUE(p);
  EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return pictures.count() > 0; }, 2000));  // queued into this thread
}
