#include "viewer/CArdevizView.h"

#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>

#include <utility>

#include "link/CDvrLink.h"
#include "platform/Alerts.h"
#include "platform/DisplayMode.h"
#include "platform/LocalFile.h"
#include "res/SkinImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinKeyboard.h"
#include "skin/SkinPushButton.h"
#include "skin/WindowDragHelper.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"
#include "viewer/IViewArchivePanel.h"
#include "viewer/IViewPtzControl.h"
#include "viewer/ViewAccessibility.h"
#include "viewer/ViewKeys.h"
#include "viewer/ViewerSettingsStore.h"

namespace {
// Channel buttons 1 to 16 along the bottom row.
constexpr int kChannelButtonY = 640;
constexpr int kChannelButtonHeight = 30;
constexpr std::array<int, wire::kChannels> kChannelButtonX = {
    311, 343, 371, 398, 426, 455, 482, 510, 538, 566, 594, 622, 650, 678, 706, 735};
constexpr std::array<int, wire::kChannels> kChannelButtonNormal = {
    310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
constexpr std::array<int, wire::kChannels> kChannelButtonLatched = {
    330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};
constexpr int ChannelButtonWidth(int channel) {
  return (channel == 0 || channel == wire::kChannels - 1) ? 31 : 28;
}

// Layout buttons 1, 4, 7, 9, 10, 13, 16.
constexpr int kLayoutButtonX = 368;
constexpr int kLayoutButtonStep = 51;
constexpr int kLayoutButtonY = 598;
constexpr QSize kLayoutButtonSize{40, 25};

constexpr QRect kPowerRect{735, 16, 114, 22};
constexpr QRect kSettingRect{807, 329, 51, 11};
constexpr QRect kArchiveRect{807, 345, 51, 11};
constexpr QRect kRotateRect{807, 311, 51, 11};
constexpr QRect kConnectRect{228, 574, 33, 32};
constexpr QRect kDisconnectRect{228, 624, 33, 32};
constexpr QRect kActivityRect{740, 230, 40, 40};

}  // namespace

CArdevizView::CArdevizView(QWidget* parent, Options options)
    : QWidget(parent), m_options(std::move(options)) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  ViewAccessibility::Install();
  if (m_options.executablePath.isEmpty()) m_options.executablePath = QCoreApplication::applicationFilePath();
  // A missing logo file (or anything but a plain file) simply leaves the logo out.
  m_logo = LocalFile::ReadImage(QString::fromLatin1(kLogoFile), LocalFile::kLogoBound);

  // The clock, rotation and the settle wait are never cut short (coarse timers fire up to 5 % early).
  m_secondTimer.setTimerType(Qt::PreciseTimer);
  m_screenModeTimer.setTimerType(Qt::PreciseTimer);
  m_secondTimer.setInterval(m_options.tickMs);
  connect(&m_secondTimer, &QTimer::timeout, this, &CArdevizView::OnSecondTick);
  m_noticeClock.start();
  m_noticeTimer.setInterval(PaneNotice::kCheckMs);
  connect(&m_noticeTimer, &QTimer::timeout, this, &CArdevizView::OnNoticeCheck);
  // Dragging anywhere on the skin moves the frame, except in full screen.
  new WindowDragHelper(this, [this] { return !m_settings.useFullScreen && window() != this; });
  m_repaintTimer.setSingleShot(true);
  connect(&m_repaintTimer, &QTimer::timeout, this, &CArdevizView::OnRepaintTick);
  m_positionTimer.setSingleShot(true);
  connect(&m_positionTimer, &QTimer::timeout, this, &CArdevizView::OnPositionTick);
  m_screenModeTimer.setSingleShot(true);
  connect(&m_screenModeTimer, &QTimer::timeout, this, [this] { PlaceTarget(true, m_pendingTarget); });
}

CArdevizView::~CArdevizView() {
  m_secondTimer.stop();
  m_noticeTimer.stop();
  m_screenModeTimer.stop();
  if (m_pLink) m_pLink->Disconnect(true);
  // The event list lives only for one run of the program.
  DeleteEventFile();
  if (m_bDisplayModeChanged) DisplayMode::Restore();
  m_pPtzControl.reset();
  m_pArchivePanel.reset();
  m_pLink.reset();
}

