#include "viewer/CArdevizView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

#include "link/CDvrLink.h"
#include "platform/Alerts.h"
#include "platform/DisplayMode.h"
#include "platform/LocalFile.h"
#include "res/SkinImages.h"
#include "viewer/CMainFrame.h"
#include "viewer/IViewArchivePanel.h"
#include "viewer/IViewPtzControl.h"
#include "viewer/SkinAccessibility.h"
#include "viewer/SkinButton.h"
#include "viewer/SkinPushButton.h"
#include "viewer/ViewExtensions.h"
#include "viewer/ViewerSettingsStore.h"

namespace {
// Channel buttons 1 to 16 along the bottom row.
constexpr int kChannelButtonY = 640;
constexpr int kChannelButtonHeight = 30;
constexpr std::array<int, CArdevizView::kChannels> kChannelButtonX = {
    311, 343, 371, 398, 426, 455, 482, 510, 538, 566, 594, 622, 650, 678, 706, 735};
constexpr std::array<int, CArdevizView::kChannels> kChannelButtonNormal = {
    310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
constexpr std::array<int, CArdevizView::kChannels> kChannelButtonLatched = {
    330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};
constexpr int ChannelButtonWidth(int channel) {
  return (channel == 0 || channel == CArdevizView::kChannels - 1) ? 31 : 28;
}

// Layout buttons 1, 4, 7, 9, 10, 13, 16.
constexpr int kLayoutButtonX = 368;
constexpr int kLayoutButtonStep = 51;
constexpr int kLayoutButtonY = 598;
constexpr QSize kLayoutButtonSize{40, 25};
constexpr int kLayoutIndexNine = 3;

constexpr QRect kPowerRect{735, 16, 114, 22};
constexpr QRect kSettingRect{807, 329, 51, 11};
constexpr QRect kArchiveRect{807, 345, 51, 11};
constexpr QRect kRotateRect{807, 311, 51, 11};
constexpr QRect kConnectRect{228, 574, 33, 32};
constexpr QRect kDisconnectRect{228, 624, 33, 32};
constexpr QRect kActivityRect{740, 230, 40, 40};

// The video area is 640 x 480 from (63, 23); neighbouring panes are 2 pixels apart.
constexpr int kVideoWidth = 640;
constexpr int kVideoHeight = 480;
constexpr int kPaneLeft = 63;
constexpr int kPaneTop = 23;
constexpr int kPaneRightInset = 61;
constexpr int kPaneBottomInset = 21;

constexpr QColor kTextColour{0x00, 0xFF, 0x00};
constexpr int kStatusFontPixels = 12;
constexpr int kStatusFontAverageWidth = 5;

int SideForPanes(int panes) {
  switch (panes) {
    case 1: return 1;
    case 4: return 2;
    case 9: return 3;
    case 16: return 4;
    default: return 0;
  }
}

std::uint32_t MaskFrom(int channel, int count) {
  std::uint32_t mask = 0;
  for (int k = 0; k < count; ++k) mask |= 1u << ((channel + k) % CArdevizView::kChannels);
  return mask;
}
}  // namespace

CArdevizView::CArdevizView(QWidget* parent, Options options)
    : QWidget(parent), m_options(std::move(options)) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (m_options.executablePath.isEmpty()) m_options.executablePath = QCoreApplication::applicationFilePath();
  // A missing logo file (or anything but a plain file) simply leaves the logo out.
  m_logo = LocalFile::ReadImage(QString::fromLatin1(kLogoFile), LocalFile::kLogoBound);

  m_secondTimer.setInterval(m_options.tickMs);
  connect(&m_secondTimer, &QTimer::timeout, this, &CArdevizView::OnSecondTick);
  m_screenModeTimer.setSingleShot(true);
  connect(&m_screenModeTimer, &QTimer::timeout, this, [this] { PlaceTarget(true, m_pendingTarget); });
  m_repaintTimer.setSingleShot(true);
  connect(&m_repaintTimer, &QTimer::timeout, this, &CArdevizView::OnRepaintTick);
  m_statusText = StatusTextFor(status::kWaiting, 0, 0);
}

