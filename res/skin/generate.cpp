// Draws every skin picture of the main view and the archive panel, one PNG per
// resource number, at 1x ("<number>.png") and 2x ("<number>@2x.png", for
// high-density screens), and the skin.qrc that lists them; and the program's
// icon, as PNGs of the usual sizes and as SVG.
//
//   skin-generator <output folder> [<qrc file> [<icon folder>]]
//
// Each control's pictures are cut out of the window's background with the
// control's face drawn on it, so rounded faces sit seamlessly on the panel.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

enum class Look { Normal, Pressed, Lit };

// Palette of the console.
const QColor kPanelTop(0x2c, 0x30, 0x37);
const QColor kPanelBottom(0x1b, 0x1e, 0x23);
const QColor kGroove(0x0b, 0x0c, 0x0e);
const QColor kEdgeLight(0x4a, 0x50, 0x59);
const QColor kLabel(0xa9, 0xb1, 0xbc);
const QColor kFaceText(0xe4, 0xe8, 0xee);
const QColor kPressedText(0x8c, 0xd8, 0xff);
const QColor kLitText(0x04, 0x1c, 0x0b);
const QColor kLitTop(0x5c, 0xf0, 0x8a);
const QColor kLitBottom(0x1f, 0xa8, 0x4c);
const QColor kAlertTop(0xff, 0x6a, 0x5c);
const QColor kAlertBottom(0xc0, 0x1e, 0x16);
const QColor kScreenGreen(0x00, 0xff, 0x00);

// The art's pixel ratio: everything is drawn in the 1x coordinates of the
// windows, on canvases this many times larger.
int g_scale = 1;

// A canvas for a picture of the given size in window coordinates.
QImage Canvas(const QSize& size) {
  QImage image(size * g_scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(g_scale);
  return image;
}

// A rectangle in window coordinates as canvas pixels.
QRect Pixels(const QRect& r) { return QRect(r.topLeft() * g_scale, r.size() * g_scale); }

QString g_sans = "DejaVu Sans";
QString g_condensed = "DejaVu Sans Condensed";

QFont Font(int pixelSize, bool condensed = true, bool bold = true) {
  QFont font(condensed ? g_condensed : g_sans);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void LoadFonts() {
  const char* dir = "/usr/share/fonts/truetype/dejavu/";
  for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansCondensed.ttf",
                           "DejaVuSansCondensed-Bold.ttf"}) {
    const int id = QFontDatabase::addApplicationFont(QString(dir) + file);
    if (id < 0) std::fprintf(stderr, "warning: font %s%s not loaded, using the default sans serif\n", dir, file);
  }
}

// ---- shared drawing ----------------------------------------------------------

void Label(QPainter& p, const QRect& r, const QString& text, int size = 9, int align = Qt::AlignCenter,
           const QColor& color = kLabel) {
  p.save();
  p.setFont(Font(size));
  p.setPen(QColor(0, 0, 0, 160));
  p.drawText(r.translated(0, 1), align, text);  // engraved shadow
  p.setPen(color);
  p.drawText(r, align, text);
  p.restore();
}

// A recessed area: dark groove with a light lower edge.
void Recess(QPainter& p, const QRectF& r, double radius, const QColor& fill) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kEdgeLight);
  p.drawRoundedRect(r.adjusted(-1, -1, 1, 2), radius + 1, radius + 1);
  p.setBrush(kGroove);
  p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
  p.setBrush(fill);
  p.drawRoundedRect(r, radius, radius);
  p.restore();
}

// A group frame: a thin engraved outline with an optional caption in its top edge.
void Group(QPainter& p, const QRect& r, const QString& caption = {}) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kGroove, 1));
  p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  p.setPen(QPen(QColor(0x3d, 0x42, 0x4a), 1));
  p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, 0.5, 0.5), 5, 5);
  if (!caption.isEmpty()) {
    p.setFont(Font(8));
    const int w = QFontMetrics(p.font()).horizontalAdvance(caption) + 8;
    const QRect cap(r.left() + 8, r.top() - 6, w, 12);
    p.fillRect(cap.adjusted(0, 4, 0, -4), QColor(0x27, 0x2b, 0x31));
    Label(p, cap, caption, 8);
  }
  p.restore();
}

void PanelBase(QPainter& p, const QSize& size) {
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, kPanelTop);
  g.setColorAt(1, kPanelBottom);
  p.fillRect(QRect(QPoint(0, 0), size), g);
  // Fine horizontal brushing.
  for (int y = 0; y < size.height(); y += 2) p.fillRect(0, y, size.width(), 1, QColor(255, 255, 255, 5));
  // Outer bevel inside the 2-pixel margin the window cuts off.
  p.setPen(QColor(0x55, 0x5b, 0x64));
  p.drawRect(2, 2, size.width() - 5, size.height() - 5);
  p.setPen(QColor(0x0a, 0x0b, 0x0d));
  p.drawRect(3, 3, size.width() - 7, size.height() - 7);
}

