#include "link/CImageCodec.h"

#include <turbojpeg.h>

// libjpeg is used only for four-component pictures, whose components the
// TurboJPEG API always converts as CMYK; the recorder's decoder reads them as
// YCbCr plus alpha.
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint8_t kSoiStart[] = {0xFF, 0xD8, 0xFF, 0xE0};  // SOI, then APP0
constexpr std::uint8_t kEoi[] = {0xFF, 0xD9};
constexpr std::size_t kWorkSlack = 4;  // room for a restored first byte and an appended EOI

constexpr int kMarkBrightWhite = 200;  // brighter than this counts as white
constexpr int kMarkDarkBlack = 50;     // brighter than this is not black
constexpr int kMaxProgressiveScans = 500;

bool StartsWith(const std::uint8_t* data, std::size_t length, std::size_t offset) {
  return length >= offset + sizeof kSoiStart && std::memcmp(data + offset, kSoiStart, sizeof kSoiStart) == 0;
}

// Whether the stream's frame is progressive (SOF2, SOF6, SOF10 or SOF14): its
// top rows cost as much as the whole picture.
bool IsProgressive(const std::uint8_t* data, std::size_t length) {
  std::size_t at = 2;  // after SOI
  while (at + 4 <= length && data[at] == 0xFF) {
    const std::uint8_t marker = data[at + 1];
    if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) return true;
    if (marker == 0xDA || (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC))
      return false;  // another frame, or a scan
    at += 2u + (static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3]);
  }
  return false;
}

// libjpeg error handling: every error and every warning ends the decode.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level < 0) OnJpegError(cinfo);  // a warning: corrupt data
}

// Stops pictures with an absurd number of progressive scans, which would
// otherwise take minutes to decode.
void OnJpegProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxProgressiveScans) OnJpegError(cinfo);
}

// A decompressor wired to the handlers above. The caller sets the jump point:
// setjmp must run in the frame that decodes.
struct JpegDecompressor {
  jpeg_decompress_struct cinfo;
  JpegErrorManager errors;
  jpeg_progress_mgr progress;

  JpegDecompressor() {
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&progress, 0, sizeof progress);
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnJpegError;
    errors.pub.emit_message = OnJpegMessage;
    progress.progress_monitor = OnJpegProgress;
  }
};

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// One pixel of Y, Cb, Cr, alpha into premultiplied B, G, R, alpha (JFIF
// full-range conversion in 16-bit fixed point, as libjpeg does it).
void YccaToPremultipliedBgra(std::uint8_t* p) {
  constexpr int kShift = 16;
  constexpr int kHalf = 1 << (kShift - 1);
  const int y = p[0];
  const int cb = p[1] - 128;
  const int cr = p[2] - 128;
  const int alpha = p[3];
  const std::uint8_t r = Clamp(y + ((91881 * cr + kHalf) >> kShift));
  const std::uint8_t g = Clamp(y + ((-22554 * cb - 46802 * cr + kHalf) >> kShift));
  const std::uint8_t b = Clamp(y + ((116130 * cb + kHalf) >> kShift));
  p[0] = static_cast<std::uint8_t>((b * alpha + 1) >> 8);
  p[1] = static_cast<std::uint8_t>((g * alpha + 1) >> 8);
  p[2] = static_cast<std::uint8_t>((r * alpha + 1) >> 8);
}

}  // namespace

CImageCodec::CImageCodec() {
  m_header.width = 320;
  m_header.height = 240;
  m_header.bitCount = 24;
  m_header.imageSize = 0;  // no pixels yet
}

CImageCodec::~CImageCodec() { ResetDecoder(); }

void CImageCodec::ResetDecoder() {
  if (m_decoder) tjDestroy(static_cast<tjhandle>(m_decoder));
  m_decoder = nullptr;
}

void CImageCodec::FreePixels() {
  m_pixels.reset();
  m_pixelBytes = 0;
}

void CImageCodec::AllocatePixels(std::size_t bytes) {
  if (m_pixels && bytes == m_pixelBytes) return;  // the same size again: keep the buffer
  FreePixels();
  if (bytes == 0) return;
  // Not cleared: a decode writes every byte, and clearing would cost as much
  // as a tenth of the decode.
  m_pixels = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
  m_pixelBytes = bytes;
}

