#include "sim/PelcoDecoder.h"

#include <QStringList>

namespace {

// Function bits of the first command byte: Pelco-D command 1, Pelco-P data 1.
constexpr std::uint8_t kDFocusNear = 0x01;
constexpr std::uint8_t kDIrisOpen = 0x02;
constexpr std::uint8_t kDIrisClose = 0x04;
constexpr std::uint8_t kDOtherBits = 0xF8;  // camera on/off, scan, sense
constexpr std::uint8_t kPFocusFar = 0x01;
constexpr std::uint8_t kPFocusNear = 0x02;
constexpr std::uint8_t kPIrisOpen = 0x04;
constexpr std::uint8_t kPIrisClose = 0x08;
constexpr std::uint8_t kPOtherBits = 0xF0;  // camera on/off, scan
// Pelco-D carries focus far in the top bit of command 2.
constexpr std::uint8_t kDFocusFar = 0x80;

// Direction bits shared by Pelco-D command 2 and Pelco-P data 2.
constexpr std::uint8_t kRight = 0x02;
constexpr std::uint8_t kLeft = 0x04;
constexpr std::uint8_t kUp = 0x08;
constexpr std::uint8_t kDown = 0x10;
constexpr std::uint8_t kZoomTele = 0x20;
constexpr std::uint8_t kZoomWide = 0x40;
constexpr std::uint8_t kExtendedBit = 0x01;
constexpr int kMaxSpeed = 0x3F;
constexpr int kTurboSpeed = 0x40;

int Direction(std::uint8_t bits, std::uint8_t positive, std::uint8_t negative) {
  return ((bits & positive) ? 1 : 0) - ((bits & negative) ? 1 : 0);
}

void ReadMotion(PtzCommand& c, std::uint8_t bits, std::uint8_t panSpeed, std::uint8_t tiltSpeed) {
  c.extended = (bits & kExtendedBit) != 0;
  if (c.extended) return;
  c.pan = Direction(bits, kRight, kLeft);
  c.tilt = Direction(bits, kUp, kDown);
  c.zoom = Direction(bits, kZoomTele, kZoomWide);
  c.panSpeed = panSpeed > kMaxSpeed ? kTurboSpeed : panSpeed;
  c.tiltSpeed = tiltSpeed > kMaxSpeed ? kMaxSpeed : tiltSpeed;
}

}  // namespace

QString PtzCommand::Describe() const {
  if (extended) return "extended command";
  if (IsStop()) return "stop";
  QStringList parts;
  if (pan) parts << QString("pan %1 speed %2").arg(pan > 0 ? "right" : "left").arg(panSpeed);
  if (tilt) parts << QString("tilt %1 speed %2").arg(tilt > 0 ? "up" : "down").arg(tiltSpeed);
  if (zoom) parts << QString("zoom %1").arg(zoom > 0 ? "in" : "out");
  if (focus) parts << QString("focus %1").arg(focus > 0 ? "far" : "near");
  if (iris) parts << QString("iris %1").arg(iris > 0 ? "open" : "close");
  if (otherBits) parts << QString("function bits 0x%1").arg(otherBits, 2, 16, QChar('0'));
  return parts.join(", ");
}

std::uint8_t PelcoDecoder::PelcoDChecksum(std::span<const std::uint8_t> m) {
  unsigned sum = 0;
  for (std::size_t i = 1; i <= 5 && i < m.size(); ++i) sum += m[i];
  return static_cast<std::uint8_t>(sum);
}

std::uint8_t PelcoDecoder::PelcoPChecksum(std::span<const std::uint8_t> m) {
  std::uint8_t x = 0;
  for (std::size_t i = 0; i <= 6 && i < m.size(); ++i) x ^= m[i];
  return x;
}

std::vector<PtzCommand> PelcoDecoder::Decode(std::span<const std::uint8_t> bytes) {
  std::vector<PtzCommand> out;
  std::vector<std::uint8_t> raw;
  auto flushRaw = [&] {
    if (raw.empty()) return;
    PtzCommand c;
    c.bytes = std::move(raw);
    raw.clear();
    out.push_back(std::move(c));
  };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto rest = bytes.subspan(i);
    if (rest[0] == kPelcoDSync && rest.size() >= kPelcoDSize) {
      flushRaw();
      PtzCommand c;
      c.protocol = PtzCommand::Protocol::PelcoD;
      c.bytes.assign(rest.begin(), rest.begin() + kPelcoDSize);
      c.channel = rest[1];
      c.checksumOk = PelcoDChecksum(rest) == rest[6];
      ReadMotion(c, rest[3], rest[4], rest[5]);
      if (!c.extended) {
        c.focus = ((rest[3] & kDFocusFar) ? 1 : 0) - ((rest[2] & kDFocusNear) ? 1 : 0);
        c.iris = Direction(rest[2], kDIrisOpen, kDIrisClose);
        c.otherBits = rest[2] & kDOtherBits;
      }
      out.push_back(std::move(c));
      i += kPelcoDSize;
    } else if (rest[0] == kPelcoPStart && rest.size() >= kPelcoPSize && rest[6] == kPelcoPEnd) {
      flushRaw();
      PtzCommand c;
      c.protocol = PtzCommand::Protocol::PelcoP;
      c.bytes.assign(rest.begin(), rest.begin() + kPelcoPSize);
      c.channel = rest[1] + 1;
      c.checksumOk = PelcoPChecksum(rest) == rest[7];
      ReadMotion(c, rest[3], rest[4], rest[5]);
      if (!c.extended) {
        c.focus = Direction(rest[2], kPFocusFar, kPFocusNear);
        c.iris = Direction(rest[2], kPIrisOpen, kPIrisClose);
        c.otherBits = rest[2] & kPOtherBits;
      }
      out.push_back(std::move(c));
      i += kPelcoPSize;
    } else {
      raw.push_back(rest[0]);
      ++i;
    }
  }
  flushRaw();
  return out;
}
