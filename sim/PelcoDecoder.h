#pragma once
// Reads camera-control byte strings in the two common serial protocols:
// Pelco-D (7 bytes: FF, address, command 1, command 2, pan speed, tilt speed,
// sum of bytes 1..5) and Pelco-P (8 bytes: A0, address, data 1..4, AF, xor of
// bytes 0..6). A string may hold several messages; what is neither is kept raw.

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

struct PtzCommand {
  enum class Protocol { PelcoD, PelcoP, Unknown };
  Protocol protocol = Protocol::Unknown;
  int channel = 0;          // camera channel counted from 1 (Pelco-D address, Pelco-P address + 1)
  int pan = 0;              // -1 left, +1 right
  int tilt = 0;             // -1 down, +1 up
  int zoom = 0;             // -1 wide, +1 tele
  int focus = 0;            // -1 near, +1 far
  int iris = 0;             // -1 close, +1 open
  std::uint8_t otherBits = 0;  // further function bits (camera on/off, scan), as received
  int panSpeed = 0;         // 0..63, 64 for the turbo speed
  int tiltSpeed = 0;        // 0..63
  bool extended = false;    // a preset, pattern or other extended command: not a move
  bool checksumOk = true;
  std::vector<std::uint8_t> bytes;  // the message as received

  bool IsStop() const { return !extended && pan == 0 && tilt == 0 && zoom == 0 && focus == 0 && iris == 0 && otherBits == 0; }
  // What the command asks of the camera, as the log shows it: "stop",
  // "pan left speed 32, tilt up speed 32", "zoom in", "focus far", ...
  QString Describe() const;
};

class PelcoDecoder {
 public:
  static constexpr std::uint8_t kPelcoDSync = 0xFF;
  static constexpr std::uint8_t kPelcoPStart = 0xA0;
  static constexpr std::uint8_t kPelcoPEnd = 0xAF;
  static constexpr std::size_t kPelcoDSize = 7;
  static constexpr std::size_t kPelcoPSize = 8;

  // Splits the bytes into messages; unrecognised runs come back with Protocol::Unknown.
  static std::vector<PtzCommand> Decode(std::span<const std::uint8_t> bytes);

  static std::uint8_t PelcoDChecksum(std::span<const std::uint8_t> message);  // over bytes 1..5
  static std::uint8_t PelcoPChecksum(std::span<const std::uint8_t> message);  // over bytes 0..6
};
