#include "tests/acceptance/SkinReference.h"

#include <QCoreApplication>
#include <QPainter>

#include <cstdlib>

#include "link/CDvrLink.h"
#include "platform/Alerts.h"
#include "skin/PaneNotice.h"
#include "skin/SkinButton.h"
#include "skin/SkinPushButton.h"
#include "viewer/CArdevizView.h"
#include "viewer/PtzControl.h"

namespace {
// Anti-aliased text drawn twice by the same code differs by rounding at most.
constexpr int kColourTolerance = 40;
// A crop matches a reference when at most this share of its pixels differ.
constexpr double kMatchShare = 0.001;

QImage Crop(const QImage& image, const QRect& rect) { return image.copy(rect).convertToFormat(QImage::Format_RGB32); }
}  // namespace

SkinReference::SkinReference() {
  // The reference view must never open a box in the test program.
  Alerts::SetMessageHook([](const Alerts::Message&) { return Alerts::kOk; });
  Alerts::SetBeepHook([] {});
  ViewOptions options;
  options.createLink = false;
  const QByteArray viewer = qgetenv("ARDEVIZ_VIEWER");
  if (!viewer.isEmpty()) options.executablePath = QString::fromLocal8Bit(viewer);
  m_view = std::make_unique<CArdevizView>(nullptr, options);
  m_view->OnInitialUpdate();
  m_view->SecondTimer().stop();

  for (const int code : {status::kWaiting, status::kEstablished, status::kConnecting, status::kTryReconnection,
                         status::kConnectionFail}) {
    m_view->ShowConnectionStatus(code);
    m_statusCrops.emplace_back(StatusPanel::StatusTextFor(code, 0, 0),
                               m_view->grab(StatusPanel::kStatusRect).toImage().convertToFormat(QImage::Format_RGB32));
  }
  // The miss count comes from a link, which this view has not: drawn as the view draws its
  // status, checked against the view's own drawing of the first text.
  const auto drawn = [this](const QString& text) {
    QImage crop(StatusPanel::kStatusRect.size(), QImage::Format_RGB32);
    QPainter painter(&crop);
    m_view->Panel().DrawText(painter, QRect(QPoint(0, 0), StatusPanel::kStatusRect.size()), text,
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    return crop;
  };
  if (DifferingPixels(drawn(m_statusCrops.front().first), m_statusCrops.front().second) > 0)
    m_problem += QStringLiteral("The status line is no longer drawn as this reference draws it. ");
  for (const int misses : {1, 2}) {
    const QString text = StatusPanel::StatusTextFor(status::kTryRequestImage, misses, 0);
    m_statusCrops.emplace_back(text, drawn(text));
  }
  m_view->ShowConnectionStatus(status::kWaiting);
  // Two texts that read alike would make every reading doubtful.
  for (std::size_t i = 0; i < m_statusCrops.size(); ++i)
    for (std::size_t j = i + 1; j < m_statusCrops.size(); ++j)
      if (DifferingPixels(m_statusCrops[i].second, m_statusCrops[j].second) <= MatchLimit())
        m_problem += QStringLiteral("\"%1\" and \"%2\" look alike. ").arg(m_statusCrops[i].first, m_statusCrops[j].first);
  SkinButton* lamp = m_view->Button(CArdevizView::kIdActivity);
  lamp->SetCheck(false);
  m_lampUnlit = m_view->grab(LampRect()).toImage().convertToFormat(QImage::Format_RGB32);
  lamp->SetCheck(true);
  m_lampLit = m_view->grab(LampRect()).toImage().convertToFormat(QImage::Format_RGB32);
  lamp->SetCheck(false);
  if (DifferingPixels(m_lampUnlit, m_lampLit) == 0) m_problem += QStringLiteral("The lamp's two faces look alike.");
}

SkinReference::~SkinReference() {
  m_view.reset();
  Alerts::SetMessageHook({});
  Alerts::SetBeepHook({});
}

QRect SkinReference::ControlRect(int controlId) const {
  if (const SkinButton* button = m_view->Button(controlId)) return button->geometry();
  if (const SkinPushButton* button = m_view->PushButton(controlId)) return button->geometry();
  for (const PtzPadButton& button : kPtzButtons)
    if (button.controlId == controlId) return button.geometry;
  std::abort();  // a scenario asks for a control the skin does not have
}

int SkinReference::MatchLimit() const {
  return static_cast<int>(StatusPanel::kStatusRect.width() * StatusPanel::kStatusRect.height() * kMatchShare);
}

QRect SkinReference::PaneRect(int channel) const { return m_view->PaneRect(channel); }
QRect SkinReference::LampRect() const { return ControlRect(CArdevizView::kIdActivity); }

QString SkinReference::ReadStatus(const QImage& window) const {
  const QImage crop = Crop(window, StatusPanel::kStatusRect);
  int best = MatchLimit() + 1;
  QString read = QStringLiteral("(none of the status texts)");
  for (const auto& [text, reference] : m_statusCrops) {
    const int differing = DifferingPixels(crop, reference);
    if (differing < best) {
      best = differing;
      read = text;
    }
  }
  return read;
}

bool SkinReference::ShowsNotice(const QImage& window, int channel, const QString& text) const {
  const QRect pane = PaneRect(channel);
  QImage drawn(pane.size(), QImage::Format_RGB32);
  QPainter painter(&drawn);
  PaneNotice::Draw(painter, drawn.rect(), text, m_view->Panel().Font());
  painter.end();
  const QRect box = PaneNotice::BoxRect(drawn.rect(), text, m_view->Panel().Font());
  return DifferingPixels(Crop(window, box.translated(pane.topLeft())), Crop(drawn, box)) <= MatchLimit();
}

const char* SkinReference::ReadLamp(const QImage& window) const {
  const QImage crop = Crop(window, LampRect());
  if (DifferingPixels(crop, m_lampUnlit) == 0) return "unlit";
  if (DifferingPixels(crop, m_lampLit) == 0) return "lit";
  return "neither face";
}

int SkinReference::DifferingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height();
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (std::abs(qRed(p[x]) - qRed(q[x])) > kColourTolerance ||
          std::abs(qGreen(p[x]) - qGreen(q[x])) > kColourTolerance ||
          std::abs(qBlue(p[x]) - qBlue(q[x])) > kColourTolerance)
        ++count;
    }
  }
  return count;
}