void Screw(QPainter& p, QPointF c) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(c + QPointF(-1, -1), 4);
  g.setColorAt(0, QColor(0x7a, 0x80, 0x88));
  g.setColorAt(1, QColor(0x2a, 0x2d, 0x32));
  p.setBrush(g);
  p.setPen(QPen(kGroove, 1));
  p.drawEllipse(c, 3.5, 3.5);
  p.setPen(QPen(QColor(0x16, 0x18, 0x1b), 1.2));
  p.drawLine(c + QPointF(-2, 2), c + QPointF(2, -2));
  p.restore();
}

void VideoWell(QPainter& p) {
  Recess(p, QRectF(62, 22, 640, 480), 1, Qt::black);
}

void Brand(QPainter& p, const QRect& r) {
  p.save();
  Recess(p, r, 6, QColor(0x15, 0x17, 0x1b));
  p.setFont(Font(24, false, true));
  QRect title(r.left(), r.top() + r.height() / 2 - 26, r.width(), 30);
  p.setPen(QColor(0, 0, 0, 180));
  p.drawText(title.translated(0, 1), Qt::AlignCenter, "ARDEVIZ");
  QLinearGradient g(0, title.top(), 0, title.bottom());
  g.setColorAt(0, QColor(0xe8, 0xec, 0xf2));
  g.setColorAt(1, QColor(0x8d, 0x96, 0xa3));
  p.setPen(QPen(QBrush(g), 1));
  p.drawText(title, Qt::AlignCenter, "ARDEVIZ");
  p.fillRect(r.left() + 18, title.bottom() + 3, r.width() - 36, 2, kLitBottom);
  Label(p, QRect(r.left(), title.bottom() + 7, r.width(), 14), "NETWORK DVR VIEWER", 9);
  p.restore();
}

// ---- control faces -----------------------------------------------------------

using Content = std::function<void(QPainter&, const QRectF&, const QColor&)>;

QColor ContentColor(Look look, bool alert = false) {
  switch (look) {
    case Look::Pressed: return kPressedText;
    case Look::Lit: return alert ? QColor(0x2a, 0x02, 0x00) : kLitText;
    default: return kFaceText;
  }
}

// A key face: raised when normal, sunk when pressed, lit from inside when latched.
void Face(QPainter& p, const QRectF& outer, Look look, double radius, const Content& content, bool alert = false) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = outer.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(kGroove, 1));
  QLinearGradient g(0, r.top(), 0, r.bottom());
  if (look == Look::Normal) {
    g.setColorAt(0, QColor(0x4b, 0x51, 0x5a));
    g.setColorAt(0.5, QColor(0x34, 0x39, 0x40));
    g.setColorAt(1, QColor(0x25, 0x29, 0x2e));
  } else if (look == Look::Pressed) {
    g.setColorAt(0, QColor(0x10, 0x12, 0x15));
    g.setColorAt(1, QColor(0x22, 0x26, 0x2b));
  } else {
    g.setColorAt(0, alert ? kAlertTop : kLitTop);
    g.setColorAt(1, alert ? kAlertBottom : kLitBottom);
  }
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  // Edge light: top highlight when raised, top shadow when sunk, glow when lit.
  const QRectF inner = r.adjusted(1, 1, -1, -1);
  if (look == Look::Normal) {
    p.setPen(QPen(QColor(255, 255, 255, 55), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(inner.left() + radius, inner.top() + 0.5), QPointF(inner.right() - radius, inner.top() + 0.5));
  } else if (look == Look::Pressed) {
    p.setPen(QPen(QColor(0, 0, 0, 200), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(inner.left() + radius, inner.top() + 0.75), QPointF(inner.right() - radius, inner.top() + 0.75));
    p.setPen(QPen(QColor(0x8c, 0xd8, 0xff, 70), 1));
    p.drawRoundedRect(inner, radius, radius);
  } else {
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner, std::max(0.0, radius - 1), std::max(0.0, radius - 1));
  }
  const QRectF area = look == Look::Pressed ? r.translated(1, 1) : r;
  content(p, area, ContentColor(look, alert));
  p.restore();
}

Content Text(const QString& text, int size, bool condensed = true) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    p.setFont(Font(size, condensed));
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
  };
}

Content Combine(Content a, Content b) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    a(p, r, c);
    b(p, r, c);
  };
}

// Content drawn in a sub-area given as fractions of the face.
Content Within(double x0, double y0, double x1, double y1, Content inner) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    inner(p, QRectF(r.left() + r.width() * x0, r.top() + r.height() * y0, r.width() * (x1 - x0),
                    r.height() * (y1 - y0)),
          c);
  };
}

