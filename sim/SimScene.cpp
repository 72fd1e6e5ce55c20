#include "sim/SimScene.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sim/SimCamera.h"
#include "sim/SimFont.h"

namespace {

constexpr double kWideFieldOfView = 60.0;  // degrees across the picture at zoom 1
constexpr int kPoleSpacing = 15;           // degrees between landscape poles
constexpr qint64 kBallPeriodMs = 4000;     // the ball crosses the picture and back in this time
// The client crops about 15 rows at the top and 11 columns at the right; the
// overlays keep clear of those edges.
constexpr int kMarginX = 16;
constexpr int kMarginTop = 18;
constexpr int kMarginBottom = 14;
constexpr int kBallSpriteMargin = 3;  // room for the outline and its antialiasing
constexpr int kBigScale = 4;
constexpr int kSmallScale = 2;
constexpr int kWideFrom = 600;  // pictures at least this wide get the larger texts
const QColor kBallColour(255, 210, 0);
const QColor kTextColour(255, 255, 255);

int BallRadius(QSize size) { return std::max(8, size.height() / 16); }

double Wrap(double a) {
  a = std::fmod(a + 180.0, 360.0);
  if (a < 0) a += 360.0;
  return a - 180.0;
}

}  // namespace

SimScene::SimScene(QSize size)
    : m_size(size),
      m_ballRadius(BallRadius(size)),
      m_ball(2 * (m_ballRadius + kBallSpriteMargin), 2 * (m_ballRadius + kBallSpriteMargin),
             QImage::Format_ARGB32_Premultiplied) {
  m_ball.fill(Qt::transparent);
  QPainter p(&m_ball);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(kBallColour);
  const int centre = m_ballRadius + kBallSpriteMargin;
  p.drawEllipse(QPoint(centre, centre), m_ballRadius, m_ballRadius);
}

QColor SimScene::ChannelColour(int channel) {
  return QColor::fromHsv(((channel - 1) * 67) % 360, 150, 190);
}

void SimScene::PaintMarks(QImage& image, int markValue, bool inverted) {
  QPainter p(&image);
  const int width = image.width();
  const int rows = std::min(kMarkStripRows, image.height());
  p.fillRect(0, 0, width, rows, Qt::black);
  p.fillRect(kIndexWhiteStart, 0, kIndexWhiteEnd - kIndexWhiteStart + 1, rows, Qt::white);
  if (markValue < 0) return;
  // Field a carries bit 3, b bit 2, c bit 1, d bit 0; sel inverts the four.
  bool set[5] = {(markValue & 8) != 0, (markValue & 4) != 0, (markValue & 2) != 0, (markValue & 1) != 0, false};
  if (inverted) {
    for (int i = 0; i < 4; ++i) set[i] = !set[i];
    set[4] = true;
  }
  for (int i = 0; i < 5; ++i) {
    if (!set[i]) continue;
    const int x = kMarkFieldStarts[i] - kMarkFieldMargin;
    p.fillRect(x, 0, kMarkFieldWidth + 2 * kMarkFieldMargin, rows, Qt::white);  // clipped to the picture
  }
}

void SimScene::PaintLandscape(QImage& image, int channel, const SimCamera& camera) const {
  QPainter p(&image);
  const int w = image.width();
  const int h = image.height();
  const double fov = kWideFieldOfView / camera.Zoom();
  const double pxPerDeg = w / fov;
  const int horizon = static_cast<int>(h / 2 + camera.Tilt() * pxPerDeg);
  const QColor sky = ChannelColour(channel);
  const QColor ground = sky.darker(250);
  p.fillRect(0, 0, w, std::clamp(horizon, 0, h), sky);
  if (horizon < h) p.fillRect(0, std::max(horizon, 0), w, h - std::max(horizon, 0), ground);
  // Furrows on the ground, closer together towards the horizon.
  p.setPen(QPen(sky.darker(180), 1));
  for (int i = 1; i < 12; ++i) {
    const int y = horizon + static_cast<int>(i * i * pxPerDeg * 0.15);
    if (y > 0 && y < h) p.drawLine(0, y, w, y);
  }
  // Poles every 15 degrees around the camera, labelled with their bearing.
  const int labelScale = w >= kWideFrom ? 2 : 1;
  for (int bearing = -180; bearing < 180; bearing += kPoleSpacing) {
    const double dx = Wrap(bearing - camera.Pan());
    if (std::abs(dx) > fov / 2 + 5) continue;
    const int x = static_cast<int>(w / 2 + dx * pxPerDeg);
    const int poleWidth = std::max(3, static_cast<int>(0.8 * pxPerDeg));
    const int top = horizon - static_cast<int>(7 * pxPerDeg);
    const int bottom = horizon + static_cast<int>(2 * pxPerDeg);
    const QColor pole = bearing == 0 ? QColor(230, 60, 40) : QColor(235, 235, 220);
    p.fillRect(x - poleWidth / 2, top, poleWidth, bottom - top, pole);
    p.end();
    const QString label = QString::number(bearing < 0 ? bearing + 360 : bearing).rightJustified(3, '0');
    SimFont::DrawShadowed(image, x - SimFont::TextWidth(label, labelScale) / 2, top - 10 * labelScale, label,
                          labelScale, QColor(255, 255, 255));
    p.begin(&image);
  }
}