void CImageCodec::SetFormat(int bitCount, int width, int height) {
  if (width <= 0 || height <= 0 || bitCount <= 0 || bitCount > 32) return;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(bitCount) / 8u) * static_cast<std::uint64_t>(width) + 3u) & ~std::uint64_t{3};
  const std::uint64_t size = stride * static_cast<std::uint64_t>(height);
  if (size > std::numeric_limits<std::uint32_t>::max()) return;  // does not fit the header
  m_header.width = width;
  m_header.height = height;
  m_header.bitCount = static_cast<std::uint16_t>(bitCount);
  m_header.compression = 0;
  m_header.imageSize = static_cast<std::uint32_t>(size);
  AllocatePixels(m_header.imageSize);
  m_scale = 1;  // a bitmap of its own size until a scaled decode says otherwise
}

void CImageCodec::SwapBitmap(CImageCodec& other) noexcept {
  std::swap(m_header, other.m_header);
  std::swap(m_pixels, other.m_pixels);
  std::swap(m_pixelBytes, other.m_pixelBytes);
  std::swap(m_scale, other.m_scale);
  std::swap(m_pictureWidth, other.m_pictureWidth);
  std::swap(m_pictureHeight, other.m_pictureHeight);
  std::swap(m_topRows, other.m_topRows);
}

bool CImageCodec::NormaliseStream(const std::uint8_t* data, std::size_t length) {
  m_workData = nullptr;
  m_workLength = 0;
  if (!data || length > std::numeric_limits<std::size_t>::max() - kWorkSlack) return false;
  // The recorder's streams sometimes lose or gain a byte or two at the front.
  std::size_t skip = 0;
  bool restoreFirst = false;
  if (StartsWith(data, length, 0)) {
    skip = 0;
  } else if (length >= 1 && data[0] == 0xFF && StartsWith(data, length, 1)) {
    skip = 1;
  } else if (length >= 3 && std::memcmp(data, kSoiStart + 1, 3) == 0) {
    restoreFirst = true;
  } else if (StartsWith(data, length, 2)) {
    skip = 2;
  } else {
    return false;
  }

  // A stream with nothing to restore at the front and its end in place is decoded where it lies.
  const std::size_t kept = length - skip;
  if (!restoreFirst && data[length - 2] == kEoi[0] && data[length - 1] == kEoi[1]) {
    m_workData = data + skip;
    m_workLength = kept;
    return true;
  }

  if (m_work.size() < length + kWorkSlack) m_work.resize(length + kWorkSlack);
  std::uint8_t* out = m_work.data();
  std::size_t n = 0;
  if (restoreFirst) out[n++] = kSoiStart[0];
  std::memcpy(out + n, data + skip, kept);
  n += kept;
  if (n < 2 || out[n - 2] != kEoi[0] || out[n - 1] != kEoi[1]) {
    out[n++] = kEoi[0];
    out[n++] = kEoi[1];
  }
  m_workData = out;
  m_workLength = n;
  return true;
}

std::uint8_t CImageCodec::Decode(const std::uint8_t* data, std::size_t length, bool noMark, int fitWidth,
                                 int fitHeight) {
  m_fitWidth = fitWidth;
  m_fitHeight = fitHeight;
  if (!NormaliseStream(data, length)) return kDecodeFailed;
  if (!DecodeWorkBuffer(!noMark)) {
    // TurboJPEG leaves an instance half-way through a header after some
    // errors, and that instance then fails on every later picture: the next
    // picture gets a fresh one.
    ResetDecoder();
    return kDecodeFailed;
  }
  if (noMark) return 0;
  if (!m_pixels) return kDecodeFailed;
  const std::uint8_t channel = ReadChannelMark();
  m_fieldFlag = ReadIndexBars() ? 0 : 1;
  return channel;
}

int CImageCodec::ChooseScale(int width, int height) const {
  if (m_fitWidth <= 0 || m_fitHeight <= 0) return 1;
  int scale = 1;
  for (const int next : {2, 4, 8}) {
    const tjscalingfactor factor{1, next};
    if (TJSCALED(width, factor) < m_fitWidth || TJSCALED(height, factor) < m_fitHeight) break;
    scale = next;
  }
  return scale;
}

