#pragma once
// Captured frames of one AVI segment: up to 9999 pictures of 640 x 480,
// each 921,600 bytes of bottom-up BGR rows (a 24-bit DIB without header).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class FrameBank {
 public:
  static constexpr int kCapacity = 9999;
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  static constexpr std::size_t kRowBytes = kWidth * 3;
  static constexpr std::size_t kFrameBytes = kRowBytes * kHeight;

  using Frame = std::unique_ptr<std::uint8_t[]>;

  explicit FrameBank(int capacity = kCapacity) : m_capacity(capacity) {}

  int Count() const { return static_cast<int>(m_frames.size()); }
  bool IsEmpty() const { return m_frames.empty(); }
  bool IsFull() const { return Count() >= m_capacity; }
  int Capacity() const { return m_capacity; }

  // Takes a frame of kFrameBytes; refuses null frames and a full bank.
  bool Append(Frame frame);
  const std::uint8_t* FrameAt(int i) const { return m_frames[static_cast<std::size_t>(i)].get(); }
  void Clear() { m_frames.clear(); }

 private:
  int m_capacity;
  std::vector<Frame> m_frames;
};
