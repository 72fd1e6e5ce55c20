#include "archive/CArchiveDlg.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "archive/ArchivePanelRules.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "archive/IArchiveMedia.h"
#include "archive/MonthCalendar.h"
#include "platform/Alerts.h"
#include "platform/LocalFile.h"
#include "res/SkinImages.h"
#include "skin/PaneDrawing.h"
#include "skin/SkinButton.h"
#include "skin/SkinPushButton.h"
#include "skin/SkinSlider.h"
#include "skin/StatusPanel.h"
#include "skin/WindowDragHelper.h"
#include "viewer/CEventDlg.h"
#include "viewer/EventRecord.h"

using namespace archive_rules;

namespace {

struct PushSpec {
  int id;
  QRect rect;
  int up;
  int down;
};

const PushSpec kPushButtons[] = {
    {CArchiveDlg::kIdPower, QRect(732, 16, 118, 23), 248, 247},
    {CArchiveDlg::kIdSave, QRect(808, 574, 62, 51), 246, 245},
    {CArchiveDlg::kIdPrint, QRect(877, 574, 62, 51), 348, 349},
    {CArchiveDlg::kIdEvent, QRect(808, 629, 62, 51), 350, 351},
    {CArchiveDlg::kIdPlus, QRect(117, 525, 26, 26), 242, 241},
    {CArchiveDlg::kIdMinus, QRect(148, 525, 26, 26), 238, 237},
    {CArchiveDlg::kIdToStart, QRect(751, 306, 38, 40), 381, 380},
    {CArchiveDlg::kIdHourBack, QRect(795, 306, 38, 40), 383, 382},
    {CArchiveDlg::kIdHourForward, QRect(839, 306, 38, 40), 385, 384},
    {CArchiveDlg::kIdToEnd, QRect(883, 306, 38, 40), 387, 386},
};

constexpr int kChannelButtonX[wire::kChannels] = {342, 373, 400, 428, 456, 485, 513, 541,
                                                         568, 596, 625, 652, 680, 709, 736, 764};
constexpr int kChannelButtonY = 636;
constexpr int kChannelButtonHeight = 30;
constexpr int kWideChannelButton = 31;
constexpr int kChannelButtonWidth = 28;
constexpr int kChannelBitmapBase = 263;  // channel n: 263 + 2n, lit 264 + 2n

constexpr int kPlayButtonX[playback::ButtonCount] = {732, 774, 817, 859, 901};
constexpr int kPlayButtonY = 255;
constexpr QSize kPlayButtonSize{38, 40};
constexpr int kPlayBitmapNormal[playback::ButtonCount] = {353, 355, 357, 359, 361};
constexpr int kPlayBitmapLit[playback::ButtonCount] = {352, 354, 356, 358, 360};

constexpr int kBitmapRecord = 256;
constexpr int kBitmapRecordLit = 255;
constexpr int kBitmapSingle = 324;
constexpr int kBitmapSingleLit = 323;
constexpr int kBitmapAll = 321;
constexpr int kBitmapAllLit = 322;
constexpr QRect kRecordRect(877, 629, 62, 51);
constexpr QRect kSingleRect(57, 525, 25, 26);
constexpr QRect kAllRect(86, 525, 26, 26);
constexpr QRect kActivityRect(730, 200, 33, 33);

constexpr int kSearchBlankWidth = 30;

const QString kSearchingText = QStringLiteral("SEARCHING");

}  // namespace

CArchiveDlg::CArchiveDlg(std::unique_ptr<IArchiveHost> host, std::unique_ptr<IArchiveLink> link)
    : CArchiveDlg(std::move(host), std::move(link), Options{}) {}

