// Arbitrary bytes through CImageCodec::Decode, with and without the marks, at
// full size and scaled down for a small pane, on a fresh decoder and on one
// that lives across inputs as the link's does.
// The hand-over to a channel holder that follows, as the link does it, checks
// that the header still describes the pixels on both sides.
#include <cstddef>
#include <cstdint>

#include "link/CImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CImageCodec lasting;
  CImageCodec fresh;
  for (CImageCodec* codec : {&fresh, &lasting}) {
    for (const int fit : {0, 2, 16}) {
      for (const bool noMark : {false, true}) {
        const std::uint8_t channel = codec->Decode(data, size, noMark, fit, fit);
        if (channel != CImageCodec::kDecodeFailed && channel > 7) __builtin_trap();
        if (noMark && channel != CImageCodec::kDecodeFailed && channel != 0) __builtin_trap();
        if (codec->PixelBytes() != (codec->Pixels() ? codec->Header().imageSize : 0u)) __builtin_trap();
        // A scaled bitmap is never larger than its picture, nor smaller than the fit asked.
        if (channel != CImageCodec::kDecodeFailed &&
            (codec->Header().width > codec->PictureWidth() || codec->Header().height > codec->PictureHeight() ||
             (codec->ScaleDenominator() > 1 && (codec->Header().width < fit || codec->Header().height < fit))))
          __builtin_trap();
      }
    }
  }
  static CImageCodec holder;
  holder.SwapBitmap(lasting);
  for (const CImageCodec* side : {&holder, &lasting}) {
    if (side->PixelBytes() != (side->Pixels() ? side->Header().imageSize : 0u)) __builtin_trap();
  }
  // A scaled bitmap's marks come from full-size 24-bit rows: only pictures of 632 pixels or more carry them.
  if (holder.Pixels() && (holder.ReadChannelMark() > 7 || (holder.ScaleDenominator() > 1 && holder.CarriesChannelMark() &&
                                                           holder.PictureWidth() < 632)))
    __builtin_trap();
  return 0;
}