void CArdevizView::OnInitialUpdate() {
  if (m_bInitialised) return;
  m_bInitialised = true;

  // 1. The link; the view runs without one when it is not wanted.
  if (!m_pLink && m_options.createLink) {
    m_pLink = std::make_unique<CDvrLink>(this, m_options.linkTiming);
    // Written like every other file of ours: never through a link, never into a FIFO.
    m_pLink->SetEventFileWriter(
        [](const QString& path, QByteArrayView bytes) { return LocalFile::ReplaceBytes(path, bytes); });
  }
  // 2. The hidden archive panel.
  if (!m_pArchivePanel) m_pArchivePanel = m_options.extensions.createArchivePanel
                                             ? m_options.extensions.createArchivePanel(*this, m_pLink.get())
                                             : nullptr;
  // 3-4. Pan/tilt intervals and the user command file path.
  if (!m_pPtzControl) m_pPtzControl = m_options.extensions.createPtzControl ? m_options.extensions.createPtzControl(*this) : nullptr;
  if (m_pPtzControl) {
    m_pPtzControl->ReadIntervals();
    m_pPtzControl->ResetCommandFilePath();
  }
  // 5. Settings from a cleared record.
  m_settings = ViewerSettings{};
  LoadSettings();
  // 6. The command table starts empty.
  if (m_pPtzControl) m_pPtzControl->ClearCommandTable();
  // 7-8. Status font and skin.
  m_panel.CreateStatusFont();
  LoadSkin();
  // The keyboard presses the skin's buttons; F11 flips the stored full-screen option.
  new SkinKeyboard(this, ViewKeys(), [this] {
    m_settings.useFullScreen = m_settings.useFullScreen ? 0 : 1;
    SetScreenMode(m_settings.useFullScreen != 0, ScreenTarget::MainWindow);
  });
  // 9. The current layout, which also asks the link for pictures.
  SetLayout(m_layout.ChannelLayout());
  // 10. Full screen when configured.
  if (m_settings.useFullScreen) SetScreenMode(true, ScreenTarget::MainWindow);
  // 11. The 1-second tick.
  m_secondTimer.start();
  m_noticeTimer.start();
  // 12. The command table of the configured camera protocol.
  if (m_pPtzControl) m_pPtzControl->LoadCommands();
}

void CArdevizView::LoadSettings() {
  const QString ptzPath = m_pPtzControl ? m_pPtzControl->CommandFilePath() : m_settings.ptzFilePath;
  ViewerSettingsStore::Load(m_settings, ptzPath, m_options.executablePath, m_options.secretStore);
}

void CArdevizView::SaveSettings() {
  const QString ptzPath = m_pPtzControl ? m_pPtzControl->CommandFilePath() : m_settings.ptzFilePath;
  ViewerSettingsStore::Save(m_settings, ptzPath, m_options.secretStore);
}

QString CArdevizView::HostText() const {
  return m_options.hostOverride ? *m_options.hostOverride : m_settings.hostAddress;
}

std::uint16_t CArdevizView::Port() const {
  return m_options.portOverride ? *m_options.portOverride : static_cast<std::uint16_t>(m_settings.hostPort);
}

SkinButton* CArdevizView::AddButton(int controlId, const QRect& geometry, int normalId, int latchedId) {
  auto* button = new SkinButton(this, controlId, geometry, SkinButtonBitmaps::Latching(normalId, latchedId));
  connect(button, &SkinButton::clicked, this, &CArdevizView::OnCommand);
  m_buttons[controlId] = button;
  return button;
}

