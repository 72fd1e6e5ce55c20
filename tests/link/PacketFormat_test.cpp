#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "link/PacketFormat.h"

using namespace wire;

TEST(PacketFormat, LittleEndianLayoutAndOverlongCredentialsStayTerminatedInTheirFields) {
  PacketInfo info;
  for (std::size_t i = 0; i < 8; ++i) info.w[i] = 0x01020304u * (i + 1);
  const std::uint8_t payload[3] = {0xAA, 0xBB, 0xCC};
  const auto p = BuildPacket(MakeMagic(kMagic12), PacketClass::CameraData, DATATYPE_PTZ_DATA, info, payload);
  ASSERT_EQ(p.size(), 63u);
  EXPECT_EQ(std::tuple(p[16], p[17], p[28], p[31], p[60], p[62]), std::tuple(63, 0, 0x04, 0x01, 0xAA, 0xCC));
  const auto h = PacketHeader::Decode(p.data());
  EXPECT_EQ(std::tuple(h.totalLength, h.packetClass, h.dataType), std::tuple(63u, 3u, DATATYPE_PTZ_DATA));
  EXPECT_EQ(PacketInfo::Decode(p.data() + 28).w, info.w);

  const auto login = BuildLoginPacket(std::string(500, 'u'), std::string(500, 'p'));
  ASSERT_EQ(login.size(), 300u);
  EXPECT_EQ(std::tuple(login[154], login[155], login[298], login[299]), std::tuple('u', 0, 'p', 0));
}

TEST(PacketFormat, MagicMustEndWithinTheHeaderBeforeTheFirstZeroByte) {
  using namespace std::string_literals;
  for (auto [h, found] : {std::pair{"DVR PACKET1.2"s, true}, std::pair{"\0\0\0XXDVR PACKET"s, false},
                          std::pair{"xxxXXDVR PACKET"s, true}, std::pair{std::string(25, 'x') + "DVR PACKETxxxxx", false}}) {
    h.resize(std::max<std::size_t>(h.size(), 28));
    EXPECT_EQ(HasPacketMagic(reinterpret_cast<const std::uint8_t*>(h.data()), h.size()), found) << h;
  }
}