bool CImageCodec::DecodeWorkBuffer(bool readMarks) {
  if (!m_decoder) m_decoder = tjInitDecompress();
  if (!m_decoder) return false;
  const auto handle = static_cast<tjhandle>(m_decoder);

  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  if (tjDecompressHeader3(handle, m_workData, m_workLength, &width, &height, &subsampling, &colourSpace) != 0) {
    return false;
  }
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 0)) * static_cast<std::uint64_t>(std::max(height, 0));
  if (pixels < 1 || pixels > kMaxPixels) return false;

  if (colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK) return DecodeFourComponents(width, height);

  // A scaled picture keeps its marks readable: its top rows are decoded at full size first.
  // A progressive one would be decoded twice that way: it is decoded once, at full size.
  int scale = ChooseScale(width, height);
  if (scale > 1 && readMarks && IsProgressive(m_workData, m_workLength)) scale = 1;
  if (scale > 1 && readMarks && !DecodeTopRows(width, height)) return false;
  const tjscalingfactor factor{1, scale};
  const int outWidth = TJSCALED(width, factor);
  const int outHeight = TJSCALED(height, factor);

  // Grey and colour pictures alike become 24-bit BGR rows, bottom-up, padded to 4.
  SetFormat(24, outWidth, outHeight);
  if (!m_pixels) return false;
  if (tjDecompress2(handle, m_workData, m_workLength, m_pixels.get(), outWidth,
                    static_cast<int>(m_header.Stride()), outHeight, TJPF_BGR,
                    TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS) != 0) {
    std::memset(m_pixels.get(), 0, m_pixelBytes);  // rows after the fault were never written
    return false;
  }
  if (scale > 1) {
    m_scale = scale;
    m_pictureWidth = width;
    m_pictureHeight = height;
    if (!readMarks) m_topRows.clear();  // nothing read: the marks read as absent
  }
  return true;
}