CArchiveDlg::CArchiveDlg(std::unique_ptr<IArchiveHost> host, std::unique_ptr<IArchiveLink> link, Options options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      m_pHost(std::move(host)),
      m_pLink(std::move(link)),
      m_options(std::move(options)),
      m_playback(this, m_pLink.get(), m_options.playback) {
  m_logo = LocalFile::ReadImage(m_options.logoFile, LocalFile::kLogoBound);
  m_statusFont = StatusPanel::MakeStatusFont();

  setWindowTitle(QString::fromLatin1(kWindowText));
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (m_pLink) m_pLink->SetArchivePanel(this);
  if (HasSkinImage(kBitmapBackground)) m_background = SkinPixmap(kBitmapBackground);

  m_pSlider = new SkinSlider(this, kSliderRect, kBitmapSliderBar, kBitmapSliderThumb);
  m_pSlider->SetRange(0, kSecondsPerDay - 1);
  m_pSlider->SetPos(0);
  connect(m_pSlider, &SkinSlider::positionChanged, this, [this](int position, int) { OnSliderMoved(position); });
  if (m_options.createCalendar) m_pCalendar = new MonthCalendar(this, kCalendarRect);

  move(kCreatedAt);
  setFixedSize(kWidth, kHeight);
  CreateControls();
  m_nGridSize = 3;
  m_nSelectedChannel = 0;
  LayOut();
  if (m_pLink) m_pLink->SendLiveStop();

  new WindowDragHelper(this, [this] { return !(m_pHost && m_pHost->UseFullScreen()); });
  m_powerTimer.setSingleShot(true);
  connect(&m_powerTimer, &QTimer::timeout, this, [this] {
    if (m_pHost) {
      m_pHost->SwitchToLive();
    } else {
      RequestClose();
    }
  });
}

CArchiveDlg::~CArchiveDlg() {
  m_pMedia.reset();
  if (m_pEventDlg) delete m_pEventDlg.data();
  if (m_pLink) m_pLink->SetArchivePanel(nullptr);
}

void CArchiveDlg::SetMedia(std::unique_ptr<IArchiveMedia> media) { m_pMedia = std::move(media); }

SkinButton* CArchiveDlg::AddButton(int controlId, const QRect& geometry, int normalId, int litId) {
  auto* button = new SkinButton(this, controlId, geometry, SkinButtonBitmaps::Latching(normalId, litId));
  connect(button, &SkinButton::clicked, this, &CArchiveDlg::OnCommand);
  return button;
}

SkinPushButton* CArchiveDlg::AddPushButton(int controlId, const QRect& geometry, int upId, int downId) {
  auto* button = new SkinPushButton(this, controlId, geometry, upId, downId);
  connect(button, &SkinPushButton::clicked, this, [this, controlId] { OnCommand(controlId); });
  return button;
}

void CArchiveDlg::CreateControls() {
  std::size_t i = 0;
  for (const PushSpec& s : kPushButtons) m_pushButtons.at(i++) = AddPushButton(s.id, s.rect, s.up, s.down);
  m_pRecord = AddButton(kIdRecord, kRecordRect, kBitmapRecord, kBitmapRecordLit);
  m_pSingle = AddButton(kIdSingle, kSingleRect, kBitmapSingle, kBitmapSingleLit);
  m_pAll = AddButton(kIdAll, kAllRect, kBitmapAll, kBitmapAllLit);
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const int width = (ch == 0 || ch == wire::kChannels - 1) ? kWideChannelButton : kChannelButtonWidth;
    const int n = ch + 1;
    m_channelButtons[ch] = AddButton(kIdChannelFirst + ch, QRect(kChannelButtonX[ch], kChannelButtonY, width, kChannelButtonHeight),
                                     kChannelBitmapBase + 2 * n, kChannelBitmapBase + 1 + 2 * n);
  }
  for (int b = 0; b < playback::ButtonCount; ++b) {
    m_playButtons[b] = AddButton(kIdPlayFirst + b, QRect(QPoint(kPlayButtonX[b], kPlayButtonY), kPlayButtonSize),
                                 kPlayBitmapNormal[b], kPlayBitmapLit[b]);
  }
  m_pActivity = AddButton(kIdActivity, kActivityRect, kBitmapActivity, kBitmapActivityLit);
  m_pActivity->setEnabled(false);
}

SkinButton* CArchiveDlg::Button(int controlId) const {
  const auto all = findChildren<SkinButton*>();
  for (SkinButton* b : all)
    if (b->ControlId() == controlId) return b;
  return nullptr;
}

SkinPushButton* CArchiveDlg::PushButton(int controlId) const {
  for (SkinPushButton* b : m_pushButtons)
    if (b && b->ControlId() == controlId) return b;
  return nullptr;
}

