#include "viewer/PtzViewBinding.h"

#include <QPainter>

#include "link/CDvrLink.h"
#include "platform/Alerts.h"
#include "skin/SkinButton.h"
#include "viewer/CArdevizView.h"

namespace {
constexpr std::uint8_t kLoggedIn = 1;
constexpr int kSinglePane = 1;
const QString kCaption = QStringLiteral("Ardeviz");
}  // namespace

PtzViewBinding::PtzViewBinding(CArdevizView& view, PtzTiming timing)
    : m_view(view), m_control(MakeHooks(), timing) {}

PtzControl::Hooks PtzViewBinding::MakeHooks() {
  PtzControl::Hooks hooks;
  hooks.send = [this](const std::uint8_t* bytes, std::size_t n) {
    if (CDvrLink* link = m_view.Link()) link->SendPtzData(bytes, n);
  };
  hooks.selectorLocked = [this] {
    return m_view.Link() != nullptr && m_view.ConnectionState() == kLoggedIn &&
           (m_view.ChannelLayout() >> 8) == kSinglePane && m_view.IsRotating();
  };
  hooks.alert = [this](const QString& text) { Alerts::ShowMessage(&m_view, text, kCaption, Alerts::Icon::None); };
  hooks.saveSettings = [this] { m_view.SaveSettings(); };
  hooks.showCamera = [this] { ShowPtzCamera(); };
  return hooks;
}

void PtzViewBinding::CreateButtons() {
  for (const PtzPadButton& entry : kPtzButtons) {
    auto* button = new SkinButton(&m_view, entry.controlId, entry.geometry,
                                  SkinButtonBitmaps::Momentary(entry.normalBitmap, entry.pressedBitmap),
                                  SkinButton::Kind::Momentary, entry.value);
    // The press notification is handled inside the button's mouse handler;
    // the press state arrives queued, after it.
    QObject::connect(button, &SkinButton::ptzCommand, &m_control, &PtzControl::OnPtzCommand);
    QObject::connect(button, &SkinButton::pressStateChanged, &m_control, &PtzControl::OnPressStateChanged);
    // A press by the operator makes the recorder's next reply worth telling again.
    QObject::connect(button, &SkinButton::ptzCommand, &m_view, [this](quint32, int pressed) {
      if (pressed == 1) m_view.OnPtzButtonPressed();
    });
    button->setVisible(entry.visible);
  }
}

void PtzViewBinding::LoadCommands() { m_control.LoadPtzCommands(m_view.Settings().ptzType); }

QString PtzViewBinding::CommandFilePath() const { return QString::fromStdString(m_control.CommandFilePath()); }

void PtzViewBinding::PaintCamera(QPainter& painter) {
  m_view.Panel().DrawText(painter, PtzControl::kCameraRect, m_control.PtzCameraText(),
                       Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine);
}

void PtzViewBinding::ShowPtzCamera() { m_view.update(PtzControl::kCameraRect); }

void PtzViewBinding::ApplyPtzType() { m_control.ApplyPtzType(m_view.Settings().ptzType); }

std::unique_ptr<IViewPtzControl> MakePtzControl(CArdevizView& view) {
  return std::make_unique<PtzViewBinding>(view);
}
