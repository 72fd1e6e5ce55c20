#include "archive/CArchiveDlg.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStringList>

#include "archive/ArchiveControls.h"
#include "archive/ArchivePanelRules.h"
#include "archive/FrameBank.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "archive/IArchiveMedia.h"
#include "archive/MonthCalendar.h"
#include "archive/PanelKeys.h"
#include "platform/Alerts.h"
#include "platform/LocalFile.h"
#include "res/SkinImages.h"
#include "skin/PaneDrawing.h"
#include "skin/SkinButton.h"
#include "skin/SkinKeyboard.h"
#include "skin/SkinPushButton.h"
#include "skin/SkinSlider.h"
#include "skin/StatusPanel.h"
#include "skin/WindowDragHelper.h"
#include "viewer/CEventDlg.h"
#include "viewer/CMainFrame.h"
#include "viewer/EventRecord.h"
#include "viewer/FullScreenStage.h"

using namespace archive_rules;

namespace {

constexpr int kSearchBlankWidth = 30;
constexpr std::uint16_t kPlayingMask = 0x00FF;  // the play state's low byte: 1 while playing

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
  LayOutInformation();

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
  m_controls = ArchiveControls::Create(this, [this](int controlId) { OnCommand(controlId); });
  new SkinKeyboard(this, PanelKeys());
  m_nGridSize = 3;
  m_nSelectedChannel = 0;
  LayOut();
  if (m_pLink) m_pLink->SendLiveStop();

  new WindowDragHelper(this, [this] { return !(m_pHost && m_pHost->UseFullScreen()); });
  m_noticeClock.start();
  m_noticeTimer.setInterval(PaneNotice::kCheckMs);
  connect(&m_noticeTimer, &QTimer::timeout, this, &CArchiveDlg::OnNoticeCheck);
  m_noticeTimer.start();
  m_powerTimer.setSingleShot(true);
  m_powerTimer.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
  connect(&m_powerTimer, &QTimer::timeout, this, [this] {
    if (m_pHost) {
      m_pHost->SwitchToLive();
    } else {
      RequestClose();
    }
  });
}

CArchiveDlg::~CArchiveDlg() {
  // Off the stage first: the stage's scene must not delete the panel.
  m_pStage.reset();
  m_pMedia.reset();
  if (m_pEventDlg) delete m_pEventDlg.data();
  if (m_pLink) m_pLink->SetArchivePanel(nullptr);
}

void CArchiveDlg::SetMedia(std::unique_ptr<IArchiveMedia> media) { m_pMedia = std::move(media); }

SkinButton* CArchiveDlg::Button(int controlId) const {
  const auto all = findChildren<SkinButton*>();
  for (SkinButton* b : all)
    if (b->ControlId() == controlId) return b;
  return nullptr;
}

SkinPushButton* CArchiveDlg::PushButton(int controlId) const {
  for (SkinPushButton* b : m_controls.push)
    if (b && b->ControlId() == controlId) return b;
  return nullptr;
}

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
        m_controls.single->SetCheck(true);
        return;
      }
      m_nGridSize = 1;
      m_wChannelLayout = kLayoutSingle;
      m_nSelectedChannel = 0;
      LayOut();
      return;
    case kIdAll:
      if (m_nSelectedChannel == kAllChannels) {
        m_controls.all->SetCheck(true);
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
    m_controls.channel[index]->SetCheck(false);
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
    m_controls.channel[ch]->SetCheck(cells.shown[ch]);
  }
  if (m_wChannelLayout == kLayoutSingle) {
    m_controls.single->SetCheck(true);
    m_controls.all->SetCheck(false);
  } else if (m_wChannelLayout == kLayoutAll) {
    m_controls.single->SetCheck(false);
    m_controls.all->SetCheck(true);
    m_nSelectedChannel = kAllChannels;
  }
  update(kImageArea);
}