// ---- Commands ----

void CArchiveDlg::OnCommand(int controlId) {
  switch (controlId) {
    case kIdPower: OnPower(); return;
    case kIdSave:
      if (m_pMedia) m_pMedia->OnSaveButton();
      return;
    case kIdPrint:
      if (m_pMedia) m_pMedia->OnPrintButton();
      return;
    case kIdEvent: OnEvent(); return;
    case kIdRecord:
      if (m_pMedia) m_pMedia->OnRecordButton(PlayState(), m_pHost ? m_pHost->RecordInterval() : 1);
      LightRecordButton(m_pMedia && m_pMedia->IsRecording());
      return;
    case kIdPlus:
      m_nGridSize = static_cast<std::uint8_t>(std::min(m_nGridSize + 1, kMaxGridSize));
      m_nSelectedChannel = 0;
      m_wChannelLayout = kLayoutAll;
      LayOut();
      return;
    case kIdMinus:
      if (m_nGridSize >= 2) {
        --m_nGridSize;
      } else {
        m_nGridSize = 1;
        m_wChannelLayout = kLayoutSingle;
      }
      m_nSelectedChannel = 0;
      LayOut();
      return;
    case kIdSingle:
      if (m_nSelectedChannel != kAllChannels) {
        m_pSingle->SetCheck(true);
        return;
      }
      m_nGridSize = 1;
      m_wChannelLayout = kLayoutSingle;
      m_nSelectedChannel = 0;
      LayOut();
      return;
    case kIdAll:
      if (m_nSelectedChannel == kAllChannels) {
        m_pAll->SetCheck(true);
        return;
      }
      m_nGridSize = 2;
      m_wChannelLayout = kLayoutAll;
      m_nSelectedChannel = 0;
      LayOut();
      return;
    case kIdToStart:
    case kIdHourBack:
    case kIdHourForward:
    case kIdToEnd: {
      if (!m_pCalendar) return;
      const int hour = DvrTimeHour(m_playback.TimeWord());
      ArchiveMoment target;
      if (controlId == kIdToStart) target = m_playback.Start();
      else if (controlId == kIdToEnd) target = m_playback.End();
      else if (controlId == kIdHourBack) target = OneHourBack(m_pCalendar->GetDate(), hour);
      else target = OneHourForward(m_pCalendar->GetDate(), hour);
      NavigateTo(target);
      return;
    }
    default: break;
  }
  if (controlId >= kIdChannelFirst && controlId < kIdChannelFirst + wire::kChannels) {
    OnChannelButton(controlId - kIdChannelFirst);
  } else if (controlId >= kIdPlayFirst && controlId < kIdPlayFirst + static_cast<int>(playback::ButtonCount)) {
    OnPlayButton(controlId - kIdPlayFirst);
  }
}

void CArchiveDlg::OnPlayButton(int index) { m_playback.PressButton(index); }

void CArchiveDlg::OnChannelButton(int index) {
  if (index >= kPlayableChannels) {
    Alerts::Beep();
    m_channelButtons[index]->SetCheck(false);
    return;
  }
  m_nSelectedChannel = static_cast<std::uint8_t>(index);
  LayOut();
}

void CArchiveDlg::LayOut() {
  const int first = m_nSelectedChannel == kAllChannels ? 0 : m_nSelectedChannel;
  const ChannelCells cells = LayOutChannels(m_nGridSize, first);
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    m_rcChannel[ch] = cells.rect[ch];
    m_channelButtons[ch]->SetCheck(cells.shown[ch]);
  }
  if (m_wChannelLayout == kLayoutSingle) {
    m_pSingle->SetCheck(true);
    m_pAll->SetCheck(false);
  } else if (m_wChannelLayout == kLayoutAll) {
    m_pSingle->SetCheck(false);
    m_pAll->SetCheck(true);
    m_nSelectedChannel = kAllChannels;
  }
  update(kImageArea);
}

void CArchiveDlg::SelectSingleChannel(int channel) {
  m_pSingle->SetCheck(true);
  m_nSelectedChannel = static_cast<std::uint8_t>(channel);
  m_wChannelLayout = kLayoutSingle;
  // One pane: the event's channel fills the image area.
  m_nGridSize = 1;
  LayOut();
}