// A filled triangle pointing in the direction (dx, dy), size s, centred in r.
void Triangle(QPainter& p, QPointF c, double dx, double dy, double s, const QColor& color) {
  const QPointF tip = c + QPointF(dx, dy) * s * 0.6;
  const QPointF back = c - QPointF(dx, dy) * s * 0.4;
  const QPointF side(-dy * s * 0.55, dx * s * 0.55);
  QPainterPath path;
  path.moveTo(tip);
  path.lineTo(back + side);
  path.lineTo(back - side);
  path.closeSubpath();
  p.fillPath(path, color);
}

Content Arrow(double dx, double dy, double size) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) { Triangle(p, r.center(), dx, dy, size, c); };
}

Content PlusMinus(bool plus, double size) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    const QPointF m = r.center();
    const double h = size / 2, t = std::max(1.5, size / 5);
    p.fillRect(QRectF(m.x() - h, m.y() - t / 2, size, t), c);
    if (plus) p.fillRect(QRectF(m.x() - t / 2, m.y() - h, t, size), c);
  };
}

// Playback icons: triangles and bars in a row, centred.
Content PlayIcon(const QString& kind) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    const QPointF m = r.center() + QPointF(0, -4);
    const double s = 13;
    if (kind == "stop") p.fillRect(QRectF(m.x() - 6, m.y() - 6, 12, 12), c);
    if (kind == "play") Triangle(p, m + QPointF(1, 0), 1, 0, s, c);
    if (kind == "back") Triangle(p, m - QPointF(1, 0), -1, 0, s, c);
    if (kind == "ff") {
      Triangle(p, m + QPointF(-4, 0), 1, 0, 11, c);
      Triangle(p, m + QPointF(5, 0), 1, 0, 11, c);
    }
    if (kind == "fb") {
      Triangle(p, m + QPointF(4, 0), -1, 0, 11, c);
      Triangle(p, m + QPointF(-5, 0), -1, 0, 11, c);
    }
    if (kind == "start") {
      p.fillRect(QRectF(m.x() - 8, m.y() - 6, 2.5, 12), c);
      Triangle(p, m + QPointF(1, 0), -1, 0, 12, c);
    }
    if (kind == "end") {
      p.fillRect(QRectF(m.x() + 5.5, m.y() - 6, 2.5, 12), c);
      Triangle(p, m + QPointF(-1, 0), 1, 0, 12, c);
    }
    const std::map<QString, QString> captions = {{"fb", "FAST"}, {"back", "REV"}, {"stop", "STOP"},
                                                 {"play", "PLAY"}, {"ff", "FAST"},  {"start", "START"},
                                                 {"end", "END"}};
    auto it = captions.find(kind);
    if (it != captions.end()) {
      p.setFont(Font(8));
      p.setPen(c);
      p.drawText(QRectF(r.left(), r.bottom() - 15, r.width(), 12), Qt::AlignCenter, it->second);
    }
  };
}

Content HourStep(bool forward) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    const QPointF m = r.center() + QPointF(0, -4);
    p.setFont(Font(12));
    p.setPen(c);
    p.drawText(QRectF(r.left(), m.y() - 8, r.width(), 16), Qt::AlignCenter, forward ? "+1H" : "-1H");
    p.setFont(Font(8));
    p.drawText(QRectF(r.left(), r.bottom() - 15, r.width(), 12), Qt::AlignCenter, forward ? "HOUR" : "HOUR");
  };
}

Content PowerIcon(const QString& caption, bool alertColour) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    const QColor icon = alertColour && c == kFaceText ? QColor(0xff, 0x5a, 0x4a) : c;
    const double d = r.height() * 0.5;
    const QPointF m(r.left() + 10 + d / 2, r.center().y());
    p.setPen(QPen(icon, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(m.x() - d / 2, m.y() - d / 2, d, d), 125 * 16, 290 * 16);
    p.drawLine(m + QPointF(0, -d / 2 - 1), m + QPointF(0, -1));
    p.setFont(Font(12, false));
    p.setPen(c);
    p.drawText(r.adjusted(d + 12, 0, -6, 0), Qt::AlignCenter, caption);
  };
}

Content LayoutGlyph(int panes) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    // Small grid on the left, pane count on the right.
    const int side = panes <= 1 ? 1 : panes <= 4 ? 2 : panes <= 9 ? 3 : 4;
    const QRectF g(r.left() + 5, r.center().y() - 6, 12, 12);
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(g);
    for (int i = 1; i < side; ++i) {
      p.drawLine(QPointF(g.left() + g.width() * i / side, g.top()), QPointF(g.left() + g.width() * i / side, g.bottom()));
      p.drawLine(QPointF(g.left(), g.top() + g.height() * i / side), QPointF(g.right(), g.top() + g.height() * i / side));
    }
    p.setFont(Font(13));
    p.setPen(c);
    p.drawText(QRectF(g.right() + 1, r.top(), r.right() - g.right() - 3, r.height()), Qt::AlignCenter,
               QString::number(panes));
  };
}