void CArchiveDlg::SelectSingleChannel(int channel) {
  m_controls.single->SetCheck(true);
  m_nSelectedChannel = static_cast<std::uint8_t>(channel);
  m_wChannelLayout = kLayoutSingle;
  // The grid keeps its size; its page starts at the event's channel.
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
  update(m_rcValue[kLineRecordPos]);
  update(m_rcValue[kLinePlayPos]);
}

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
  // A new play waits for its pictures before any of them counts as late.
  if (litMask & ~(1u << playback::Stop)) m_notices.Restart(NowMs());
  for (int b = 0; b < playback::ButtonCount; ++b) m_controls.play[b]->SetCheck((litMask >> b) & 1);
}

void CArchiveDlg::RedrawInformation() {
  for (const InfoLine line : {kLineStart, kLineEnd, kLineRequest}) update(m_rcValue[line]);
}

void CArchiveDlg::EndRecordingForStop() {
  if (m_pMedia && m_pMedia->IsRecording()) m_pMedia->StopRecording();
  if (m_pMedia) LightRecordButton(m_pMedia->IsRecording());
}

bool CArchiveDlg::IsSavingAvi() const { return m_pMedia && m_pMedia->IsSavingAvi(); }

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

int CArchiveDlg::RecordFormat() const { return m_pHost ? m_pHost->RecordFormat() : 0; }

QByteArray CArchiveDlg::ImageAreaJpeg() const {
  if (m_nGridSize != 1) return {};
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const PlaySlot& slot = m_slots[ch];
    if (m_rcChannel[ch].isEmpty() || !slot.pixels) continue;
    const bool frameSized = slot.header.width == FrameBank::kWidth && slot.header.height == FrameBank::kHeight &&
                            slot.header.bitCount == 24;
    return frameSized ? slot.jpeg : QByteArray();
  }
  return {};
}

void CArchiveDlg::LightRecordButton(bool lit) { m_controls.record->SetCheck(lit); }

QImage CArchiveDlg::CaptureImageArea() { return grab(kImageArea).toImage(); }

void CArchiveDlg::SetPlayImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                               std::uint8_t fieldFlag) {
  if (channel < 0 || channel >= wire::kChannels) return;
  m_slots[channel] = {pixels, header, fieldFlag, {}};
}

void CArchiveDlg::SetPlayJpeg(int channel, const std::uint8_t* data, std::size_t length) {
  // Only a Motion-JPEG recording takes the recorder's bytes.
  if (channel < 0 || channel >= wire::kChannels || !data || !m_pMedia || !m_pMedia->IsRecording()) return;
  if (RecordFormat() != static_cast<int>(FrameBank::Format::MotionJpeg)) return;
  m_slots[channel].jpeg = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void CArchiveDlg::DrawPlayImage(int channel) {
  if (channel < 0 || channel >= wire::kChannels || !m_slots[channel].pixels) return;
  if (!m_rcChannel[channel].isEmpty()) update(m_rcChannel[channel]);
  if (m_pMedia && m_pMedia->IsRecording()) m_pMedia->NotifyNewPicture();
  m_notices.Picture(channel, NowMs());
}

std::int64_t CArchiveDlg::NowMs() const {
  return m_options.noticeClockMs ? m_options.noticeClockMs() : m_noticeClock.elapsed();
}

QString CArchiveDlg::NoticeText(int channel) const {
  const bool playing = (m_playback.PlayState() & kPlayingMask) != 0;
  if (!playing || !HasPlayImage(channel) || m_rcChannel.at(static_cast<std::size_t>(channel)).isEmpty()) return {};
  return m_notices.Text(channel, NowMs());
}

// A pane whose notice appeared, changed its seconds or ended is repainted; the
// notices are also the panel's description for assistive tools.
void CArchiveDlg::OnNoticeCheck() {
  QStringList notices;
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QString text = NoticeText(ch);
    if (!text.isEmpty()) notices << QStringLiteral("CH%1 %2").arg(ch + 1).arg(text);
    if (text == m_noticeShown[ch]) continue;
    m_noticeShown[ch] = text;
    update(m_rcChannel[ch]);
  }
  if (const QString all = notices.join(QStringLiteral(", ")); all != accessibleDescription()) setAccessibleDescription(all);
}

void CArchiveDlg::ToggleActivity() { m_controls.activity->SetCheck(!m_controls.activity->GetCheck()); }