void CArdevizView::LoadSkin() {
  m_background = SkinPixmap(kBitmapBackground);

  const auto addPush = [this](int controlId, const QRect& geometry, int upId, int downId) {
    auto* button = new SkinPushButton(this, controlId, geometry, upId, downId);
    connect(button, &QAbstractButton::clicked, this, [this, controlId] { OnCommand(controlId); },
            Qt::QueuedConnection);
    m_pushButtons[controlId] = button;
  };
  addPush(kIdPower, kPowerRect, kBitmapPowerUp, kBitmapPowerDown);
  addPush(kIdSetting, kSettingRect, kBitmapSmallNormal, kBitmapSmallDown);
  addPush(kIdArchive, kArchiveRect, kBitmapSmallNormal, kBitmapSmallDown);

  AddButton(kIdRotate, kRotateRect, kBitmapSmallNormal, kBitmapSmallDown);
  AddButton(kIdConnect, kConnectRect, kBitmapConnectNormal, kBitmapConnectLatched);
  AddButton(kIdDisconnect, kDisconnectRect, kBitmapConnectNormal, kBitmapConnectLatched)->SetCheck(true);
  for (int i = 0; i < kLayoutButtons; ++i)
    AddButton(kIdLayoutFirst + i, QRect(QPoint(kLayoutButtonX + kLayoutButtonStep * i, kLayoutButtonY), kLayoutButtonSize),
              kBitmapLayoutFirst + 2 * i, kBitmapLayoutFirst + 1 + 2 * i);
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QRect geometry(kChannelButtonX[ch], kChannelButtonY, ChannelButtonWidth(ch), kChannelButtonHeight);
    AddButton(kIdChannelFirst + ch, geometry, kChannelButtonNormal[ch], kChannelButtonLatched[ch])->setEnabled(true);
  }
  AddButton(kIdActivity, kActivityRect, kBitmapActivityNormal, kBitmapActivityLatched)->setEnabled(false);

  if (m_pPtzControl) m_pPtzControl->CreateButtons();
}

SkinButton* CArdevizView::Button(int controlId) const {
  const auto it = m_buttons.find(controlId);
  return it == m_buttons.end() ? nullptr : it->second;
}

SkinPushButton* CArdevizView::PushButton(int controlId) const {
  const auto it = m_pushButtons.find(controlId);
  return it == m_pushButtons.end() ? nullptr : it->second;
}

void CArdevizView::SetLayout(std::uint16_t layoutWord) {
  m_layout.SetLayout(layoutWord);
  ApplyLayout();
}

void CArdevizView::ApplyLayout() {
  if (SkinButton* rotate = Button(kIdRotate)) {
    if (m_layout.IsSingle()) {
      rotate->setEnabled(true);
    } else {
      rotate->SetCheck(false);
    }
  }
  UpdateChannelButtons();
  if (m_pPtzControl) m_pPtzControl->ShowPtzCamera();
  for (int i = 0; i < kLayoutButtons; ++i)
    if (SkinButton* button = Button(kIdLayoutFirst + i)) button->SetCheck(m_layout.IsLayoutButtonLatched(i));
  if (m_pLink) m_pLink->SendRequest(RequestKind::LiveRequest, true);
  // A newly shown page waits for its pictures before any of them counts as late.
  m_notices.Restart(NowMs());
  update(kVideoArea);
}

void CArdevizView::UpdateChannelButtons() {
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    if (SkinButton* button = Button(kIdChannelFirst + ch)) {
      button->SetCheck(m_layout.IsChannelButtonLatched(ch));
      button->setEnabled(m_layout.IsChannelButtonEnabled(ch));
    }
  }
}

void CArdevizView::Apply(PaneLayout::Outcome outcome, int controlId) {
  if (outcome == PaneLayout::Outcome::Changed) {
    ApplyLayout();
  } else if (outcome == PaneLayout::Outcome::Refused) {
    Alerts::Beep();
    if (SkinButton* button = Button(controlId)) button->SetCheck(false);
  }
}

