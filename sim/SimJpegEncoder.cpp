#include "sim/SimJpegEncoder.h"

#include <turbojpeg.h>

SimJpegEncoder::SimJpegEncoder() : m_handle(tjInitCompress()) {}

SimJpegEncoder::~SimJpegEncoder() {
  if (m_handle) tjDestroy(static_cast<tjhandle>(m_handle));
}

std::vector<std::uint8_t> SimJpegEncoder::Encode(const QImage& image, int quality) {
  if (!m_handle || image.isNull()) return {};
  const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(static_cast<tjhandle>(m_handle), rgb.constBits(), rgb.width(),
                             static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &jpeg, &size, TJSAMP_420,
                             quality, TJFLAG_FASTDCT);
  std::vector<std::uint8_t> out;
  if (rc == 0 && jpeg) out.assign(jpeg, jpeg + size);
  if (jpeg) tjFree(jpeg);
  return out;
}
