#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "link/PacketFormat.h"

using namespace wire;

TEST(PacketFormat, OverlongCredentialsStayTerminatedInTheirFields) {
  const auto p = BuildLoginPacket(std::string(500, 'u'), std::string(500, 'p'));
  ASSERT_EQ(p.size(), 300u);
  EXPECT_EQ(p[155], 0);
  EXPECT_EQ(p[154], 'u');
  EXPECT_EQ(p[299], 0);
  EXPECT_EQ(p[298], 'p');
}

TEST(PacketFormat, HeaderAndInfoRoundTripLittleEndian) {
  PacketInfo info;
  for (std::size_t i = 0; i < 8; ++i) info.w[i] = 0x01020304u * (i + 1);
  const std::uint8_t payload[3] = {0xAA, 0xBB, 0xCC};
  const auto p = BuildPacket(MakeMagic(kMagic12), PacketClass::CameraData, DATATYPE_PTZ_DATA, info, payload);
  ASSERT_EQ(p.size(), 63u);
  EXPECT_EQ(p[16], 63);
  EXPECT_EQ(p[17], 0);
  EXPECT_EQ(p[28], 0x04);
  EXPECT_EQ(p[31], 0x01);
  const auto h = PacketHeader::Decode(p.data());
  EXPECT_EQ(h.totalLength, 63u);
  EXPECT_EQ(h.packetClass, 3u);
  EXPECT_EQ(h.dataType, DATATYPE_PTZ_DATA);
  EXPECT_EQ(PacketInfo::Decode(p.data() + 28).w, info.w);
  EXPECT_EQ(p[60], 0xAA);
  EXPECT_EQ(p[62], 0xCC);
}

TEST(PacketFormat, MagicMustPrecedeTheFirstZeroByte) {
  std::uint8_t h[28] = {};
  std::memcpy(h, "DVR PACKET1.2", 13);
  EXPECT_TRUE(HasPacketMagic(h, 28));
  std::uint8_t shifted[28] = {};
  std::memcpy(shifted + 3, "XXDVR PACKET", 12);
  EXPECT_FALSE(HasPacketMagic(shifted, 28));  // a zero byte comes first
  std::memset(shifted, 'x', 3);
  EXPECT_TRUE(HasPacketMagic(shifted, 28));
  std::uint8_t late[40];
  std::memset(late, 'x', sizeof late);
  std::memcpy(late + 25, "DVR PACKET", 10);  // extends past byte 28
  EXPECT_FALSE(HasPacketMagic(late, sizeof late));
}

TEST(PacketFormat, DateTimeAndStampWords) {
  EXPECT_EQ((DvrDate{2005, 1, 31}.Pack()), 0x07D5011Fu);
  EXPECT_EQ((DvrTime{23, 0, 0}.Pack()), 0x17000000u);
  const auto t = DvrTime::Unpack(0x0C1E2D00);
  EXPECT_EQ(std::tuple(t.hour, t.minute, t.second), std::tuple(12, 30, 45));
  PlayImageStamp s{3, 2005, 5, 17, 13, 4, 59};
  const auto back = PlayImageStamp::FromWords(s.Word0(), s.Word1());
  EXPECT_EQ(std::tuple(back.channel, back.year, back.second), std::tuple(3, 2005, 59));
  EXPECT_EQ(play::Command(play::kForward, 4, play::kActionChange), 0x00040200u);
}
