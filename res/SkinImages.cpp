#include "res/SkinImages.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <map>
#include <mutex>
#include <utility>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterSkinResource() {
  Q_INIT_RESOURCE(skin);
  Q_INIT_RESOURCE(icons);
}

namespace {

QString SkinPath(int resourceNumber, int artRatio) {
  return artRatio == 1 ? QStringLiteral(":/skin/%1.png").arg(resourceNumber)
                       : QStringLiteral(":/skin/%1@%2x.png").arg(resourceNumber).arg(artRatio);
}

QImage Placeholder(int resourceNumber) {
  QImage image(32, 32, QImage::Format_RGB32);
  QPainter painter(&image);
  for (int y = 0; y < 32; y += 8)
    for (int x = 0; x < 32; x += 8) painter.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? Qt::black : Qt::magenta);
  painter.setPen(Qt::white);
  painter.drawText(image.rect(), Qt::AlignCenter, QString::number(resourceNumber));
  return image;
}

}  // namespace

void InitSkinResources() {
  static std::once_flag once;
  std::call_once(once, RegisterSkinResource);
}

bool HasSkinImage(int resourceNumber) {
  InitSkinResources();
  return QFile::exists(SkinPath(resourceNumber, 1));
}

int SkinArtRatio(qreal devicePixelRatio) { return devicePixelRatio > 1 ? 2 : 1; }

int SkinArtRatio() { return SkinArtRatio(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0); }

QImage SkinImage(int resourceNumber, int artRatio) {
  InitSkinResources();
  if (artRatio != 1) {
    // QImageReader sets the device pixel ratio from the "@2x" in the name.
    QImage image(SkinPath(resourceNumber, artRatio));
    if (!image.isNull()) return image;
  }
  QImage image(SkinPath(resourceNumber, 1));
  return image.isNull() ? Placeholder(resourceNumber) : image;
}

QPixmap SkinPixmap(int resourceNumber, qreal devicePixelRatio) {
  QImage image = SkinImage(resourceNumber, SkinArtRatio(devicePixelRatio));
  if (image.devicePixelRatio() != devicePixelRatio && devicePixelRatio > 1) {
    const QSizeF logical = image.deviceIndependentSize();
    const QSize pixels(qRound(logical.width() * devicePixelRatio), qRound(logical.height() * devicePixelRatio));
    image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(devicePixelRatio);
  }
  return QPixmap::fromImage(image);
}

QPixmap SkinPixmap(int resourceNumber) {
  return SkinPixmap(resourceNumber, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

void DrawSkinPicture(QPainter& painter, const QPoint& at, int resourceNumber) {
  // The device transform holds every scale between the skin and the pixels: the
  // screen's pixel ratio, the painter's own scale, and that of a full-screen stage
  // that renders the window through a proxy (which the world transform never sees).
  const QTransform transform = painter.deviceTransform();
  const qreal ratio =
      transform.type() <= QTransform::TxScale ? transform.m11() : painter.device()->devicePixelRatio();
  // Keyed by the ratio in hundredths: a window meets only a few ratios.
  static std::map<std::pair<int, int>, QPixmap> made;
  const std::pair<int, int> key(resourceNumber, qRound(ratio * 100));
  auto it = made.find(key);
  if (it == made.end()) it = made.emplace(key, SkinPixmap(resourceNumber, std::max<qreal>(1.0, ratio))).first;
  painter.drawPixmap(at, it->second);
}

QIcon ProgramIcon() {
  // The sizes the package installs into the icon theme; compiled in, since a
  // theme lookup finds them only once the program is installed.
  static constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
  InitSkinResources();
  QIcon icon;
  for (int size : kSizes) icon.addFile(QStringLiteral(":/icons/ardeviz-%1.png").arg(size), QSize(size, size));
  return icon;
}
