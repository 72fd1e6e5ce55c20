// Arbitrary bytes through the link's receive path, cut into arbitrary reads,
// with the panel's mode, play state and the recorder's mark choice taken from
// the first input bytes. The same reads also go through the stream parser
// alone, which must account for every byte exactly once.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/CDvrLink.h"
#include "link/ILinkArchivePanel.h"
#include "link/StreamAssembler.h"
#include "bench/NullLinkOwner.h"

namespace {

class Owner : public NullLinkOwner {
 public:
  std::uint32_t mask = 0xFF;
  bool alert = true;
  bool UseAlertMode() const override { return alert; }
  std::uint32_t ChannelMask() const override { return mask; }
  QSize decodeSize;  // empty: full-size pictures; else scaled down to about this
  QSize LiveDecodeSize(int) const override { return decodeSize; }
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header, QSize) override {
    // Touch the first and last byte the header promises: the sanitizer checks the promise.
    if (pixels && header.imageSize > 0) sink ^= pixels[0] ^ pixels[header.imageSize - 1];
    sink ^= static_cast<std::uint8_t>(channel);
  }
  std::uint8_t sink = 0;
};

class Panel : public ILinkArchivePanel {
 public:
  bool archive = false;
  std::uint16_t state = 0;
  bool IsArchiveMode() const override { return archive; }
  std::uint16_t PlayState() const override { return state; }
  void SetArchiveRange(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override {}
  void ShowPlayImageTime(std::uint32_t, std::uint32_t, int) override {}
  void ShowPlayPosition(std::uint32_t) override {}
  void ShowPlayResult(int) override {}
  bool IsSearchingShown() const override { return true; }
  void ClearSearchingFlag() override {}
  void ShowSearchText(const QString&) override {}
  void SetPlayImage(int, const std::uint8_t* pixels, const BitmapInfoHeader& header, std::uint8_t) override {
    if (pixels && header.imageSize > 0) sink ^= pixels[header.imageSize - 1];
  }
  void DrawPlayImage(int) override {}
  void ToggleActivity() override {}
  void EventFileArrived() override {}
  std::uint8_t sink = 0;
};

// Each read's pieces follow one another without gap or overlap and, with the
// bytes held back for the next read, add up to the bytes carried in plus the read.
void CheckStreamPieces(const std::uint8_t* data, std::size_t size, std::size_t readSize) {
  using Kind = StreamAssembler::PieceKind;
  StreamAssembler stream;
  for (std::size_t at = 0; at < size; at += readSize) {
    const std::size_t n = std::min(readSize, size - at);
    const std::size_t carried = stream.HeldBack();
    stream.Begin(data + at, n);
    StreamAssembler::Piece piece;
    std::size_t walked = 0;
    const std::uint8_t* next = nullptr;
    while (stream.Next(piece)) {
      if (next && piece.data != next) __builtin_trap();
      if (piece.kind == Kind::PacketStart && piece.size != wire::kPacketBaseSize) __builtin_trap();
      if ((piece.kind == Kind::Cut) != (piece.size == 0)) __builtin_trap();
      // Drop some packets as the link does, from a bit of their info block.
      if (piece.kind == Kind::PacketStart && (piece.data[wire::kHeaderSize] & 1)) stream.SkipRestOfPacket();
      walked += piece.size;
      next = piece.data + piece.size;
    }
    if (walked + stream.HeldBack() != carried + n || stream.HeldBack() >= wire::kPacketBaseSize) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  Owner owner;
  Panel panel;
  owner.mask = data[0];
  owner.alert = data[1] & 1;
  panel.archive = data[1] & 2;
  panel.state = (data[1] & 4) ? 0x0001 : 0;
  // Live pictures also decoded scaled down, for a pane such as a four- or nine-pane layout's.
  if (data[1] & 8) owner.decodeSize = (data[1] & 16) ? QSize(318, 119) : QSize(16, 8);
  const std::size_t readSize = 1 + (static_cast<std::size_t>(data[2]) * 37) % CDvrLink::kReceiveChunk;
  CDvrLink link(&owner);
  link.SetEventFilePath(QStringLiteral("/dev/null"));
  link.SetArchivePanel(&panel);
  data += 3;
  size -= 3;
  for (std::size_t at = 0; at < size; at += readSize) {
    link.InjectReceived(data + at, std::min(readSize, size - at));
  }
  CheckStreamPieces(data, size, readSize);
  return 0;
}