CArdevizView::~CArdevizView() {
  m_secondTimer.stop();
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
  if (!m_pLink && m_options.createLink) m_pLink = std::make_unique<CDvrLink>(this, m_options.linkTiming);
  // 2. The hidden archive panel.
  if (!m_pArchivePanel) m_pArchivePanel = CreateArchivePanel(*this, m_pLink.get());
  // 3-4. Pan/tilt intervals and the user command file path.
  if (!m_pPtzControl) m_pPtzControl = CreatePtzControl(*this);
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
  CreateStatusFont();
  LoadSkin();
  // 9. The current layout, which also asks the link for pictures.
  SetLayout(m_wChannelLayout);
  // 10. Full screen when configured.
  if (m_settings.useFullScreen) SetScreenMode(true, ScreenTarget::MainWindow);
  // 11. The 1-second tick.
  m_secondTimer.start();
  // 13. The command table of the configured camera protocol.
  if (m_pPtzControl) m_pPtzControl->LoadCommands();
}

void CArdevizView::LoadSettings() {
  const QString ptzPath = m_pPtzControl ? m_pPtzControl->CommandFilePath() : m_settings.ptzFilePath;
  ViewerSettingsStore::Load(m_settings, ptzPath, m_options.executablePath);
}

void CArdevizView::SaveSettings() {
  const QString ptzPath = m_pPtzControl ? m_pPtzControl->CommandFilePath() : m_settings.ptzFilePath;
  ViewerSettingsStore::Save(m_settings, ptzPath);
}

QString CArdevizView::HostText() const {
  return m_options.hostOverride ? *m_options.hostOverride : m_settings.hostAddress;
}

std::uint16_t CArdevizView::Port() const {
  return m_options.portOverride ? *m_options.portOverride : static_cast<std::uint16_t>(m_settings.hostPort);
}

