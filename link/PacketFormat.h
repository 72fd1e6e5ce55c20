#pragma once
// The recorder's wire format: a 28-byte header, a 32-byte info block of eight
// words and an optional payload. Every integer is 32-bit little-endian and is
// encoded byte by byte, never by copying a struct onto the wire.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace wire {

constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kInfoSize = 32;
constexpr std::size_t kPacketBaseSize = kHeaderSize + kInfoSize;  // 60: a packet without payload
constexpr std::size_t kMagicSize = 16;
constexpr std::size_t kInfoWords = 8;

constexpr std::size_t kLoginPacketSize = 300;
constexpr std::size_t kLoginBlockSize = 272;
constexpr std::size_t kLoginUserIdOffset = 28;
constexpr std::size_t kLoginUserIdSize = 128;
constexpr std::size_t kLoginPasswordOffset = 156;
constexpr std::size_t kLoginPasswordSize = 144;

// A received packet start is only accepted with a total length in this range.
// The upper bound is far above any picture (at most 220000 pixels) or event
// list a recorder sends, and far below what could exhaust memory.
constexpr std::uint32_t kMinPacketLength = kPacketBaseSize;
constexpr std::uint32_t kMaxPacketLength = 8u * 1024u * 1024u;

// The longest packet the client sends: the send buffer of the design.
constexpr std::size_t kSendBufferSize = 1024;
constexpr std::size_t kMaxPtzBytes = kSendBufferSize - kPacketBaseSize;

constexpr std::string_view kMagicText = "DVR PACKET";
constexpr std::string_view kMagic10 = "DVR PACKET1.0";
constexpr std::string_view kMagic12 = "DVR PACKET1.2";

using Magic = std::array<std::uint8_t, kMagicSize>;

enum class PacketClass : std::uint32_t {
  Command = 1,     // command or reply
  Login = 2,       // the login request
  CameraData = 3,  // camera-control bytes
};

// Data types. Out = sent by the client, In = sent by the recorder.
constexpr std::uint32_t DATATYPE_LOGIN = 0x1001;              // Out
constexpr std::uint32_t DATATYPE_LOGIN_REPLY = 0x1002;        // In
constexpr std::uint32_t DATATYPE_LIVE_REQUEST = 0x1011;       // Out
constexpr std::uint32_t DATATYPE_LIVE_IMAGE = 0x1012;         // In
constexpr std::uint32_t DATATYPE_LIVE_STOP = 0x1013;          // Out
constexpr std::uint32_t DATATYPE_LIVE_STOP_REPLY = 0x1014;    // In
constexpr std::uint32_t DATATYPE_PLAY_REQUEST = 0x1015;       // Out
constexpr std::uint32_t DATATYPE_PLAY_IMAGE = 0x1016;         // In
constexpr std::uint32_t DATATYPE_CHANNEL_STATUS = 0x1036;     // In
constexpr std::uint32_t DATATYPE_PTZ_DATA = 0x1037;           // Out
constexpr std::uint32_t DATATYPE_PTZ_DATA_REPLY = 0x1038;     // In
constexpr std::uint32_t DATATYPE_EVENT_FILE_REQUEST = 0x1041; // Out
constexpr std::uint32_t DATATYPE_EVENT_FILE = 0x1042;         // In
constexpr std::uint32_t DATATYPE_REMOTE_KEY = 0x1043;         // Out
constexpr std::uint32_t DATATYPE_DVR_STATUS2 = 0x1061;        // Out
constexpr std::uint32_t DATATYPE_DVR_STATUS2_REPLY = 0x1062;  // In

// Remote key codes carried by DATATYPE_REMOTE_KEY.
constexpr std::uint16_t REMOTE_KEY_LOGIN = 0xFF20;
constexpr std::uint16_t REMOTE_KEY_PLAY = 0xFF21;
constexpr std::uint16_t REMOTE_KEY_FAST_FORWARD = 0xFF23;
constexpr std::uint16_t REMOTE_KEY_FAST_BACKWARD = 0xFF24;
// True for the keys that start playback on the recorder.
constexpr bool IsPlaybackKey(std::uint16_t key) {
  return key == REMOTE_KEY_PLAY || key == REMOTE_KEY_FAST_FORWARD || key == REMOTE_KEY_FAST_BACKWARD;
}

// Status word (w3) of DATATYPE_PLAY_IMAGE.
constexpr std::uint32_t PLAY_STATUS_ERROR = 0;
constexpr std::uint32_t PLAY_STATUS_IMAGE = 1;
constexpr std::uint32_t PLAY_STATUS_NO_IMAGE = 2;
constexpr std::uint32_t PLAY_STATUS_END = 3;
constexpr std::uint32_t PLAY_STATUS_INVALID_DATE = 4;

inline void PutU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

Magic MakeMagic(std::string_view text);

struct PacketHeader {
  Magic magic{};
  std::uint32_t totalLength = 0;
  std::uint32_t packetClass = 0;
  std::uint32_t dataType = 0;

  void Encode(std::uint8_t* out) const;  // writes kHeaderSize bytes
  static PacketHeader Decode(const std::uint8_t* in);
};

struct PacketInfo {
  std::array<std::uint32_t, kInfoWords> w{};

