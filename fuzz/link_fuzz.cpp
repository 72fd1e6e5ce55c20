// Arbitrary bytes through the link's receive path, cut into arbitrary reads,
// with the panel's mode, play state and the recorder's mark choice taken from
// the first input bytes.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/CDvrLink.h"
#include "link/ILinkArchivePanel.h"
#include "support/NullLinkOwner.h"

namespace {

class Owner : public NullLinkOwner {
 public:
  std::uint32_t mask = 0xFF;
  bool alert = true;
  bool UseAlertMode() const override { return alert; }
  std::uint32_t ChannelMask() const override { return mask; }
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header) override {
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
  const std::size_t readSize = 1 + (static_cast<std::size_t>(data[2]) * 37) % CDvrLink::kReceiveChunk;
  CDvrLink link(&owner);
  link.SetEventFilePath(QStringLiteral("/dev/null"));
  link.SetArchivePanel(&panel);
  data += 3;
  size -= 3;
  for (std::size_t at = 0; at < size; at += readSize) {
    link.InjectReceived(data + at, std::min(readSize, size - at));
  }
  return 0;
}