bool CImageCodec::DecodeTopRows(int width, int height) {
  JpegDecompressor jpeg;
  jpeg_decompress_struct& cinfo = jpeg.cinfo;
  const int rows = std::min(height, kMarkRows);
  const std::size_t rowBytes = static_cast<std::size_t>(kMarkReadBytesPerPixel) * static_cast<std::size_t>(width);
  m_topRows.assign(rowBytes * static_cast<std::size_t>(rows), 0);

  // Nothing with a destructor lives between here and the library's longjmp.
  if (setjmp(jpeg.errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    m_topRows.clear();
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &jpeg.progress;
  jpeg_mem_src(&cinfo, m_workData, static_cast<unsigned long>(m_workLength));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width != static_cast<JDIMENSION>(width) || cinfo.image_height != static_cast<JDIMENSION>(height)) {
    jpeg_destroy_decompress(&cinfo);
    m_topRows.clear();
    return false;
  }
  // The same conversion as the full decode, so these rows equal its top rows.
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < static_cast<JDIMENSION>(rows)) {
    JSAMPROW row = m_topRows.data() + cinfo.output_scanline * rowBytes;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_destroy_decompress(&cinfo);  // the rest of the picture is not needed at full size
  return true;
}

bool CImageCodec::DecodeFourComponents(int width, int height) {
  JpegDecompressor jpeg;
  jpeg_decompress_struct& cinfo = jpeg.cinfo;

  // Nothing with a destructor lives between here and the library's longjmp.
  if (setjmp(jpeg.errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    if (m_pixels) std::memset(m_pixels.get(), 0, m_pixelBytes);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &jpeg.progress;
  jpeg_mem_src(&cinfo, m_workData, static_cast<unsigned long>(m_workLength));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.num_components != 4 || cinfo.image_width != static_cast<JDIMENSION>(width) ||
      cinfo.image_height != static_cast<JDIMENSION>(height)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Take the four components as they are; they are read as Y, Cb, Cr and alpha below.
  cinfo.jpeg_color_space = JCS_CMYK;
  cinfo.out_color_space = JCS_CMYK;
  jpeg_start_decompress(&cinfo);

  SetFormat(32, width, height);
  if (!m_pixels) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const std::size_t stride = m_header.Stride();
  while (cinfo.output_scanline < cinfo.output_height) {
    // Bottom-up: the picture's first line goes into the last stored row.
    JSAMPROW row = m_pixels.get() + (static_cast<std::size_t>(height) - 1u - cinfo.output_scanline) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);

  for (std::size_t i = 0; i + 4 <= m_pixelBytes; i += 4) YccaToPremultipliedBgra(m_pixels.get() + i);
  return true;
}

std::size_t CImageCodec::RowBytes() const {
  if (m_header.width <= 0 || m_header.bitCount < 24) return 0;
  return static_cast<std::size_t>(m_header.bitCount / 8) * static_cast<std::size_t>(m_header.width);
}

const std::uint8_t* CImageCodec::TopRow(int k, std::size_t& bytes) const {
  bytes = 0;
  if (k < 0 || k >= kMarkRows) return nullptr;
  if (m_scale > 1) {
    const std::size_t rowBytes = static_cast<std::size_t>(kMarkReadBytesPerPixel) * static_cast<std::size_t>(m_pictureWidth);
    if (k >= m_pictureHeight || m_topRows.size() < (static_cast<std::size_t>(k) + 1u) * rowBytes) return nullptr;
    bytes = rowBytes;
    return m_topRows.data() + static_cast<std::size_t>(k) * rowBytes;
  }
  if (!m_pixels || k >= m_header.height) return nullptr;
  const std::size_t offset = static_cast<std::size_t>(m_header.height - 1 - k) * m_header.Stride();
  if (offset >= m_pixelBytes) return nullptr;  // a header that promises more than the pixels hold
  bytes = std::min(RowBytes(), m_pixelBytes - offset);
  return m_pixels.get() + offset;
}

bool CImageCodec::CarriesChannelMark() const {
  std::size_t bytes = 0;
  return TopRow(1, bytes) && bytes >= static_cast<std::size_t>(kMarkRowBytes);
}

int CImageCodec::Brightness(const std::uint8_t* row, std::size_t rowBytes, int x) {
  if (!row || x < 0) return 0;
  const std::size_t column = static_cast<std::size_t>(x) * kMarkReadBytesPerPixel;
  if (column + kMarkReadBytesPerPixel > rowBytes) return 0;
  const std::uint8_t* p = row + column;
  return (p[0] + p[1] + p[2]) / 3;
}

std::uint8_t CImageCodec::ReadChannelMark() const {
  std::size_t bytes = 0;
  const std::uint8_t* row = TopRow(1, bytes);  // the second line from the top
  bool set[5] = {};
  for (int f = 0; f < 5; ++f) {
    int bright = 0;
    for (int x = kMarkFieldColumns[f]; x < kMarkFieldColumns[f] + kMarkFieldWidth; ++x) {
      if (Brightness(row, bytes, x) > kMarkBrightWhite) ++bright;
    }
    set[f] = bright >= kMarkFieldMinBright;
  }
  if (set[4]) {
    for (int f = 0; f < 4; ++f) set[f] = !set[f];
  }
  // Field a carries the weight 8, which the channel number modulo 8 drops.
  return static_cast<std::uint8_t>((8 * set[0] + 4 * set[1] + 2 * set[2] + set[3]) % 8);
}

bool CImageCodec::ReadIndexBars() const {
  std::size_t bytes = 0;
  const std::uint8_t* row = TopRow(2, bytes);  // the third line from the top
  int strays[3] = {};
  for (int x = 0; x < kIndexBarEnds[2]; ++x) {
    const int brightness = Brightness(row, bytes, x);
    if (x < kIndexBarEnds[0]) {
      strays[0] += brightness > kMarkDarkBlack;
    } else if (x < kIndexBarEnds[1]) {
      strays[1] += brightness < kMarkBrightWhite;
    } else {
      strays[2] += brightness > kMarkDarkBlack;
    }
  }
  return strays[0] <= kIndexBarMaxStray && strays[1] <= kIndexBarMaxStray && strays[2] <= kIndexBarMaxStray;
}