  void Encode(std::uint8_t* out) const;  // writes kInfoSize bytes
  static PacketInfo Decode(const std::uint8_t* in);
};

// True when "DVR PACKET" occurs in the first 28 bytes before the first zero byte.
bool HasPacketMagic(const std::uint8_t* data, std::size_t size);

// Protocol version from a magic: 1 for "DVR PACKET1.0", 2 for "DVR PACKET1.2", 3 otherwise.
int ProtocolVersionForMagic(const Magic& magic);
constexpr int kInitialProtocolVersion = 2;

bool IsValidPacketClass(std::uint32_t packetClass);
bool IsAcceptableLength(std::uint32_t totalLength);
// True for the data types a recorder sends.
bool IsIncomingDataType(std::uint32_t dataType);

// Channel info of the login reply (low byte of w1): the recorder's channel
// count (1, 8, 16, else 4). The view is given the byte itself.
int ChannelCountForInfo(std::uint8_t channelInfo);
bool ImagesCarryNoMark(std::uint8_t channelInfo);

// A whole packet: header, info block and payload.
std::vector<std::uint8_t> BuildPacket(const Magic& magic, PacketClass packetClass, std::uint32_t dataType,
                                      const PacketInfo& info, std::span<const std::uint8_t> payload = {});

// The 300-byte login request, always with the magic "DVR PACKET1.0". The texts
// are cut so that each stays zero-terminated inside its field.
std::vector<std::uint8_t> BuildLoginPacket(std::string_view userId, std::string_view password);

// Date and time words of protocol versions 2 and 3.
struct DvrDate {
  int year = 0, month = 0, day = 0;
  std::uint32_t Pack() const {
    return static_cast<std::uint32_t>(year) << 16 | static_cast<std::uint32_t>(month & 0xFF) << 8 |
           static_cast<std::uint32_t>(day & 0xFF);
  }
  static DvrDate Unpack(std::uint32_t w) {
    return {static_cast<int>(w >> 16), static_cast<int>((w >> 8) & 0xFF), static_cast<int>(w & 0xFF)};
  }
};

struct DvrTime {
  int hour = 0, minute = 0, second = 0;
  std::uint32_t Pack() const {
    return static_cast<std::uint32_t>(hour & 0xFF) << 24 | static_cast<std::uint32_t>(minute & 0xFF) << 16 |
           static_cast<std::uint32_t>(second & 0xFF) << 8;
  }
  static DvrTime Unpack(std::uint32_t w) {
    return {static_cast<int>(w >> 24), static_cast<int>((w >> 16) & 0xFF), static_cast<int>((w >> 8) & 0xFF)};
  }
};

// Words w2..w5 of the login reply and of DATATYPE_DVR_STATUS2_REPLY. Version 1
// puts seconds since 1970 (local time) in the first two; versions 2 and 3 put
// a DvrDate/DvrTime pair for the first and the last recorded moment.
struct ArchiveRange {
  std::array<std::uint32_t, 4> words{};
};

// First two info words of DATATYPE_PLAY_IMAGE for versions 2 and 3.
struct PlayImageStamp {
  int channel = 1;  // counted from 1
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::uint32_t Word0() const {
    return static_cast<std::uint32_t>(channel & 0xFF) << 24 | static_cast<std::uint32_t>(year & 0xFFFF) << 8 |
           static_cast<std::uint32_t>(month & 0xFF);
  }
  std::uint32_t Word1() const {
    return static_cast<std::uint32_t>(day & 0xFF) << 24 | static_cast<std::uint32_t>(hour & 0xFF) << 16 |
           static_cast<std::uint32_t>(minute & 0xFF) << 8 | static_cast<std::uint32_t>(second & 0xFF);
  }
  static PlayImageStamp FromWords(std::uint32_t w0, std::uint32_t w1) {
    PlayImageStamp s;
    s.channel = static_cast<int>(w0 >> 24);
    s.year = static_cast<int>((w0 >> 8) & 0xFFFF);
    s.month = static_cast<int>(w0 & 0xFF);
    s.day = static_cast<int>(w1 >> 24);
    s.hour = static_cast<int>((w1 >> 16) & 0xFF);
    s.minute = static_cast<int>((w1 >> 8) & 0xFF);
    s.second = static_cast<int>(w1 & 0xFF);
    return s;
  }
};

// Word 3 of a play request: action in bits 8..15, speed 16..23, direction 24..31.
namespace play {
constexpr std::uint32_t kActionStop = 0;
constexpr std::uint32_t kActionStart = 1;
constexpr std::uint32_t kActionChange = 2;
constexpr std::uint32_t kForward = 0;
constexpr std::uint32_t kBackward = 1;
constexpr std::uint32_t Command(std::uint32_t direction, std::uint32_t speed, std::uint32_t action) {
  return (direction & 0xFF) << 24 | (speed & 0xFF) << 16 | (action & 0xFF) << 8;
}
constexpr std::uint32_t ActionOf(std::uint32_t command) { return (command >> 8) & 0xFF; }
constexpr std::uint32_t SpeedOf(std::uint32_t command) { return (command >> 16) & 0xFF; }
constexpr std::uint32_t DirectionOf(std::uint32_t command) { return (command >> 24) & 0xFF; }
}  // namespace play

}  // namespace wire
