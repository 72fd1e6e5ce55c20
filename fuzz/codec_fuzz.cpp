// Arbitrary bytes through CImageCodec::Decode, with and without the marks,
// on a fresh decoder and on one that lives across inputs as the link's does.
// The holder copy that follows checks that the header describes the pixels.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/CImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CImageCodec lasting;
  CImageCodec fresh;
  for (CImageCodec* codec : {&fresh, &lasting}) {
    for (const bool noMark : {false, true}) {
      const std::uint8_t channel = codec->Decode(data, size, noMark);
      if (channel != CImageCodec::kDecodeFailed && channel > 7) __builtin_trap();
      if (noMark && channel != CImageCodec::kDecodeFailed && channel != 0) __builtin_trap();
      if (codec->PixelBytes() != (codec->Pixels() ? codec->Header().imageSize : 0u)) __builtin_trap();
    }
  }
  CImageCodec holder;
  holder.Header() = fresh.Header();
  holder.ReallocPixels();
  if (holder.Pixels() && fresh.Pixels()) std::memcpy(holder.Pixels(), fresh.Pixels(), holder.PixelBytes());
  if (holder.Pixels() && holder.ReadChannelMark() > 7) __builtin_trap();
  return 0;
}
