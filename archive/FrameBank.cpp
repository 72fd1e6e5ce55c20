#include "archive/FrameBank.h"

bool FrameBank::Append(Frame frame) {
  if (!frame || IsFull()) return false;
  m_frames.push_back(std::move(frame));
  return true;
}
