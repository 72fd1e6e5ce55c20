#include "link/PacketFormat.h"

#include <algorithm>

namespace wire {

Magic MakeMagic(std::string_view text) {
  Magic magic{};
  const std::size_t n = std::min(text.size(), kMagicSize);
  std::copy_n(text.begin(), n, magic.begin());
  return magic;
}

void PacketHeader::Encode(std::uint8_t* out) const {
  std::copy(magic.begin(), magic.end(), out);
  PutU32(out + 16, totalLength);
  PutU32(out + 20, packetClass);
  PutU32(out + 24, dataType);
}

PacketHeader PacketHeader::Decode(const std::uint8_t* in) {
  PacketHeader h;
  std::copy_n(in, kMagicSize, h.magic.begin());
  h.totalLength = GetU32(in + 16);
  h.packetClass = GetU32(in + 20);
  h.dataType = GetU32(in + 24);
  return h;
}

void PacketInfo::Encode(std::uint8_t* out) const {
  for (std::size_t i = 0; i < kInfoWords; ++i) PutU32(out + 4 * i, w[i]);
}

PacketInfo PacketInfo::Decode(const std::uint8_t* in) {
  PacketInfo info;
  for (std::size_t i = 0; i < kInfoWords; ++i) info.w[i] = GetU32(in + 4 * i);
  return info;
}

bool HasPacketMagic(const std::uint8_t* data, std::size_t size) {
  const std::size_t n = std::min(size, kHeaderSize);
  const auto* end = std::find(data, data + n, std::uint8_t{0});
  const std::string_view text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(end - data));
  return text.find(kMagicText) != std::string_view::npos;
}

int ProtocolVersionForMagic(const Magic& magic) {
  const auto* end = std::find(magic.begin(), magic.end(), std::uint8_t{0});
  const std::string_view text(reinterpret_cast<const char*>(magic.data()),
                              static_cast<std::size_t>(end - magic.begin()));
  if (text == kMagic10) return 1;
  if (text == kMagic12) return 2;
  return 3;
}

bool IsValidPacketClass(std::uint32_t packetClass) { return packetClass >= 1 && packetClass <= 3; }

bool IsAcceptableLength(std::uint32_t totalLength) {
  return totalLength >= kMinPacketLength && totalLength <= kMaxPacketLength;
}

bool IsIncomingDataType(std::uint32_t dataType) {
  switch (dataType) {
    case DATATYPE_LOGIN_REPLY:
    case DATATYPE_LIVE_IMAGE:
    case DATATYPE_LIVE_STOP_REPLY:
    case DATATYPE_PLAY_IMAGE:
    case DATATYPE_CHANNEL_STATUS:
    case DATATYPE_PTZ_DATA_REPLY:
    case DATATYPE_EVENT_FILE:
    case DATATYPE_DVR_STATUS2_REPLY:
      return true;
    default:
      return false;
  }
}

int ChannelCountForInfo(std::uint8_t channelInfo) {
  switch (channelInfo) {
    case 1: return 1;
    case 8: return 8;
    case 16: return 16;
    default: return 4;
  }
}

bool ImagesCarryNoMark(std::uint8_t channelInfo) {
  return channelInfo != 0 && channelInfo != 4 && channelInfo != 16;
}

std::vector<std::uint8_t> BuildPacket(const Magic& magic, PacketClass packetClass, std::uint32_t dataType,
                                      const PacketInfo& info, std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> packet(kPacketBaseSize + payload.size());
  PacketHeader header;
  header.magic = magic;
  header.totalLength = static_cast<std::uint32_t>(packet.size());
  header.packetClass = static_cast<std::uint32_t>(packetClass);
  header.dataType = dataType;
  header.Encode(packet.data());
  info.Encode(packet.data() + kHeaderSize);
  std::copy(payload.begin(), payload.end(), packet.begin() + kPacketBaseSize);
  return packet;
}

std::vector<std::uint8_t> BuildLoginPacket(std::string_view userId, std::string_view password) {
  std::vector<std::uint8_t> packet(kLoginPacketSize, 0);
  PacketHeader header;
  header.magic = MakeMagic(kMagic10);
  header.totalLength = static_cast<std::uint32_t>(kLoginPacketSize);
  header.packetClass = static_cast<std::uint32_t>(PacketClass::Login);
  header.dataType = DATATYPE_LOGIN;
  header.Encode(packet.data());
  const std::size_t idLength = std::min(userId.size(), kLoginUserIdSize - 1);
  std::copy_n(userId.begin(), idLength, packet.begin() + kLoginUserIdOffset);
  const std::size_t pwLength = std::min(password.size(), kLoginPasswordSize - 1);
  std::copy_n(password.begin(), pwLength, packet.begin() + kLoginPasswordOffset);
  return packet;
}

}  // namespace wire