void CArdevizView::CreateStatusFont() {
  m_statusFont = QFont(QStringLiteral("Tahoma"));
  m_statusFont.setStyleHint(QFont::SansSerif);
  m_statusFont.setPixelSize(kStatusFontPixels);
  m_statusFont.setBold(true);
  // Without Tahoma, narrow the closest sans serif to Tahoma's 5-pixel average width.
  if (QFontInfo(m_statusFont).family() != QLatin1String("Tahoma")) {
    const int average = QFontMetrics(m_statusFont).averageCharWidth();
    if (average > kStatusFontAverageWidth)
      m_statusFont.setStretch(qBound(int(QFont::UltraCondensed), 100 * kStatusFontAverageWidth / average + 10,
                                     int(QFont::Unstretched)));
  }
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
  for (int ch = 0; ch < kChannels; ++ch) {
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
  m_wPrevChannelLayout = m_wChannelLayout;
  m_wChannelLayout = layoutWord;
  const int sel = m_wChannelSelection & 0xFF;
  const bool single = layoutWord == kLayoutSingle;

  if (SkinButton* rotate = Button(kIdRotate)) {
    if (!single) {
      m_wRotation = 0;
      rotate->SetCheck(false);
    } else {
      rotate->setEnabled(true);
    }
  } else if (!single) {
    m_wRotation = 0;
  }

  for (int ch = 0; ch < kChannels; ++ch) {
    SkinButton* button = Button(kIdChannelFirst + ch);
    if (!button) continue;
    const bool onPage = single ? ch == sel : (m_dwChannelMask >> ch) & 1u;
    if (ch >= m_nChannelLimit) {
      // Beyond the recorder's channel count: never latched, never clickable.
      button->SetCheck(false);
      button->setEnabled(false);
    } else {
      button->SetCheck(onPage);
      button->setEnabled(!onPage);
    }
  }

  if (m_pPtzControl) m_pPtzControl->ShowPtzCamera();

  for (int i = 0; i < kLayoutButtons; ++i)
    if (SkinButton* button = Button(kIdLayoutFirst + i)) button->SetCheck(i == (layoutWord & 0xFF));

  const int side = SideForPanes(layoutWord >> 8);
  if (side > 0) {
    const int width = kVideoWidth / side;
    const int height = kVideoHeight / side;
    int c = static_cast<int>(m_nFirstChannel % kChannels);
    for (int i = 0; i < side * side; ++i) {
      const int row = i / side;
      const int column = i % side;
      const QRect cell = SpanRect(width * column + kPaneLeft, height * row + kPaneTop,
                                  width * (column + 1) + kPaneRightInset, height * (row + 1) + kPaneBottomInset);
      if (single) {
        m_rcPane[c] = QRect();
        m_rcPane[sel] = cell;
      } else {
        m_rcPane[c] = cell;
      }
      c = (c + 1) % kChannels;
    }
    for (int i = side * side; i < kChannels; ++i) {
      if (c != sel || !single) m_rcPane[c] = QRect();
      c = (c + 1) % kChannels;
    }
  }

  if (m_pLink) m_pLink->SendRequest(RequestKind::LiveRequest, true);
  update(kVideoArea);
}

void CArdevizView::OnCommand(int controlId) {
  if (controlId >= kIdLayoutFirst && controlId < kIdLayoutFirst + kLayoutButtons) {
    OnLayoutButton(controlId - kIdLayoutFirst);
  } else if (controlId >= kIdChannelFirst && controlId < kIdChannelFirst + kChannels) {
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
  static constexpr std::array<std::uint16_t, 4> kWords = {kLayoutSingle, kLayoutQuad, 0, kLayoutNine};
  static constexpr std::array<int, 4> kPanes = {1, 4, 0, 9};
  if (index < 0 || index >= static_cast<int>(kWords.size()) || kWords[index] == 0) {
    // 7, 10, 13 and 16 panes are not offered.
    Alerts::Beep();
    if (SkinButton* button = Button(kIdLayoutFirst + index)) button->SetCheck(false);
    return;
  }
  m_nFirstChannel = 0;
  m_dwChannelMask = MaskFrom(0, kPanes[index]);
  m_wChannelSelection = index == 0 ? 0 : kSelectionMultiPane;
  SetLayout(kWords[index]);
}

void CArdevizView::OnChannelButton(int channel) {
  if (channel >= kLiveChannels) {
    Alerts::Beep();
    if (SkinButton* button = Button(kIdChannelFirst + channel)) button->SetCheck(false);
    return;
  }
  const int panes = m_wChannelLayout >> 8;
  if (m_wChannelLayout == kLayoutSingle) {
    if (channel == (m_wChannelSelection & 0xFF)) return;
    m_dwChannelMask = 1u << channel;
  } else if (panes == 4 || panes == 9) {
    m_dwChannelMask = MaskFrom(channel, panes);
  } else {
    return;
  }
  m_nFirstChannel = channel;
  m_wChannelSelection = static_cast<std::uint16_t>(channel);
  SetLayout(m_wChannelLayout == kLayoutSingle ? kLayoutSingle : (panes == 4 ? kLayoutQuad : kLayoutNine));
}

void CArdevizView::OnRotateButton() {
  SkinButton* button = Button(kIdRotate);
  if (!IsRotating()) {
    if (m_nConnectionState == 1 && m_wChannelLayout == kLayoutSingle) {
      m_nRotationCounter = 0;
      m_wRotation = static_cast<std::uint16_t>(kRotationOn + m_settings.rotateInterval);
      if (button) button->SetCheck(true);
      NextRotationChannel();
    } else {
      if (button) button->SetCheck(false);
      Alerts::Beep();
    }
  } else {
    m_wRotation = 0;
    if (button) button->SetCheck(false);
    OnLayoutButton(kLayoutIndexNine);
  }
}

void CArdevizView::NextRotationChannel() {
  if (m_wChannelLayout != kLayoutSingle) return;
  const int sel = m_wChannelSelection & 0xFF;
  for (int k = 1; k <= kChannels; ++k) {
    const int ch = (sel + k) % kChannels;
    if (m_bShown[ch]) {
      m_wChannelSelection = static_cast<std::uint16_t>(ch);
      SetLayout(kLayoutSingle);
      return;
    }
  }
}

void CArdevizView::OnSecondTick() {
  update(kDateRect);
  update(kTimeRect);
  if (IsRotating()) {
    if (m_nRotationCounter == (m_wRotation & 0xFF)) {
      m_nRotationCounter = 0;
      NextRotationChannel();
    } else {
      ++m_nRotationCounter;
    }
  }
  if (m_pPtzControl) m_pPtzControl->OnSecondTick();
}

void CArdevizView::OnConnect() {
  if (m_nConnectionState == 0 && m_pLink && m_pLink->ConnectToDvr(HostText(), Port())) m_nConnectionState = 2;
  if (SkinButton* connectButton = Button(kIdConnect)) {
    connectButton->setEnabled(true);
    connectButton->SetCheck(true);
  }
  if (SkinButton* disconnectButton = Button(kIdDisconnect)) disconnectButton->SetCheck(false);
  ShowConnectionStatus(m_nConnectionState);
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
  if (SkinButton* light = Button(kIdActivity)) light->SetCheck(false);
  m_recordPositionText.clear();
  m_playPositionText.clear();
  update(kRecordPositionRect);
  update(kPlayPositionRect);
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
  if (!m_pLink || !m_pArchivePanel || m_nConnectionState == 0) return;
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
    m_pLink->SendRequest(RequestKind::LiveRequest, true);
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

void CArdevizView::OnSetting() {
  if (!RunConfigurationsDialog(*this)) return;
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
  Alerts::ShowMessage(this, QString::fromLatin1(kAboutText), QString::fromLatin1(kAboutCaption),
                      Alerts::Icon::Information);
}

void CArdevizView::ShowPtzDataReply() {
  // One box at a time, and one that does not block: the recorder may answer every
  // stop string, and a modal box would leave the pan/tilt pad unusable while it is open.
  if (m_ptzReplyBox && m_ptzReplyBox->isVisible()) return;
  m_ptzReplyBox = Alerts::OpenMessage(this, QString::fromLatin1(kPtzReplyText), QStringLiteral("Ardeviz"),
                                      Alerts::Icon::Information);
}

void CArdevizView::ClearChannelImages() {
  m_pImageBits.fill(nullptr);
  m_bShown.fill(false);
}

void CArdevizView::DeleteEventFile() {
  QFile::remove(m_pLink ? m_pLink->EventFilePath() : QString::fromLatin1(kEventFileName));
}

void CArdevizView::SetChannelCount(int channels) {
  m_nChannelLimit = static_cast<std::uint8_t>(qBound(0, channels, kChannels));
}

QSize CArdevizView::LiveDecodeSize(int channel) const {
  if (channel < 0 || channel >= kChannels || m_wChannelLayout == kLayoutSingle) return {};
  // A recorder picture of one field is drawn stretched to about twice its
  // height anyway: at least one picture column per pane column and one row
  // per two pane rows keeps what the pane can show.
  const QRect& pane = m_rcPane[channel];
  if (pane.isEmpty()) return {};
  return QSize(pane.width(), std::max(1, pane.height() / 2));
}

void CArdevizView::SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                                   QSize pictureSize) {
  if (channel < 0 || channel >= kChannels) return;
  m_pImageBits[channel] = pixels;
  m_bmiHeader[channel] = header;
  m_pictureSize[channel] = pictureSize.isEmpty() ? QSize(header.width, header.height) : pictureSize;
}

void CArdevizView::SetChannelFieldFlag(int channel, std::uint8_t fieldFlag) {
  if (channel < 0 || channel >= kChannels) return;
  m_nFieldFlag[channel] = fieldFlag;
}

void CArdevizView::DrawChannel(int channel) {
  if (channel < 0 || channel >= kChannels) return;
  m_bShown[channel] = true;
  if (m_pImageBits[channel] && !m_rcPane[channel].isEmpty()) RepaintSoon(m_rcPane[channel]);
}


QString CArdevizView::StatusTextFor(int statusCode, int missCount, std::uint32_t statusWord) {
  switch (statusCode) {
    case 0: return QStringLiteral("WAITING FOR CONNECTION.");
    case 1: return QStringLiteral("CONNECTION ESTABLISHED.");
    case 2: return QStringLiteral("CONNECTING..");
    case 3: return QStringLiteral("CHECK ID : ");
    case 4: return QStringLiteral("TRY RECONNECTION");
    case 5: return QStringLiteral("CONNECTION FAIL:");
    case 6: return QStringLiteral("%1 %2").arg(QStringLiteral("TRY REQUEST IMAGE")).arg(missCount);
    case 7:
      return QStringLiteral("[CH %1] [Alarm:%2 Loss:%3 Motion:%4]")
          .arg(statusWord & 0xFF)
          .arg((statusWord >> 24) & 0xFF)
          .arg((statusWord >> 16) & 0xFF)
          .arg((statusWord >> 8) & 0xFF);
    default: return QString();
  }
}

void CArdevizView::ShowConnectionStatus(int statusCode) {
  const int missCount = m_pLink ? m_pLink->MissCount() : 0;
  const std::uint32_t statusWord = m_pLink ? m_pLink->ChannelStatusWord() : 0;
  m_statusText = StatusTextFor(statusCode, missCount, statusWord);
  SkinAccessibility::NotifyStatusChanged(this);
  if (m_pArchivePanel && m_pArchivePanel->IsArchiveShown()) m_pArchivePanel->ShowLinkStatus(statusCode);
  update(kStatusRect);
}

QString CArdevizView::DateText(const QDate& date) {
  return QStringLiteral("%1 / %2 / %3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString CArdevizView::TimeText(const QTime& time) {
  const bool pm = time.hour() > 12;
  return QStringLiteral("%1 %2 : %3 : %4")
      .arg(pm ? QStringLiteral("PM") : QStringLiteral("AM"))
      .arg(pm ? time.hour() - 12 : time.hour(), 2, 10, QLatin1Char('0'))
      .arg(time.minute(), 2, 10, QLatin1Char('0'))
      .arg(time.second(), 2, 10, QLatin1Char('0'));
}

QString CArdevizView::PositionText(const char* label, std::uint32_t position) {
  return QStringLiteral("%1 : %2.%3%")
      .arg(QLatin1String(label))
      .arg(position / 10000, 3, 10, QLatin1Char('0'))
      .arg(position % 10000, 4, 10, QLatin1Char('0'));
}

void CArdevizView::ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) {
  // Only a line whose text changed is repainted.
  QString record = PositionText("R-POS", recordPosition);
  QString play = PositionText("P-POS", playPosition);
  if (record != m_recordPositionText) {
    m_recordPositionText = std::move(record);
    RepaintSoon(kRecordPositionRect);
  }
  if (play != m_playPositionText) {
    m_playPositionText = std::move(play);
    RepaintSoon(kPlayPositionRect);
  }
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

void CArdevizView::OnRepaintTick() {
  if (m_pendingRepaint.isEmpty()) return;  // quiet: the next change repaints at once
  update(m_pendingRepaint);
  m_pendingRepaint = QRegion();
  m_repaintTimer.start(kRepaintIntervalMs);
}

void CArdevizView::ToggleActivity() {
  if (SkinButton* light = Button(kIdActivity)) light->SetCheck(!light->GetCheck());
}

void CArdevizView::DrawPanelText(QPainter& painter, const QRect& rect, const QString& text, int flags) const {
  if (m_paintRegion && !m_paintRegion->intersects(rect)) return;  // outside the repainted region
  const QFont previous = painter.font();
  painter.setFont(m_statusFont);
  painter.fillRect(rect, Qt::black);
  painter.setPen(kTextColour);
  painter.drawText(rect, flags, text);
  painter.setFont(previous);
}

void CArdevizView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // A new picture repaints only its own pane: the texts and the other panes
  // lie outside the repainted region and are left undrawn.
  const QRegion& dirty = event->region();
  m_paintRegion = &dirty;
  // The background one repainted rectangle at a time, each under a clip of
  // its own: a rectangular clip lets the raster engine copy rows instead of
  // blending them span by span (which it hands to helper threads).
  for (const QRect& r : dirty) {
    painter.setClipRect(r);
    if (!m_background.isNull()) {
      DrawSkinPicture(painter, QPoint(0, 0), kBitmapBackground);
    } else {
      painter.fillRect(r, Qt::black);
    }
  }
  painter.setClipping(false);

  static const QRect kPanelTextArea = kDateLabelRect.united(kDateRect).united(kTimeLabelRect).united(kTimeRect)
                                          .united(kStatusLabelRect).united(kStatusRect)
                                          .united(kRecordPositionRect).united(kPlayPositionRect);
  if (dirty.intersects(kPanelTextArea)) DrawPanelTexts(painter);
  if (m_pPtzControl) m_pPtzControl->PaintCamera(painter);

  for (int ch = 0; ch < kChannels; ++ch) {
    if (m_pImageBits[ch] && dirty.intersects(m_rcPane[ch])) {
      m_bShown[ch] = true;
      DrawBottomUpImage(painter, m_rcPane[ch], m_pImageBits[ch], m_bmiHeader[ch],
                        pane::SourceWindow(m_pictureSize[ch], m_nFieldFlag[ch]), m_pictureSize[ch]);
    }
    if (dirty.intersects(m_rcPane[ch])) DrawPaneFrame(painter, m_rcPane[ch]);
  }

  const QRect logo(kLogoPosition, kLogoSize);
  if (!m_logo.isNull() && dirty.intersects(logo)) painter.drawImage(kLogoPosition, m_logo, QRect(QPoint(0, 0), kLogoSize));
  m_paintRegion = nullptr;
}

void CArdevizView::DrawPanelTexts(QPainter& painter) const {
  // The clock is read only when its lines are repainted (reading it consults the time zone).
  const bool clock = !m_paintRegion || m_paintRegion->intersects(kDateRect.united(kTimeRect));
  const QDateTime now = clock ? QDateTime::currentDateTime() : QDateTime();
  const int line = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  DrawPanelText(painter, kDateLabelRect, QStringLiteral("DATE :"), line);
  if (clock) DrawPanelText(painter, kDateRect, DateText(now.date()), line);
  DrawPanelText(painter, kTimeLabelRect, QStringLiteral("TIME :"), line);
  if (clock) DrawPanelText(painter, kTimeRect, TimeText(now.time()), line);
  DrawPanelText(painter, kStatusLabelRect, QStringLiteral("STATUS :"), line);
  DrawPanelText(painter, kStatusRect, m_statusText, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
  if (!m_recordPositionText.isEmpty()) {
    DrawPanelText(painter, kRecordPositionRect, m_recordPositionText, line);
    DrawPanelText(painter, kPlayPositionRect, m_playPositionText, line);
  }
}

void CArdevizView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !m_settings.useFullScreen && window() != this) {
    // Dragging anywhere on the skin moves the window.
    QWindow* handle = window()->windowHandle();
    if (!handle || !handle->startSystemMove())
      m_dragOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
  }
  QWidget::mousePressEvent(event);
}

void CArdevizView::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragOffset && (event->buttons() & Qt::LeftButton))
    window()->move(event->globalPosition().toPoint() - *m_dragOffset);
  QWidget::mouseMoveEvent(event);
}

void CArdevizView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_dragOffset.reset();
  QWidget::mouseReleaseEvent(event);
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
  if (m_wChannelLayout == kLayoutSingle) {
    if (kVideoArea.contains(point)) OnLayoutButton(kLayoutIndexNine);
    return;
  }
  for (int ch = 0; ch < kChannels; ++ch) {
    if (!m_rcPane[ch].isEmpty() && m_rcPane[ch].contains(point)) {
      m_dwChannelMask = 1u << ch;
      m_nFirstChannel = static_cast<std::uint32_t>(ch);
      m_wChannelSelection = static_cast<std::uint16_t>(ch);
      SetLayout(kLayoutSingle);
      return;
    }
  }
}
