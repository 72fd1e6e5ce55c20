#pragma once
// The frames of AVI recording: 640 x 480 pictures, each 921,600 bytes of
// bottom-up BGR rows (a 24-bit DIB without header), or a recorder's JPEG
// picture of that size taken as it came. A segment holds at most
// kCapacity of them; they are streamed to the segment's file as they come,
// and at most kMaxFramesInMemory wait in memory for the writer at any time.

#include <cstddef>
#include <cstdint>
#include <memory>

struct FrameBank {
  static constexpr int kCapacity = 9999;
  // 100 frames: 92,160,000 bytes, four seconds of pictures at 25 a second.
  static constexpr int kMaxFramesInMemory = 100;
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  static constexpr std::size_t kRowBytes = kWidth * 3;
  static constexpr std::size_t kFrameBytes = kRowBytes * kHeight;

  using Frame = std::unique_ptr<std::uint8_t[]>;

  // "Record Format": how the files store the frames.
  enum class Format : std::uint8_t { Uncompressed = 0, MotionJpeg = 1 };
};