void CArchiveDlg::OnPower() {
  if (m_playback.Stop() == -1) {
    Alerts::ShowMessage(this, QString::fromLatin1(kCannotCloseText), QString::fromLatin1(kWindowText),
                        Alerts::Icon::Warning);
    return;
  }
  // The recorder gets a moment to end the playback before the live request.
  m_powerTimer.start(m_options.powerReturnMs);
}

void CArchiveDlg::OnEvent() {
  const QString path = m_pLink ? m_pLink->EventFilePath() : QString::fromLatin1(kEventFileName);
  const bool listAtOnce = QFileInfo::exists(path);
  if (m_pLink) m_pLink->SendEventFileRequest();
  if (m_pEventDlg) {
    m_pEventDlg->raise();
    return;
  }
  auto* dlg = new CEventDlg(listAtOnce, this, path);
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  connect(dlg, &CEventDlg::playFromEvent, this,
          [this](quint32 packedTime, int channel) { m_playback.PlayFromEvent(packedTime, channel); });
  m_pEventDlg = dlg;
  // Window-modal without a nested event loop.
  dlg->open();
}

void CArchiveDlg::EventFileArrived() {
  if (m_pEventDlg) m_pEventDlg->Reload();
}

void CArchiveDlg::OnSliderMoved(int position) {
  const int p = std::clamp(position, 0, kSecondsPerDay - 1);
  m_playback.SetTimeWord(MakeDvrTime(p / 3600, (p % 3600) / 60, p % 60));
  update(kClockRect);
}

// ---- Following the played image and the navigation ----

void CArchiveDlg::FollowTimeOfDay(std::uint32_t t) {
  const int hour = DvrTimeHour(t);
  const int minute = DvrTimeMinute(t);
  if (t == m_playback.TimeWord() || hour >= 24 || minute >= 60) return;
  m_pSlider->SetPos(hour * 3600 + minute * 60 + DvrTimeSecond(t));
  m_pSlider->update();
  m_playback.SetTimeWord(t);
  update(kClockRect);
}

void CArchiveDlg::FollowImageTime(const ArchiveMoment& m) {
  m_currentImageTime = m;
  const QDate date = m.Date();
  if (m_pCalendar && date.isValid() && m_pCalendar->GetDate() != date) m_pCalendar->SetDate(date);
  FollowTimeOfDay(m.DvrTime());
}

void CArchiveDlg::NavigateTo(const ArchiveMoment& moment) {
  m_playback.SetRequestTime(moment);
  FollowImageTime(moment);
  RedrawInformation();
}

void CArchiveDlg::ShowPlayImageTime(std::uint32_t w0, std::uint32_t w1, int protocolVersion) {
  if (const auto m = playback::PlayImageMoment(w0, w1, protocolVersion)) FollowImageTime(*m);
}

void CArchiveDlg::ShowPlayPosition(std::uint32_t position) {
  m_recordPositionText = PositionText(m_pLink ? m_pLink->RecordingPosition() : 0);
  m_playPositionText = PositionText(position);
  update(kRecordPosRect);
  update(kPlayPosRect);
}

// ---- Playback hooks ----

void CArchiveDlg::SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  m_playback.SetArchiveRange(w0, w1, w2, w3);
  RedrawInformation();
}

void CArchiveDlg::ShowPlayResult(int code) { m_playback.ShowPlayResult(code); }

int CArchiveDlg::RequestSpeed() const { return m_pHost ? m_pHost->RequestSpeed() : playback::kSpeedWithoutView; }

std::optional<QDate> CArchiveDlg::CalendarDate() const {
  if (!m_pCalendar) return std::nullopt;
  return m_pCalendar->GetDate();
}

void CArchiveDlg::SetSearchControlsEnabled(bool enabled) {
  if (m_pCalendar) m_pCalendar->setEnabled(enabled);
  m_pSlider->setEnabled(enabled);
}

void CArchiveDlg::ShowSearching(bool shown) {
  ShowSearchText(shown ? kSearchingText : QString(kSearchBlankWidth, QLatin1Char(' ')));
  m_bSearchingShown = shown;
}

