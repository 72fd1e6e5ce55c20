#include "res/SkinImages.h"

#include <QFile>
#include <QPainter>
#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterSkinResource() { Q_INIT_RESOURCE(skin); }

namespace {

QString SkinPath(int resourceNumber) { return QStringLiteral(":/skin/%1.png").arg(resourceNumber); }

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
  return QFile::exists(SkinPath(resourceNumber));
}

QImage SkinImage(int resourceNumber) {
  InitSkinResources();
  QImage image(SkinPath(resourceNumber));
  return image.isNull() ? Placeholder(resourceNumber) : image;
}

QPixmap SkinPixmap(int resourceNumber) { return QPixmap::fromImage(SkinImage(resourceNumber)); }