void CArdevizView::OnCommand(int controlId) {
  if (controlId >= kIdLayoutFirst && controlId < kIdLayoutFirst + kLayoutButtons) {
    OnLayoutButton(controlId - kIdLayoutFirst);
  } else if (controlId >= kIdChannelFirst && controlId < kIdChannelFirst + wire::kChannels) {
    OnChannelButton(controlId - kIdChannelFirst);
  } else {
    switch (controlId) {
      case kIdPower: OnPower(); break;
      case kIdSetting: OnSetting(); break;
      case kIdConnect: OnConnect(); break;
      case kIdDisconnect: OnDisconnect(); break;
      case kIdArchive: OnArchive(); break;
      case kIdRotate: OnRotateButton(); break;
      default: break;
    }
  }
}

void CArdevizView::OnLayoutButton(int index) {
  Apply(m_layout.PressLayoutButton(index), kIdLayoutFirst + index);
}

void CArdevizView::OnChannelButton(int channel) {
  Apply(m_layout.PressChannelButton(channel), kIdChannelFirst + channel);
}

void CArdevizView::OnRotateButton() {
  const bool wasRotating = m_layout.IsRotating();
  const PaneLayout::Outcome outcome =
      m_layout.PressRotateButton(m_nConnectionState == 1, ViewerSettings::RotateSeconds(m_settings.rotateInterval),
                                 m_bShown);
  if (SkinButton* button = Button(kIdRotate)) button->SetCheck(m_layout.IsRotating());
  // Ending rotation returns to nine panes; the nine-pane button is never refused.
  Apply(outcome, wasRotating ? kIdLayoutFirst + PaneLayout::kLayoutIndexNine : kIdRotate);
}

void CArdevizView::NextRotationChannel() { Apply(m_layout.NextRotationChannel(m_bShown), kIdRotate); }

void CArdevizView::OnSecondTick() {
  update(StatusPanel::kDateRect);
  update(StatusPanel::kTimeRect);
  Apply(m_layout.Tick(m_bShown), kIdRotate);
  if (m_pPtzControl) m_pPtzControl->OnSecondTick();
}

std::int64_t CArdevizView::NowMs() const {
  return m_options.noticeClockMs ? m_options.noticeClockMs() : m_noticeClock.elapsed();
}

QString CArdevizView::NoticeText(int channel) const {
  if (m_nConnectionState != 1 || m_layout.PaneRect(channel).isEmpty()) return {};
  return m_notices.Text(channel, NowMs());
}

QString CArdevizView::NoticesText() const {
  QStringList notices;
  for (int ch = 0; ch < wire::kChannels; ++ch)
    if (const QString text = NoticeText(ch); !text.isEmpty()) notices << QStringLiteral("CH%1 %2").arg(ch + 1).arg(text);
  return notices.join(QStringLiteral(", "));
}

// A pane whose notice appeared, changed its seconds or ended is repainted; the
// notices are also the view's description for assistive tools.
void CArdevizView::OnNoticeCheck() {
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QString text = NoticeText(ch);
    if (text == m_noticeShown[ch]) continue;
    m_noticeShown[ch] = text;
    update(m_layout.PaneRect(ch));
  }
  if (const QString all = NoticesText(); all != accessibleDescription()) setAccessibleDescription(all);
}

void CArdevizView::ShowVideoLoss(int channel) {
  m_notices.VideoLoss(channel);
  OnNoticeCheck();
}

void CArdevizView::OnConnect() {
  const bool idle = m_nConnectionState == 0;
  if (idle && m_pLink && m_pLink->ConnectToDvr(HostText(), Port())) m_nConnectionState = 2;
  if (SkinButton* connectButton = Button(kIdConnect)) {
    connectButton->setEnabled(true);
    connectButton->SetCheck(true);
  }
  if (SkinButton* disconnectButton = Button(kIdDisconnect)) disconnectButton->SetCheck(false);
  // Pressed while connected or retrying, CONNECT starts nothing: the status line
  // keeps what the link last reported ("TRY RECONNECTION", "CONNECTION FAIL:", ...)
  // instead of claiming an established connection.
  if (idle) ShowConnectionStatus(m_nConnectionState);
}