void CArchiveDlg::ShowResultText(const QString& text) {
  // The result box lies over the message box: the last text drawn is the one seen.
  m_resultText = text;
  m_messageText.clear();
  update(kResultRect.united(kMessageRect));
}

void CArchiveDlg::LightPlayButtons(std::uint8_t litMask) {
  for (int b = 0; b < playback::ButtonCount; ++b) m_playButtons[b]->SetCheck((litMask >> b) & 1);
}

void CArchiveDlg::RedrawInformation() {
  update(kStartRect);
  update(kEndRect);
  update(kRequestRect);
}

void CArchiveDlg::EndRecordingForStop() {
  if (m_pMedia && m_pMedia->IsRecording()) m_pMedia->StopRecording();
  if (m_pMedia) LightRecordButton(m_pMedia->IsRecording());
}

bool CArchiveDlg::IsSavingAvi() const { return m_pMedia && m_pMedia->IsSavingAvi(); }

// ---- Messages ----

void CArchiveDlg::ShowLinkStatus(int statusCode) {
  m_messageText = LinkStatusText(statusCode, m_pLink ? m_pLink->MissCount() : 0, m_pLink ? m_pLink->ChannelStatusWord() : 0);
  m_resultText.clear();
  update(kResultRect.united(kMessageRect));
  // Missing pictures end a running recording as the stop button does.
  if (statusCode == 6) EndRecordingForStop();
}

void CArchiveDlg::ShowSearchText(const QString& text) {
  m_messageText = text;
  m_resultText.clear();
  update(kResultRect.united(kMessageRect));
}

void CArchiveDlg::ShowRecordText(const QString& text) { ShowSearchText(text); }

void CArchiveDlg::ShowRecordAlert(const QString& text) {
  Alerts::ShowMessage(this, text, QString::fromLatin1(kWindowText), Alerts::Icon::Warning);
}

QString CArchiveDlg::RecordFolder() const { return m_pHost ? m_pHost->RecordFolder() : QString(); }

void CArchiveDlg::LightRecordButton(bool lit) { m_pRecord->SetCheck(lit); }

QImage CArchiveDlg::CaptureImageArea() { return grab(kImageArea).toImage(); }

// ---- Pictures ----

void CArchiveDlg::SetPlayImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                               std::uint8_t fieldFlag) {
  if (channel < 0 || channel >= wire::kChannels) return;
  m_slots[channel] = {pixels, header, fieldFlag};
}

void CArchiveDlg::DrawPlayImage(int channel) {
  if (channel < 0 || channel >= wire::kChannels || !m_slots[channel].pixels) return;
  if (!m_rcChannel[channel].isEmpty()) update(m_rcChannel[channel]);
  if (m_pMedia && m_pMedia->IsRecording()) m_pMedia->NotifyNewPicture();
}

void CArchiveDlg::ToggleActivity() { m_pActivity->SetCheck(!m_pActivity->GetCheck()); }

void CArchiveDlg::ClearPlayImages() {
  for (PlaySlot& s : m_slots) s.pixels = nullptr;
  update(kImageArea);
}

// ---- Mode, placement, window ----

void CArchiveDlg::SetArchiveShown(bool shown) {
  m_nArchiveMode = shown ? 1 : 0;
  m_playback.ResetPlayState();
}

void CArchiveDlg::SetPanelVisible(bool visible) {
  setVisible(visible);
  if (visible) {
    raise();
    activateWindow();
  }
}

void CArchiveDlg::hideEvent(QHideEvent* event) {
  // The pictures belong to the link's holders, which live viewing refills
  // while the panel is hidden: a later paint or grab must not read them.
  if (!event->spontaneous()) ClearPlayImages();
  QWidget::hideEvent(event);
}

void CArchiveDlg::PlacePanel(bool fullScreen) {
  QPoint at(0, 0);
  if (!fullScreen) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    at = QPoint((s.width() - kCentreWidth) / 2, (s.height() - kCentreHeight) / 2);
  }
  move(at);
  setFixedSize(kWidth, kHeight);
}