std::pair<int, int> SimScene::PaintBall(QImage& image, const QDateTime& moment) const {
  const int w = image.width();
  const int h = image.height();
  const int radius = m_ballRadius;
  const qint64 phaseMs = moment.toMSecsSinceEpoch() % kBallPeriodMs;
  const double t = static_cast<double>(phaseMs) / kBallPeriodMs;  // 0..1
  const double across = t < 0.5 ? 2 * t : 2 - 2 * t;             // there and back
  const int x = kMarginX + radius + static_cast<int>(across * (w - 2 * (kMarginX + radius) - 11));
  const int y = h * 2 / 3;
  // Blend the premultiplied sprite over the RGB pixels.
  const int left = x - radius - kBallSpriteMargin;
  const int top = y - radius - kBallSpriteMargin;
  for (int row = std::max(0, -top); row < m_ball.height() && top + row < h; ++row) {
    const auto* src = reinterpret_cast<const QRgb*>(m_ball.constScanLine(row));
    std::uint8_t* dst = image.scanLine(top + row);
    for (int col = std::max(0, -left); col < m_ball.width() && left + col < w; ++col) {
      const QRgb s = src[col];
      const int alpha = qAlpha(s);
      if (alpha == 0) continue;
      std::uint8_t* d = dst + 3 * (left + col);
      const int keep = 255 - alpha;
      d[0] = static_cast<std::uint8_t>(qRed(s) + (d[0] * keep + 127) / 255);
      d[1] = static_cast<std::uint8_t>(qGreen(s) + (d[1] * keep + 127) / 255);
      d[2] = static_cast<std::uint8_t>(qBlue(s) + (d[2] * keep + 127) / 255);
    }
  }
  return {top, top + m_ball.height()};
}

std::pair<int, int> SimScene::PaintClock(QImage& image, const QDateTime& moment) const {
  const QString clock = moment.toString("yyyy-MM-dd HH:mm:ss.") + QString::number(moment.time().msec() / 100);
  const int top = image.height() - kMarginBottom - SimFont::kGlyphHeight * kSmallScale;
  SimFont::DrawShadowed(image, kMarginX, top, clock, kSmallScale, kTextColour);
  return {top, top + SimFont::TextHeight(kSmallScale, true)};
}

void SimScene::PaintStill(QImage& image, const Picture& picture, const SimCamera& camera) const {
  PaintLandscape(image, picture.channel, camera);
  const int w = image.width();
  const int h = image.height();
  const int big = w >= kWideFrom ? kBigScale : kBigScale - 1;
  const int small = kSmallScale;
  SimFont::DrawShadowed(image, kMarginX, kMarginTop, QString("CAM %1").arg(picture.channel, 2, 10, QChar('0')), big,
                        kTextColour);
  const int modeWidth = SimFont::TextWidth(picture.modeText, small);
  SimFont::DrawShadowed(image, w - 11 - kMarginX - modeWidth, kMarginTop, picture.modeText, small,
                        picture.modeText.startsWith("LIVE") ? QColor(255, 70, 60) : QColor(120, 255, 120));
  const QString ptz = QString::asprintf("P%+04d T%+03d Z%.1f", static_cast<int>(std::lround(camera.Pan())),
                                         static_cast<int>(std::lround(camera.Tilt())), camera.Zoom());
  const int textRow = h - kMarginBottom - SimFont::kGlyphHeight * small;
  if (w >= kWideFrom) {
    SimFont::DrawShadowed(image, w - 11 - kMarginX - SimFont::TextWidth(ptz, small), textRow, ptz, small, kTextColour);
  } else {
    SimFont::DrawShadowed(image, kMarginX, textRow - (SimFont::kGlyphHeight + 3) * small, ptz, small, kTextColour);
  }
  PaintMarks(image, picture.markValue, picture.invertMark);
}

SimScene::Still& SimScene::StillFor(const Picture& picture, const SimCamera& camera) {
  Still& still = m_stills[static_cast<std::size_t>(std::clamp(picture.channel, 1, kMaxChannels) - 1)];
  const bool current = !still.image.isNull() && still.modeText == picture.modeText && still.pan == camera.Pan() &&
                       still.tilt == camera.Tilt() && still.zoom == camera.Zoom() &&
                       still.markValue == picture.markValue && still.invertMark == picture.invertMark;
  if (!current) {
    if (still.image.isNull()) still.image = QImage(m_size, QImage::Format_RGB888);
    PaintStill(still.image, picture, camera);
    still.modeText = picture.modeText;
    still.pan = camera.Pan();
    still.tilt = camera.Tilt();
    still.zoom = camera.Zoom();
    still.markValue = picture.markValue;
    still.invertMark = picture.invertMark;
    still.generation = ++m_generations;
  }
  return still;
}

const SimScene::Frame& SimScene::Render(const Picture& picture, const SimCamera& camera) {
  Still& still = StillFor(picture, camera);
  Frame& frame = still.frame;
  QImage& image = frame.image;
  const auto stride = static_cast<std::size_t>(still.image.bytesPerLine());
  // Copy back only the rows the last picture on this still part painted over.
  auto restore = [&](int first, int last) {
    first = std::clamp(first, 0, m_size.height());
    last = std::clamp(last, first, m_size.height());
    std::memcpy(image.scanLine(first), still.image.constScanLine(first), stride * static_cast<std::size_t>(last - first));
  };
  if (frame.stillGeneration != still.generation || image.isNull()) {
    image = still.image.copy();
    frame.still = static_cast<int>(&still - m_stills.data());
    frame.stillGeneration = still.generation;
  } else {
    for (const auto& [first, last] : frame.changedRows) restore(first, last);
  }
  frame.changedRows = {PaintBall(image, picture.moment), PaintClock(image, picture.moment)};
  restore(0, kMarkStripRows);  // the marks stay on top of whatever reached the top rows
  return frame;
}