Content GridGlyph(int side) {
  return [=](QPainter& p, const QRectF& r, const QColor& c) {
    const QRectF g(r.center().x() - 7, r.center().y() - 7, 14, 14);
    const double gap = 2, cell = (14 - gap * (side - 1)) / side;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        p.fillRect(QRectF(g.left() + x * (cell + gap), g.top() + y * (cell + gap), cell, cell), c);
  };
}

// ---- output ------------------------------------------------------------------

struct Output {
  QDir dir;
  std::map<int, QSize> written;  // size in window coordinates
  bool ok = true;

  void Save(int id, const QImage& image) {
    const QSize size = image.deviceIndependentSize().toSize();
    if (written.count(id) && written[id] != size)
      std::fprintf(stderr, "resource %d drawn twice at different sizes\n", id);
    const QString path = dir.filePath(QString::number(id) + (g_scale == 1 ? "" : QString("@%1x").arg(g_scale)) + ".png");
    if (!image.convertToFormat(QImage::Format_RGB32).save(path, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      ok = false;
    }
    written[id] = size;
  }
};

// Draws a control face onto a copy of the background and cuts the control out.
QImage Cut(const QImage& background, const QRect& r, Look look, double radius, const Content& content,
           bool alert = false) {
  QImage scene = background.copy(Pixels(r.adjusted(-2, -2, 2, 2)));
  QPainter p(&scene);
  Face(p, QRectF(2, 2, r.width(), r.height()), look, radius, content, alert);
  p.end();
  return scene.copy(Pixels(QRect(2, 2, r.width(), r.height())));
}

void Pair(Output& out, const QImage& bg, const QRect& r, int normalId, int otherId, Look otherLook, double radius,
          const Content& content, bool alert = false) {
  out.Save(normalId, Cut(bg, r, Look::Normal, radius, content, alert));
  out.Save(otherId, Cut(bg, r, otherLook, radius, content, alert));
}

// An indicator light on the black status panel: the lamp sits in the top-left
// 33 x 33, since the archive panel shows only that much of it.
QImage Activity(bool lit) {
  QImage image = Canvas(QSize(40, 40));
  image.fill(Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(16.5, 16.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0x34, 0x3a));
  p.drawEllipse(c, 13, 13);
  p.setBrush(QColor(0x0a, 0x0b, 0x0d));
  p.drawEllipse(c, 11, 11);
  if (lit) {
    QRadialGradient halo(c, 13);
    halo.setColorAt(0.5, QColor(0x40, 0xff, 0x70, 120));
    halo.setColorAt(1, QColor(0x40, 0xff, 0x70, 0));
    p.setBrush(halo);
    p.drawEllipse(c, 13, 13);
  }
  QRadialGradient g(c + QPointF(-2, -2), 10);
  g.setColorAt(0, lit ? QColor(0xf0, 0xff, 0xf2) : QColor(0x2f, 0x4a, 0x36));
  g.setColorAt(0.45, lit ? QColor(0x4a, 0xff, 0x7c) : QColor(0x16, 0x2c, 0x1c));
  g.setColorAt(1, lit ? QColor(0x0e, 0x90, 0x38) : QColor(0x09, 0x14, 0x0c));
  p.setBrush(g);
  p.drawEllipse(c, 9, 9);
  return image;
}

// ---- main view ---------------------------------------------------------------

// Panel, video well and a screw in each corner: the frame both windows share.
void ConsoleFrame(QPainter& p, const QSize& size) {
  PanelBase(p, size);
  VideoWell(p);
  const qreal right = size.width() - 15, bottom = size.height() - 15;
  for (QPointF s : {QPointF(14, 14), QPointF(right, 14), QPointF(14, bottom), QPointF(right, bottom)}) Screw(p, s);
}

const int kChannelX[16] = {311, 343, 371, 398, 426, 455, 482, 510, 538, 566, 594, 622, 650, 678, 706, 735};
const int kChannelNormal[16] = {310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
const int kChannelLatched[16] = {330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};
const int kLayoutPanes[7] = {1, 4, 7, 9, 10, 13, 16};

QImage MainBackground() {
  const QSize size(877, 685);
  QImage image = Canvas(size);
  QPainter p(&image);
  ConsoleFrame(p, size);

  // Status panel: date, time, positions, link status and the activity light.
  Recess(p, QRectF(731, 62, 132, 214), 4, Qt::black);
  // Function keys.
  Group(p, QRect(733, 298, 132, 64), "FUNCTION");
  Label(p, QRect(740, 309, 62, 14), "ROTATE", 9, Qt::AlignRight | Qt::AlignVCenter);
  Label(p, QRect(740, 327, 62, 14), "SETTING", 9, Qt::AlignRight | Qt::AlignVCenter);
  Label(p, QRect(740, 343, 62, 14), "SCAN", 9, Qt::AlignRight | Qt::AlignVCenter);
  // Zoom and focus.
  Group(p, QRect(731, 376, 136, 34));
  Label(p, QRect(731, 368, 62, 14), "ZOOM", 8);
  Label(p, QRect(806, 368, 62, 14), "FOCUS", 8);
  // Pan/tilt pad: a round well; the centre shows the selected camera.
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient pad(QPointF(797, 490), 72);
  pad.setColorAt(0, QColor(0x24, 0x27, 0x2c));
  pad.setColorAt(1, QColor(0x16, 0x18, 0x1c));
  p.setPen(QPen(kGroove, 2));
  p.setBrush(pad);
  p.drawEllipse(QPointF(797, 497), 68, 68);
  p.setPen(QPen(QColor(0x42, 0x48, 0x50), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(797, 497), 70, 70);
  p.restore();
  Label(p, QRect(776, 480, 45, 14), "CAM", 8);
  Recess(p, QRectF(787, 497, 27, 18), 2, Qt::black);
  Label(p, QRect(746, 566, 102, 14), "CAMERA SELECT", 8);

  // Brand and logo area (a double click there opens the About box).
  Brand(p, QRect(30, 570, 160, 110));
  // Link keys.
  Group(p, QRect(204, 556, 80, 110));
  Label(p, QRect(204, 560, 80, 13), "CONNECT", 8);
  Label(p, QRect(204, 609, 80, 13), "DISCONNECT", 8);
  // Layout and channel rows.
  Label(p, QRect(296, 598, 68, 25), "LAYOUT", 9, Qt::AlignRight | Qt::AlignVCenter);
  Label(p, QRect(311, 625, 80, 14), "CHANNEL", 8, Qt::AlignLeft | Qt::AlignVCenter);
  Recess(p, QRectF(309, 638, 459, 34), 3, QColor(0x12, 0x14, 0x17));
  Recess(p, QRectF(366, 596, 350, 29), 3, QColor(0x12, 0x14, 0x17));
  // Under the video area: a scale of thin ticks as a finishing line.
  p.fillRect(62, 512, 640, 1, kGroove);
  p.fillRect(62, 513, 640, 1, QColor(0x3d, 0x42, 0x4a));
  Label(p, QRect(62, 520, 640, 16), "LIVE  MONITORING", 9, Qt::AlignLeft | Qt::AlignVCenter,
        QColor(0x6f, 0x77, 0x82));
  p.end();
  return image;
}

void MainView(Output& out) {
  const QImage bg = MainBackground();
  out.Save(162, bg);

  Pair(out, bg, QRect(735, 16, 114, 22), 244, 243, Look::Pressed, 4, PowerIcon("POWER", true));
  // Slim keys shared by ROTATE, SETTING and SCAN: a lamp strip, lit when down or latched.
  const Content strip = [](QPainter& p, const QRectF& r, const QColor& c) {
    const bool lit = c == kLitText;
    p.fillRect(QRectF(r.left() + 9, r.center().y() - 1, r.width() - 18, 2),
               lit ? QColor(0xf0, 0xff, 0xf2) : QColor(0x12, 0x14, 0x17));
  };
  Pair(out, bg, QRect(807, 311, 51, 11), 217, 216, Look::Lit, 3, strip);
  // Connect and disconnect share one round key with a lamp.
  Pair(out, bg, QRect(228, 574, 33, 32), 163, 164, Look::Lit, 15,
       [](QPainter& p, const QRectF& r, const QColor& c) {
         const bool lit = c == kLitText;
         p.setPen(Qt::NoPen);
         p.setBrush(lit ? QColor(0xf4, 0xff, 0xf6) : QColor(0x12, 0x14, 0x17));
         p.drawEllipse(r.center(), 4.5, 4.5);
       });
  for (int i = 0; i < 7; ++i)
    Pair(out, bg, QRect(368 + 51 * i, 598, 40, 25), 165 + 2 * i, 166 + 2 * i, Look::Lit, 3,
         LayoutGlyph(kLayoutPanes[i]));
  for (int ch = 0; ch < 16; ++ch) {
    const int width = (ch == 0 || ch == 15) ? 31 : 28;
    Pair(out, bg, QRect(kChannelX[ch], 640, width, 30), kChannelNormal[ch], kChannelLatched[ch], Look::Lit, 3,
         Text(QString::number(ch + 1), 13));
  }
  out.Save(220, Activity(false));
  out.Save(221, Activity(true));

  // Pan/tilt pad and its hidden diagonals.
  struct Key { QRect r; int normal, pressed; double dx, dy; };
  const double d = 0.7071;
  const Key keys[] = {
      {{773, 437, 51, 34}, 189, 190, 0, -1}, {{679, 487, 35, 32}, 191, 192, -d, -d},
      {{737, 471, 36, 51}, 193, 194, -1, 0}, {{678, 547, 39, 39}, 195, 196, -d, d},
      {{773, 521, 51, 36}, 197, 198, 0, 1},  {{740, 547, 40, 39}, 199, 200, d, d},
      {{823, 471, 34, 51}, 201, 202, 1, 0},  {{737, 488, 45, 38}, 203, 204, d, -d},
  };
  for (const Key& k : keys)
    Pair(out, bg, k.r, k.normal, k.pressed, Look::Pressed, 6, Arrow(k.dx, k.dy, 14));
  Pair(out, bg, QRect(737, 386, 25, 18), 222, 223, Look::Pressed, 3, PlusMinus(true, 9));
  Pair(out, bg, QRect(762, 386, 25, 18), 224, 225, Look::Pressed, 3, PlusMinus(false, 9));
  Pair(out, bg, QRect(725, 545, 21, 20), 301, 302, Look::Pressed, 4, PlusMinus(true, 8));
  Pair(out, bg, QRect(844, 545, 21, 20), 303, 304, Look::Pressed, 4, PlusMinus(false, 8));
}

// ---- archive panel -------------------------------------------------------------

const int kArchiveChannelX[16] = {342, 373, 400, 428, 456, 485, 513, 541, 568, 596, 625, 652, 680, 709, 736, 764};

QImage ArchiveBackground() {
  const QSize size(951, 684);
  QImage image = Canvas(size);
  QPainter p(&image);
  ConsoleFrame(p, size);

  // Information panel: range, request, positions, messages and the activity light.
  Recess(p, QRectF(724, 60, 224, 180), 4, Qt::black);
  // Playback and time navigation.
  Group(p, QRect(724, 249, 224, 104), "PLAYBACK");
  // Calendar well.
  Recess(p, QRectF(722, 376, 224, 180), 3, QColor(0x12, 0x14, 0x17));
  Label(p, QRect(724, 360, 224, 14), "SEARCH DATE", 8, Qt::AlignLeft | Qt::AlignVCenter);
  // View mode keys under the video area.
  Group(p, QRect(50, 516, 132, 54), "VIEW");
  Label(p, QRect(54, 553, 32, 14), "ONE", 8);
  Label(p, QRect(83, 553, 32, 14), "ALL", 8);
  Label(p, QRect(114, 553, 64, 14), "SPLIT", 8);
  // Time of day slider with its hour scale; the thumb's left edge is at position / 149.
  for (int h = 0; h <= 24; ++h) {
    const int x = 206 + 7 + h * 3600 / 149;
    const bool major = h % 6 == 0;
    p.fillRect(x, major ? 592 : 596, 1, major ? 8 : 4, QColor(0x7b, 0x84, 0x90));
    if (major && h < 24)
      Label(p, QRect(x + 3, 584, 24, 10), QString("%1").arg(h, 2, 10, QChar('0')), 8,
            Qt::AlignLeft | Qt::AlignVCenter);
  }
  // Clock and channel row.
  Label(p, QRect(213, 624, 104, 12), "PLAY TIME", 8);
  Recess(p, QRectF(213, 638, 104, 24), 3, Qt::black);
  Label(p, QRect(342, 622, 80, 14), "CHANNEL", 8, Qt::AlignLeft | Qt::AlignVCenter);
  Recess(p, QRectF(340, 634, 457, 34), 3, QColor(0x12, 0x14, 0x17));
  Brand(p, QRect(24, 592, 160, 80));
  p.end();
  return image;
}

QImage SliderBar() {
  QImage image = Canvas(QSize(583, 16));
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, 16);
  g.setColorAt(0, QColor(0x20, 0x23, 0x28));
  g.setColorAt(1, QColor(0x2a, 0x2e, 0x34));
  p.fillRect(image.rect(), g);
  Recess(p, QRectF(5, 6, 573, 4), 2, QColor(0x05, 0x06, 0x07));
  p.fillRect(7, 7, 569, 1, QColor(0x1f, 0xa8, 0x4c, 120));
  for (int h = 0; h <= 24; ++h) {
    const int x = 7 + h * 3600 / 149;
    if (x < 583) p.fillRect(x, h % 6 == 0 ? 11 : 12, 1, h % 6 == 0 ? 4 : 2, QColor(0x5a, 0x62, 0x6d));
  }
  return image;
}

// The thumb: a lit needle on a key colour (its top-left pixel) that the slider
// makes see-through. Drawn without smoothing so no pixel blends with the key.
QImage SliderThumb() {
  QImage image = Canvas(QSize(14, 16));
  const QColor key(0xff, 0x00, 0xff);
  image.fill(key);
  QPainter p(&image);
  QPainterPath body;
  body.moveTo(1, 0);
  body.lineTo(13, 0);
  body.lineTo(13, 10);
  body.lineTo(7, 15.5);
  body.lineTo(1, 10);
  body.closeSubpath();
  p.fillPath(body, QColor(0x0b, 0x0c, 0x0e));
  QPainterPath inner;
  inner.moveTo(2, 1);
  inner.lineTo(12, 1);
  inner.lineTo(12, 9.5);
  inner.lineTo(7, 14);
  inner.lineTo(2, 9.5);
  inner.closeSubpath();
  p.fillPath(inner, QColor(0xd9, 0xde, 0xe5));
  p.fillRect(3, 2, 8, 1, QColor(0xff, 0xff, 0xff));
  p.fillRect(6, 3, 2, 9, QColor(0x1f, 0xa8, 0x4c));
  return image;
}

void ArchivePanel(Output& out) {
  const QImage bg = ArchiveBackground();
  out.Save(228, bg);
  out.Save(229, SliderBar());
  out.Save(230, SliderThumb());

  Pair(out, bg, QRect(732, 16, 118, 23), 248, 247, Look::Pressed, 4, PowerIcon("POWER", true));
  Pair(out, bg, QRect(808, 574, 62, 51), 246, 245, Look::Pressed, 5, Text("SAVE", 13));
  Pair(out, bg, QRect(877, 574, 62, 51), 348, 349, Look::Pressed, 5, Text("PRINT", 13));
  Pair(out, bg, QRect(808, 629, 62, 51), 350, 351, Look::Pressed, 5, Text("EVENT", 13));
  // RECORD lights red while recording.
  Pair(out, bg, QRect(877, 629, 62, 51), 256, 255, Look::Lit, 5,
       Combine(Within(0, 0.1, 1, 0.55,
                      [](QPainter& p, const QRectF& r, const QColor& c) {
                        p.setPen(Qt::NoPen);
                        p.setBrush(c == kFaceText ? QColor(0xff, 0x4a, 0x3a) : c);
                        p.drawEllipse(r.center(), 5.5, 5.5);
                      }),
               Within(0, 0.5, 1, 0.95, Text("RECORD", 11))),
       true);
  Pair(out, bg, QRect(117, 525, 26, 26), 242, 241, Look::Pressed, 4, PlusMinus(true, 11));
  Pair(out, bg, QRect(148, 525, 26, 26), 238, 237, Look::Pressed, 4, PlusMinus(false, 11));
  Pair(out, bg, QRect(57, 525, 25, 26), 324, 323, Look::Lit, 4, GridGlyph(1));
  Pair(out, bg, QRect(86, 525, 26, 26), 321, 322, Look::Lit, 4, GridGlyph(2));
  for (int n = 1; n <= 16; ++n) {
    const int width = (n == 1 || n == 16) ? 31 : 28;
    Pair(out, bg, QRect(kArchiveChannelX[n - 1], 636, width, 30), 263 + 2 * n, 264 + 2 * n, Look::Lit, 3,
         Text(QString::number(n), 13));
  }
  const char* play[5] = {"fb", "back", "stop", "play", "ff"};
  const int playX[5] = {732, 774, 817, 859, 901};
  for (int i = 0; i < 5; ++i)
    Pair(out, bg, QRect(playX[i], 255, 38, 40), 353 + 2 * i, 352 + 2 * i, Look::Lit, 4, PlayIcon(play[i]));
  const int navX[4] = {751, 795, 839, 883};
  const Content nav[4] = {PlayIcon("start"), HourStep(false), HourStep(true), PlayIcon("end")};
  for (int i = 0; i < 4; ++i)
    Pair(out, bg, QRect(navX[i], 306, 38, 40), 381 + 2 * i, 380 + 2 * i, Look::Pressed, 4, nav[i]);
}

// ---- program icon -------------------------------------------------------------

// The icon is a short list of shapes on a 256 x 256 canvas, so that the same
// drawing gives the PNGs and the SVG.
struct IconShape {
  bool ellipse;
  QRectF rect;
  double radius;
  QColor top, bottom;  // a vertical gradient over the shape; equal for a flat fill
  QColor stroke;       // invalid: no outline
  double strokeWidth;
};

std::vector<IconShape> IconShapes() {
  const QColor none;
  std::vector<IconShape> shapes = {
      {false, {8, 8, 240, 240}, 44, QColor(0x46, 0x4c, 0x55), kPanelBottom, kGroove, 6},  // the console
      {false, {30, 40, 196, 136}, 12, Qt::black, Qt::black, kEdgeLight, 4},               // the screen
      {true, {34, 192, 40, 40}, 0, kLitTop, kLitBottom, kGroove, 4},                      // the connect lamp
  };
  // Four live panes in the screen, in channel colours.
  const QColor panes[4] = {QColor(0x2a, 0x7f, 0xc9), QColor(0x2f, 0xb0, 0x63), QColor(0xd9, 0x8f, 0x23),
                           QColor(0xc0, 0x3a, 0x6e)};
  for (int i = 0; i < 4; ++i)
    shapes.push_back({false, {42.0 + (i % 2) * 88, 52.0 + (i / 2) * 58, 84, 54}, 4, panes[i].lighter(115),
                      panes[i].darker(130), none, 0});
  // Three keys beside the lamp.
  for (int i = 0; i < 3; ++i)
    shapes.push_back({false, {92.0 + i * 46, 198, 40, 28}, 6, QColor(0x5b, 0x62, 0x6c), QColor(0x25, 0x29, 0x2e),
                      kGroove, 3});
  return shapes;
}

QImage IconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  for (const IconShape& s : IconShapes()) {
    QLinearGradient g(0, s.rect.top(), 0, s.rect.bottom());
    g.setColorAt(0, s.top);
    g.setColorAt(1, s.bottom);
    p.setBrush(g);
    p.setPen(s.stroke.isValid() ? QPen(s.stroke, s.strokeWidth) : QPen(Qt::NoPen));
    if (s.ellipse)
      p.drawEllipse(s.rect);
    else
      p.drawRoundedRect(s.rect, s.radius, s.radius);
  }
  return image;
}

QString IconSvg() {
  QString svg;
  QTextStream t(&svg);
  t << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
    << "  <defs>\n";
  const std::vector<IconShape> shapes = IconShapes();
  for (size_t i = 0; i < shapes.size(); ++i)
    t << "    <linearGradient id=\"g" << i << "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
      << "<stop offset=\"0\" stop-color=\"" << shapes[i].top.name() << "\"/>"
      << "<stop offset=\"1\" stop-color=\"" << shapes[i].bottom.name() << "\"/></linearGradient>\n";
  t << "  </defs>\n";
  for (size_t i = 0; i < shapes.size(); ++i) {
    const IconShape& s = shapes[i];
    const QString stroke = s.stroke.isValid()
                               ? QString(" stroke=\"%1\" stroke-width=\"%2\"").arg(s.stroke.name()).arg(s.strokeWidth)
                               : QString();
    if (s.ellipse)
      t << "  <ellipse cx=\"" << s.rect.center().x() << "\" cy=\"" << s.rect.center().y() << "\" rx=\""
        << s.rect.width() / 2 << "\" ry=\"" << s.rect.height() / 2 << "\"";
    else
      t << "  <rect x=\"" << s.rect.x() << "\" y=\"" << s.rect.y() << "\" width=\"" << s.rect.width()
        << "\" height=\"" << s.rect.height() << "\" rx=\"" << s.radius << "\"";
    t << " fill=\"url(#g" << i << ")\"" << stroke << "/>\n";
  }
  t << "</svg>\n";
  return svg;
}

// ardeviz-<size>.png for each size of the freedesktop icon theme, and ardeviz.svg.
bool WriteIcons(const QDir& dir) {
  if (!dir.exists() && !QDir().mkpath(dir.path())) return false;
  bool ok = true;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    ok = IconImage(size).save(dir.filePath(QString("ardeviz-%1.png").arg(size)), "PNG") && ok;
  QFile svg(dir.filePath("ardeviz.svg"));
  const bool opened = svg.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
  return opened && svg.write(IconSvg().toUtf8()) > 0 && ok;
}

bool WriteQrc(const QString& path, const std::map<int, QSize>& written) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
  QTextStream s(&file);
  s << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/skin\">\n";
  for (const auto& [id, size] : written)
    for (const char* suffix : {"", "@2x"})
      s << "    <file alias=\"" << id << suffix << ".png\">skin/" << id << suffix << ".png</file>\n";
  s << "  </qresource>\n</RCC>\n";
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder> [<qrc file> [<icon folder>]]\n", argv[0]);
    return 2;
  }
  LoadFonts();
  Output out;
  out.dir = QDir(QString::fromLocal8Bit(argv[1]));
  if (!out.dir.exists() && !QDir().mkpath(out.dir.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  for (int scale : {1, 2}) {
    g_scale = scale;
    MainView(out);
    ArchivePanel(out);
  }
  if (argc >= 3 && !WriteQrc(QString::fromLocal8Bit(argv[2]), out.written)) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc >= 4 && !WriteIcons(QDir(QString::fromLocal8Bit(argv[3])))) {
    std::fprintf(stderr, "cannot write the icons into %s\n", argv[3]);
    return 1;
  }
  std::printf("%zu pictures written at 1x and 2x\n", out.written.size());
  return out.ok ? 0 : 1;
}