void CArdevizView::GoOffline() {
  if (m_nConnectionState != 0) {
    m_nConnectionState = 0;
    if (m_pLink) m_pLink->Disconnect(true);
    ClearChannelImages();
    update(kVideoArea);
    if (SkinButton* disconnectButton = Button(kIdDisconnect)) disconnectButton->setEnabled(true);
    if (SkinButton* connectButton = Button(kIdConnect)) connectButton->SetCheck(false);
    DeleteEventFile();
  }
  if (SkinButton* disconnectButton = Button(kIdDisconnect)) disconnectButton->SetCheck(true);
  // Offline must not look live: unlit lamp, no positions of the last session,
  // and the waiting text even when the link went offline by itself.
  m_activityLit = false;
  m_activityPending = false;
  ShowActivity();
  m_positionsWaiting = false;
  m_panel.ClearPositions();
  update(StatusPanel::PositionArea());
  ShowConnectionStatus(m_nConnectionState);
}

void CArdevizView::OnDisconnect() {
  GoOffline();
  ShowConnectionStatus(m_nConnectionState);
}

void CArdevizView::OnArchive() {
  if (m_pLink) m_pLink->RequestDvrStatus2();
  SwitchToArchive(true);
}

void CArdevizView::SwitchToArchive(bool show) {
  // Into the panel only while connected; back out always, so that the panel's POWER
  // never strands the operator after the link has gone offline.
  const bool connected = m_pLink && m_nConnectionState != 0;
  if (!m_pArchivePanel || (show && !connected)) return;
  m_pArchivePanel->SetArchiveShown(show);
  QWidget* mainWindow = window();
  if (show) {
    mainWindow->hide();
    m_pArchivePanel->SetPanelVisible(true);
    m_pLink->SendRequest(RequestKind::LiveStop, false);
    SetScreenMode(m_settings.useFullScreen != 0, ScreenTarget::ArchivePanel);
    ClearChannelImages();
    m_pLink->SendRequest(RequestKind::LiveStop, false);
    m_pArchivePanel->StartArchive();
  } else {
    m_pArchivePanel->SetPanelVisible(false);
    mainWindow->show();
    SetScreenMode(m_settings.useFullScreen != 0, ScreenTarget::MainWindow);
    if (connected) m_pLink->SendRequest(RequestKind::LiveRequest, true);
  }
}

void CArdevizView::SetScreenMode(bool on, ScreenTarget target) {
  m_screenModeTimer.stop();
  if (on) {
    if (DisplayMode::Current() != DisplayMode::kFullScreenSize) {
      DisplayMode::SwitchTo(DisplayMode::kFullScreenSize);
      m_bDisplayModeChanged = true;  // set even when the switch failed
    }
    // Let the display settle before placing the window, without freezing it.
    m_pendingTarget = target;
    m_screenModeTimer.start(m_options.screenModeSettleMs);
  } else {
    DisplayMode::Restore();
    m_bDisplayModeChanged = false;
    PlaceTarget(false, target);
  }
}

void CArdevizView::PlaceTarget(bool fullScreen, ScreenTarget target) {
  if (target == ScreenTarget::ArchivePanel) {
    if (m_pArchivePanel) m_pArchivePanel->PlacePanel(fullScreen);
  } else if (CMainFrame* frame = Frame()) {
    frame->SetFullScreen(fullScreen);
  }
}

CMainFrame* CArdevizView::Frame() const { return qobject_cast<CMainFrame*>(window()); }

qreal CArdevizView::DevicePixelScale() const {
  const CMainFrame* frame = Frame();
  const FullScreenStage* stage = frame ? frame->Stage() : nullptr;
  return stage ? stage->devicePixelRatioF() * stage->Factor() : devicePixelRatioF();
}

void CArdevizView::OnSetting() {
  if (!m_options.extensions.runConfigurations || !m_options.extensions.runConfigurations(*this)) return;
  SetScreenMode(m_settings.useFullScreen != 0, ScreenTarget::MainWindow);
  if (m_pPtzControl) m_pPtzControl->ApplyPtzType();
}

void CArdevizView::OnPower() {
  if (m_pLink) m_pLink->Disconnect(true);
  m_secondTimer.stop();
  SaveSettings();
  if (m_pArchivePanel) m_pArchivePanel->RequestClose();
  QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}

