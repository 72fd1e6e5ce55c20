#include <gtest/gtest.h>

#include "link/PacketFormat.h"

#include <cstring>
#include <string>

using namespace wire;

TEST(PacketFormat, LoginPacketLayout) {
  const auto p = BuildLoginPacket("admin", "1");
  ASSERT_EQ(p.size(), 300u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.data())), "DVR PACKET1.0");
  EXPECT_EQ(GetU32(&p[16]), 300u);
  EXPECT_EQ(GetU32(&p[20]), 2u);
  EXPECT_EQ(GetU32(&p[24]), DATATYPE_LOGIN);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[28])), "admin");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[156])), "1");
  for (std::size_t i = 28 + 5; i < 156; ++i) ASSERT_EQ(p[i], 0) << i;
}

TEST(PacketFormat, OverlongCredentialsStayTerminatedInTheirFields) {
  const std::string id(500, 'u'), pw(500, 'p');
  const auto p = BuildLoginPacket(id, pw);
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

TEST(PacketFormat, VersionAndChannelInfo) {
  EXPECT_EQ(ProtocolVersionForMagic(MakeMagic("DVR PACKET1.0")), 1);
  EXPECT_EQ(ProtocolVersionForMagic(MakeMagic("DVR PACKET1.2")), 2);
  EXPECT_EQ(ProtocolVersionForMagic(MakeMagic("DVR PACKET2.0")), 3);
  EXPECT_EQ(ProtocolVersionForMagic(MakeMagic("")), 3);
  EXPECT_EQ(ChannelCountForInfo(0), 4);
  EXPECT_EQ(ChannelCountForInfo(8), 8);
  EXPECT_EQ(ChannelCountForInfo(16), 16);
  EXPECT_EQ(ChannelCountForInfo(1), 1);
  EXPECT_FALSE(ImagesCarryNoMark(0));
  EXPECT_FALSE(ImagesCarryNoMark(4));
  EXPECT_FALSE(ImagesCarryNoMark(16));
  EXPECT_TRUE(ImagesCarryNoMark(8));
  EXPECT_TRUE(ImagesCarryNoMark(1));
}

TEST(PacketFormat, DateTimeAndStampWords) {
  EXPECT_EQ((DvrDate{2005, 1, 31}.Pack()), 0x07D5011Fu);
  EXPECT_EQ((DvrTime{23, 0, 0}.Pack()), 0x17000000u);
  const auto t = DvrTime::Unpack(0x0C1E2D00);
  EXPECT_EQ(t.hour, 12);
  EXPECT_EQ(t.minute, 30);
  EXPECT_EQ(t.second, 45);
  PlayImageStamp s{3, 2005, 5, 17, 13, 4, 59};
  const auto back = PlayImageStamp::FromWords(s.Word0(), s.Word1());
  EXPECT_EQ(back.channel, 3);
  EXPECT_EQ(back.year, 2005);
  EXPECT_EQ(back.second, 59);
  EXPECT_EQ(play::Command(play::kForward, 4, play::kActionChange), 0x00040200u);
}

TEST(PacketFormat, LengthAndClassBounds) {
  EXPECT_FALSE(IsAcceptableLength(0));
  EXPECT_FALSE(IsAcceptableLength(59));
  EXPECT_TRUE(IsAcceptableLength(60));
  EXPECT_TRUE(IsAcceptableLength(kMaxPacketLength));
  EXPECT_FALSE(IsAcceptableLength(0x80000000u));
  EXPECT_FALSE(IsValidPacketClass(0));
  EXPECT_TRUE(IsValidPacketClass(3));
  EXPECT_FALSE(IsValidPacketClass(4));
}