void CArchiveDlg::StartArchive() {
  m_playback.StartArchive();
  if (m_pCalendar && m_playback.Start().Date().isValid()) m_pCalendar->SetDate(m_playback.Start().Date());
  SetSearchControlsEnabled(true);
  // The slider and clock show the time the next request will carry.
  const std::uint32_t t = m_playback.TimeWord();
  m_pSlider->SetPos(DvrTimeHour(t) * 3600 + DvrTimeMinute(t) * 60 + DvrTimeSecond(t));
  m_pSlider->update();
  LightPlayButtons(1u << playback::Stop);
  ClearPlayImages();
  update();
}

void CArchiveDlg::RequestClose() {
  m_bCloseAllowed = true;
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void CArchiveDlg::closeEvent(QCloseEvent* event) {
  // Alt+F4 and other close requests from the window system are swallowed.
  if (m_bCloseAllowed) {
    event->accept();
  } else {
    event->ignore();
  }
}

void CArchiveDlg::keyPressEvent(QKeyEvent* event) {
  // Enter and Escape belong to the focused control; they never close the panel.
  event->ignore();
}

// ---- Painting ----

QString CArchiveDlg::StartText() const {
  return m_playback.IsRangeKnown() ? MomentText(m_playback.Start()) : QString::fromLatin1(kUnknownMoment);
}

QString CArchiveDlg::EndText() const {
  return m_playback.IsRangeKnown() ? MomentText(m_playback.End()) : QString::fromLatin1(kUnknownMoment);
}

QString CArchiveDlg::RequestText() const { return MomentText(m_playback.RequestTime()); }

QString CArchiveDlg::ClockText() const { return archive_rules::ClockText(m_playback.TimeWord()); }

void CArchiveDlg::DrawText(QPainter& painter, const QRect& rect, const QString& text, const QFont& font) const {
  StatusPanel::DrawText(painter, font, rect, text, StatusPanel::kLineFlags);
}

void CArchiveDlg::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!m_background.isNull()) painter.drawPixmap(0, 0, m_background);

  DrawText(painter, kClockRect, ClockText(), font());

  const QFont& textFont = m_statusFont;
  DrawText(painter, kStartLabelRect, QStringLiteral("START :"), textFont);
  DrawText(painter, kStartRect, StartText(), textFont);
  DrawText(painter, kEndLabelRect, QStringLiteral("END   :"), textFont);
  DrawText(painter, kEndRect, EndText(), textFont);
  DrawText(painter, kRequestLabelRect, QStringLiteral("REQUEST: "), textFont);
  DrawText(painter, kRequestRect, RequestText(), textFont);
  DrawText(painter, kRecordPosLabelRect, QStringLiteral("R-POSITION:"), textFont);
  DrawText(painter, kPlayPosLabelRect, QStringLiteral("P-POSITION:"), textFont);
  if (!m_recordPositionText.isEmpty()) DrawText(painter, kRecordPosRect, m_recordPositionText, textFont);
  if (!m_playPositionText.isEmpty()) DrawText(painter, kPlayPosRect, m_playPositionText, textFont);
  if (!m_resultText.isEmpty()) DrawText(painter, kResultRect, m_resultText, textFont);
  if (!m_messageText.isEmpty()) DrawText(painter, kMessageRect, m_messageText, textFont);

  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QRect& cell = m_rcChannel[ch];
    // A new picture repaints only its own cell: leave the others' stretch undone.
    if (cell.isEmpty() || !event->region().intersects(cell)) continue;
    const PlaySlot& slot = m_slots[ch];
    if (slot.pixels) {
      pane::DrawBottomUpImage(painter, cell, slot.pixels, slot.header, pane::SourceWindow(slot.header, slot.fieldFlag));
      if (m_pHost) pane::DrawPaneFrame(painter, cell);
    } else {
      pane::DrawPaneFrame(painter, cell);
    }
  }

  if (!m_logo.isNull()) painter.drawImage(kLogoPosition, m_logo, QRect(QPoint(0, 0), kLogoSize));
  if (!m_printCaptions.empty()) {
    SnapshotCaptions::Draw(painter, m_printCaptions);
    m_printCaptions.clear();
  }
}

void CArchiveDlg::ShowPrintCaptions(const std::vector<Caption>& captions) {
  m_printCaptions = captions;
  update();
}