void CArdevizView::ShowAbout() {
  // The build's version, the same one --version prints.
  static constexpr const char* kAboutText = "Ardeviz Version " ARDEVIZ_VERSION;
  Alerts::ShowMessage(this, QString::fromLatin1(kAboutText), QString::fromLatin1(kAboutCaption),
                      Alerts::Icon::Information);
}

void CArdevizView::ShowPtzDataReply(const wire::PacketInfo& reply) {
  // The recorder may answer every string sent, the stop string of each second
  // among them: a reply is told once, and again only when it says something
  // else or after the operator pressed a pan/tilt button.
  if (m_toldPtzReply == reply.w) return;
  m_toldPtzReply = reply.w;
  // One box at a time, and one that does not block: a modal box would leave
  // the pan/tilt pad unusable while it is open.
  if (m_ptzReplyBox && m_ptzReplyBox->isVisible()) return;
  m_ptzReplyBox = Alerts::OpenMessage(this, QString::fromLatin1(kPtzReplyText), QStringLiteral("Ardeviz"),
                                      Alerts::Icon::Information);
}

void CArdevizView::ClearChannelImages() {
  m_pImageBits.fill(nullptr);
  m_bShown.fill(false);
  m_notices.Clear();
}

void CArdevizView::DeleteEventFile() {
  QFile::remove(m_pLink ? m_pLink->EventFilePath() : QString::fromLatin1(kEventFileName));
}

void CArdevizView::SetChannelCount(int channels) {
  m_layout.SetChannelLimit(channels);
  UpdateChannelButtons();  // now, not at the next layout change: a button beyond the count asks for nothing
}

void CArdevizView::SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                                   QSize pictureSize) {
  if (channel < 0 || channel >= wire::kChannels) return;
  m_pImageBits[channel] = pixels;
  m_bmiHeader[channel] = header;
  m_pictureSize[channel] = pictureSize.isEmpty() ? QSize(header.width, header.height) : pictureSize;
  m_notices.Picture(channel, NowMs());
}

void CArdevizView::SetChannelFieldFlag(int channel, std::uint8_t fieldFlag) {
  if (channel < 0 || channel >= wire::kChannels) return;
  m_nFieldFlag[channel] = fieldFlag;
}

void CArdevizView::DrawChannel(int channel) {
  if (channel < 0 || channel >= wire::kChannels) return;
  m_bShown[channel] = true;
  const QRect& pane = m_layout.PaneRect(channel);
  if (m_pImageBits[channel] && !pane.isEmpty()) RepaintSoon(pane);
}

void CArdevizView::ShowConnectionStatus(int statusCode) {
  const int missCount = m_pLink ? m_pLink->MissCount() : 0;
  const std::uint32_t statusWord = m_pLink ? m_pLink->ChannelStatusWord() : 0;
  m_panel.SetStatusText(StatusPanel::StatusTextFor(statusCode, missCount, statusWord));
  ViewAccessibility::NotifyStatusChanged(this);
  if (m_pArchivePanel && m_pArchivePanel->IsArchiveShown()) m_pArchivePanel->ShowLinkStatus(statusCode);
  update(StatusPanel::kStatusRect);
}

void CArdevizView::ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) {
  // The recorder sends its positions with every picture, far faster than
  // anyone reads them: the newest are shown at once after a quiet spell, else
  // at the end of the position interval.
  m_positions = {recordPosition, playPosition};
  m_positionsWaiting = true;
  if (!m_positionTimer.isActive()) OnPositionTick();
}

void CArdevizView::OnPositionTick() {
  if (!std::exchange(m_positionsWaiting, false)) return;  // quiet: the next positions show at once
  // Only a line whose text changed is repainted.
  const QString record = m_panel.RecordPositionText();
  const QString play = m_panel.PlayPositionText();
  m_panel.ShowPositions(m_positions.first, m_positions.second);
  if (record != m_panel.RecordPositionText()) RepaintSoon(StatusPanel::kRecordPositionRect);
  if (play != m_panel.PlayPositionText()) RepaintSoon(StatusPanel::kPlayPositionRect);
  m_positionTimer.start(kPositionIntervalMs);
}