void CArchiveDlg::ClearPlayImages() {
  for (PlaySlot& s : m_slots) s.pixels = nullptr;
  m_notices.Clear();
  update(kImageArea);
}

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
  if (fullScreen) {
    // The black around the background art is the stage's own.
    if (!m_pStage) m_pStage = std::make_unique<FullScreenStage>(this, QRect(QPoint(0, 0), kBackgroundSize));
    m_pStage->Enter(screen() ? screen() : QGuiApplication::primaryScreen());
    return;
  }
  const bool wasOnStage = Stage() != nullptr;
  const bool shown = wasOnStage ? m_pStage->isVisible() : isVisible();
  if (wasOnStage) m_pStage->Leave();
  move(CMainFrame::PlacedOn(CMainFrame::AvailableArea(), QSize(kCentreWidth, kCentreHeight)));
  setFixedSize(kWidth, kHeight);
  if (wasOnStage && shown) show();
}

FullScreenStage* CArchiveDlg::Stage() const { return m_pStage && m_pStage->IsActive() ? m_pStage.get() : nullptr; }

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
  // Keys close nothing here: Enter belongs to the focused control, Escape is POWER (PanelKeys).
  event->ignore();
}

void CArchiveDlg::DrawText(QPainter& painter, const QRect& rect, const QString& text, const QFont& font) const {
  StatusPanel::DrawText(painter, font, rect, text, StatusPanel::kLineFlags);
}

void CArchiveDlg::LayOutInformation() {
  // The values of the date lines share a column, and so do the two positions:
  // the design's column, or further right when a label needs more room.
  const QFontMetrics metrics(m_statusFont);
  const auto layOutGroup = [&](int first, int last) {
    int column = kInfoDesign[first].valueRect.left();
    for (int line = first; line <= last; ++line) {
      const QString label = QString::fromLatin1(kInfoDesign[line].label).trimmed();
      column = std::max(column, kInfoDesign[line].labelRect.left() + metrics.horizontalAdvance(label) + kLabelGap);
    }
    for (int line = first; line <= last; ++line) {
      const InfoLineDesign& d = kInfoDesign[line];
      m_rcLabel[line] = QRect(d.labelRect.topLeft(), QPoint(column - 1, d.labelRect.bottom()));
      m_rcValue[line] = d.valueRect.translated(column - d.valueRect.left(), 0) & kInfoBox;
    }
  };
  layOutGroup(kLineStart, kLineRequest);
  layOutGroup(kLineRecordPos, kLinePlayPos);
}

void CArchiveDlg::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!m_background.isNull()) painter.drawPixmap(0, 0, m_background);

  DrawText(painter, kClockRect, ClockText(), font());

  const QFont& textFont = m_statusFont;
  const QString values[kInfoLines] = {StartText(), EndText(), RequestText(), m_recordPositionText, m_playPositionText};
  for (int line = 0; line < kInfoLines; ++line) {
    DrawText(painter, m_rcLabel[line], QString::fromLatin1(kInfoDesign[line].label), textFont);
    // The positions appear with the first playback picture.
    if (!values[line].isEmpty()) DrawText(painter, m_rcValue[line], values[line], textFont);
  }
  if (!m_resultText.isEmpty()) DrawText(painter, kResultRect, m_resultText, textFont);
  if (!m_messageText.isEmpty()) DrawText(painter, kMessageRect, m_messageText, textFont);

  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const QRect& cell = m_rcChannel[ch];
    // A new picture repaints only its own cell: leave the others' stretch undone.
    if (cell.isEmpty() || !event->region().intersects(cell)) continue;
    const PlaySlot& slot = m_slots[ch];
    if (slot.pixels) {
      pane::DrawBottomUpImage(painter, cell, slot.pixels, slot.header, pane::SourceWindow(slot.header, slot.fieldFlag));
      m_noticeShown[ch] = NoticeText(ch);
      if (!m_noticeShown[ch].isEmpty()) PaneNotice::Draw(painter, cell, m_noticeShown[ch], m_statusFont);
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