void CArdevizView::RepaintSoon(const QRect& rect) {
  // The first change after a quiet spell is repainted at once; changes that
  // follow within a repaint interval are merged into one repaint at its end.
  if (!m_repaintTimer.isActive()) {
    update(rect);
    m_repaintTimer.start(kRepaintIntervalMs);
    return;
  }
  m_pendingRepaint += rect;
}

QRect CArdevizView::SourceWindowOf(int channel) const {
  return pane::SourceWindow(m_pictureSize[channel], m_nFieldFlag[channel]);
}

void CArdevizView::OnRepaintTick() {
  if (m_pendingRepaint.isEmpty() && !m_activityPending) return;  // quiet: the next change repaints at once
  if (std::exchange(m_activityPending, false)) ShowActivity();
  if (!m_pendingRepaint.isEmpty()) update(m_pendingRepaint);
  m_pendingRepaint = QRegion();
  m_repaintTimer.start(kRepaintIntervalMs);
}

void CArdevizView::ToggleActivity() {
  // The lamp flips with every chunk. While pictures stream fast enough for
  // their repaints to be merged it is shown with the merged repaint, never
  // with a repaint of its own; it opens no interval of its own either, so a
  // picture that follows it is still drawn at once.
  m_activityLit = !m_activityLit;
  if (!m_repaintTimer.isActive()) {
    ShowActivity();
    return;
  }
  m_activityPending = true;
}

void CArdevizView::ShowActivity() {
  if (SkinButton* light = Button(kIdActivity)) light->SetCheck(m_activityLit);
}

void CArdevizView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // A new picture repaints only its own pane: the texts and the other panes
  // lie outside the repainted region and are left undrawn.
  const QRegion& dirty = event->region();
  // The background one repainted rectangle at a time, each under a clip of
  // its own: a rectangular clip lets the raster engine copy rows instead of
  // blending them span by span (which it hands to helper threads). Panes
  // that a picture covers whole are left to it.
  QRegion background = dirty;
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    if (pane::CoversTarget(m_pImageBits[ch], m_bmiHeader[ch], SourceWindowOf(ch), m_pictureSize[ch])) {
      background -= m_layout.PaneRect(ch);
    }
  }
  for (const QRect& r : background) {
    painter.setClipRect(r);
    if (!m_background.isNull()) {
      DrawSkinPicture(painter, QPoint(0, 0), kBitmapBackground);
    } else {
      painter.fillRect(r, Qt::black);
    }
  }
  painter.setClipping(false);

  m_panel.SetPaintRegion(&dirty);
  m_panel.Paint(painter, dirty);
  if (m_pPtzControl) m_pPtzControl->PaintCamera(painter);

  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QRect& pane = m_layout.PaneRect(ch);
    if (m_pImageBits[ch] && dirty.intersects(pane)) {
      m_bShown[ch] = true;
      pane::DrawBottomUpImage(painter, pane, m_pImageBits[ch], m_bmiHeader[ch],
                              SourceWindowOf(ch), m_pictureSize[ch]);
    }
    if (!dirty.intersects(pane)) continue;
    m_noticeShown[ch] = NoticeText(ch);
    if (!m_noticeShown[ch].isEmpty()) PaneNotice::Draw(painter, pane, m_noticeShown[ch], m_panel.Font());
    pane::DrawPaneFrame(painter, pane);
  }

  const QRect logo(kLogoPosition, kLogoSize);
  if (!m_logo.isNull() && dirty.intersects(logo)) painter.drawImage(kLogoPosition, m_logo, QRect(QPoint(0, 0), kLogoSize));
  m_panel.SetPaintRegion(nullptr);
}

void CArdevizView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  const QPoint point = event->position().toPoint();
  if (kLogoArea.contains(point)) {
    ShowAbout();
    return;
  }
  Apply(m_layout.PressPane(point, kVideoArea), kIdRotate);
}
