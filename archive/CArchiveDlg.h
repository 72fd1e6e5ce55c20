#pragma once
// The archive panel: a second skinned top-level window in which the operator
// searches the recorder's archive by date and time, plays it forwards or
// backwards and watches the played pictures of one channel or a grid. Shows
// the archive range, the requested moment, the positions, link messages and
// playback results. Playback logic lives in PlaybackControl; recording,
// snapshots and printing join through IArchiveMedia.

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "archive/ArchiveControls.h"
#include "archive/ArchiveMoment.h"
#include "archive/ArchivePanelRules.h"
#include "archive/IPlaybackPanel.h"
#include "archive/IRecordingPanel.h"
#include "archive/ISnapshotPanel.h"
#include "archive/PlaybackControl.h"
#include "link/BitmapInfoHeader.h"
#include "link/ILinkArchivePanel.h"
#include "link/PacketFormat.h"
#include "skin/PaneNotice.h"
#include "skin/SpanRect.h"
#include "viewer/CEventDlg.h"
#include "viewer/IViewArchivePanel.h"

class FullScreenStage;
class IArchiveHost;
class IArchiveLink;
class IArchiveMedia;
class MonthCalendar;
class SkinButton;
class SkinPushButton;
class SkinSlider;

class CArchiveDlg : public QWidget,
                    public ILinkArchivePanel,
                    public IViewArchivePanel,
                    public IPlaybackPanel,
                    public IRecordingPanel,
                    public ISnapshotPanel {
  Q_OBJECT

 public:
  enum ControlId : int {
    kIdPower = 1049,
    kIdSave = 1050,
    kIdPrint = 1051,
    kIdEvent = 1052,
    kIdPlus = 1053,
    kIdMinus = 1054,
    kIdSingle = 1057,
    kIdAll = 1058,
    kIdChannelFirst = 1059,  // to 1074: channels 1..16
    kIdPlayFirst = 1075,     // fast backward, backward, stop, play, fast forward
    kIdToStart = 1080,
    kIdHourBack = 1081,
    kIdHourForward = 1082,
    kIdToEnd = 1083,
    kIdActivity = 1084,
    kIdSlider = 1085,
    kIdRecord = 1086,
  };

  static constexpr int kWidth = 954;
  static constexpr int kHeight = 687;
  static constexpr QPoint kCreatedAt{100, 100};
  // Centring uses the panel's inner size.
  static constexpr int kCentreWidth = 948;
  static constexpr int kCentreHeight = 681;
  static constexpr int kPlayableChannels = 8;
  static constexpr std::uint8_t kAllChannels = 255;
  static constexpr int kSecondsPerDay = 86400;

  static constexpr std::uint16_t kLayoutSingle = 0x0100;
  static constexpr std::uint16_t kLayoutAll = 0x0401;

  // Skin resource numbers.
  static constexpr int kBitmapBackground = 228;
  static constexpr QSize kBackgroundSize{951, 684};
  static constexpr int kBitmapSliderBar = 229;
  static constexpr int kBitmapSliderThumb = 230;
  static constexpr int kBitmapActivity = 220;
  static constexpr int kBitmapActivityLit = 221;

  static constexpr QRect kImageArea = SpanRect(62, 22, 702, 502);
  static constexpr QRect kSliderRect = SpanRect(206, 602, 789, 618);
  static constexpr QRect kCalendarRect = SpanRect(722, 376, 946, 556);
  // The information block: the black inside of the skin's box, within its border,
  // and its five lines. A label spans its value's rows, so both are centred on
  // one baseline; the values stop at the border.
  static constexpr QRect kInfoBox = SpanRect(724, 60, 948, 240);
  static constexpr int kLabelGap = 5;  // least room between a label's text and its value
  enum InfoLine { kLineStart, kLineEnd, kLineRequest, kLineRecordPos, kLinePlayPos, kInfoLines };
  struct InfoLineDesign {
    const char* label;
    QRect labelRect;
    QRect valueRect;
  };
  static constexpr std::array<InfoLineDesign, kInfoLines> kInfoDesign{{
      {"START :", SpanRect(740, 69, 800, 89), SpanRect(800, 69, 948, 89)},
      {"END   :", SpanRect(740, 89, 800, 109), SpanRect(800, 89, 948, 109)},
      {"REQUEST: ", SpanRect(740, 109, 800, 129), SpanRect(800, 109, 948, 129)},
      {"R-POSITION:", SpanRect(740, 139, 810, 154), SpanRect(810, 139, 880, 154)},
      {"P-POSITION:", SpanRect(740, 164, 810, 179), SpanRect(810, 164, 880, 179)},
  }};
  static constexpr QRect kMessageRect = SpanRect(770, 210, 920, 230);
  static constexpr QRect kResultRect = SpanRect(770, 205, 870, 235);
  static constexpr QRect kClockRect = SpanRect(215, 640, 315, 660);
  static constexpr QPoint kLogoPosition{840, 75};
  static constexpr QSize kLogoSize{165, 65};
  static constexpr const char* kLogoFile = "./logo/blogo.bmp";
  static constexpr const char* kWindowText = "Ardeviz";
  static constexpr const char* kCannotCloseText = "Saving AVI File Now.So Can Not Close This Window!";

  struct Options {
    PlaybackTiming playback{};
    int powerReturnMs = 500;  // after the stop, before switching back to live view
    QString logoFile = QString::fromLatin1(kLogoFile);
    bool createCalendar = true;
    // The clock the panes' notices count by, in ms; empty: a monotonic clock.
    std::function<std::int64_t()> noticeClockMs;
  };

  // host and link may be null; the panel then sends nothing / uses its defaults.
  CArchiveDlg(std::unique_ptr<IArchiveHost> host, std::unique_ptr<IArchiveLink> link, Options options);
  CArchiveDlg(std::unique_ptr<IArchiveHost> host, std::unique_ptr<IArchiveLink> link);
  ~CArchiveDlg() override;

  // Recording, snapshots and printing; the panel owns the implementation.
  void SetMedia(std::unique_ptr<IArchiveMedia> media);
  IArchiveMedia* Media() const { return m_pMedia.get(); }

  // The command table of the controls (also reached by clicks).
  void OnCommand(int controlId);
  // Slider moved by the operator.
  void OnSliderMoved(int position);

  // IViewArchivePanel
  void SetArchiveShown(bool shown) override;
  bool IsArchiveShown() const override { return m_nArchiveMode != 0; }
  void SetPanelVisible(bool visible) override;
  // Full screen: on a black stage of its own, centred and enlarged as the main window is.
  void PlacePanel(bool fullScreen) override;
  // The stage while full screen, else null.
  FullScreenStage* Stage() const;
  void StartArchive() override;
  void ShowLinkStatus(int statusCode) override;
  void RequestClose() override;

  // ILinkArchivePanel
  bool IsArchiveMode() const override { return m_nArchiveMode != 0; }
  std::uint16_t PlayState() const override { return m_playback.PlayState(); }
  void SetArchiveRange(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
  void ShowPlayImageTime(std::uint32_t w0, std::uint32_t w1, int protocolVersion) override;
  void ShowPlayPosition(std::uint32_t position) override;
  void ShowPlayResult(int code) override;
  bool IsSearchingShown() const override { return m_bSearchingShown; }
  void ClearSearchingFlag() override { m_bSearchingShown = false; }
  void ShowSearchText(const QString& text) override;
  void SetPlayImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                    std::uint8_t fieldFlag) override;
  void SetPlayJpeg(int channel, const std::uint8_t* data, std::size_t length) override;
  void DrawPlayImage(int channel) override;
  void ToggleActivity() override;
  void EventFileArrived() override;

  // IPlaybackPanel
  int RequestSpeed() const override;
  std::optional<QDate> CalendarDate() const override;
  void SetSearchControlsEnabled(bool enabled) override;
  void ShowSearching(bool shown) override;
  void ShowResultText(const QString& text) override;
  void LightPlayButtons(std::uint8_t litMask) override;
  void RedrawInformation() override;
  std::uint8_t SelectedChannel() const override { return m_nSelectedChannel; }
  void SelectSingleChannel(int channel) override;
  void EndRecordingForStop() override;
  bool IsSavingAvi() const override;

  // IRecordingPanel
  QImage CaptureImageArea() override;
  void ShowRecordText(const QString& text) override;
  void ShowRecordAlert(const QString& text) override;
  ArchiveMoment CurrentImageTime() const override { return m_currentImageTime; }
  QString RecordFolder() const override;
  int RecordFormat() const override;
  QByteArray ImageAreaJpeg() const override;
  void LightRecordButton(bool lit) override;

  // ISnapshotPanel (SelectedChannel above)
  void SetGridSize(int gridSize) override { m_nGridSize = static_cast<std::uint8_t>(gridSize); }
  void ShowPrintCaptions(const std::vector<Caption>& captions) override;

  // State for the other parts of the program (and tests).
  PlaybackControl& Playback() { return m_playback; }
  MonthCalendar* Calendar() const { return m_pCalendar; }
  SkinSlider* Slider() const { return m_pSlider; }
  SkinButton* Button(int controlId) const;
  SkinPushButton* PushButton(int controlId) const;
  CEventDlg* EventDialog() const { return m_pEventDlg.data(); }
  int GridSize() const override { return m_nGridSize; }
  std::uint16_t ChannelLayout() const { return m_wChannelLayout; }
  QRect ChannelRect(int channel) const { return m_rcChannel.at(static_cast<std::size_t>(channel)); }
  bool HasPlayImage(int channel) const { return m_slots.at(static_cast<std::size_t>(channel)).pixels != nullptr; }
  QString StartText() const { return RangeText(m_playback.Start()); }
  QString EndText() const { return RangeText(m_playback.End()); }
  QString RequestText() const { return archive_rules::MomentText(m_playback.RequestTime()); }
  QString ClockText() const { return archive_rules::ClockText(m_playback.TimeWord()); }
  const QString& RecordPositionText() const { return m_recordPositionText; }
  const QString& PlayPositionText() const { return m_playPositionText; }
  const QString& MessageText() const { return m_messageText; }
  // What a playback pane says over its picture while playing ("NO PICTURE 4 s"); empty for none.
  QString NoticeText(int channel) const;
  const QString& ResultText() const { return m_resultText; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct PlaySlot {
    const std::uint8_t* pixels = nullptr;  // owned by the link's picture holder
    BitmapInfoHeader header{};
    std::uint8_t fieldFlag = 0;
    QByteArray jpeg;  // the picture as the recorder coded it, kept while recording
  };

  void LayOut();
  void OnPlayButton(int index);
  void OnChannelButton(int index);
  void OnPower();
  void OnEvent();
  void NavigateTo(const ArchiveMoment& moment);
  void FollowTimeOfDay(std::uint32_t timeWord);
  void FollowImageTime(const ArchiveMoment& moment);
  void DrawText(QPainter& painter, const QRect& rect, const QString& text, const QFont& font) const;
  void LayOutInformation();
  void OnNoticeCheck();
  std::int64_t NowMs() const;
  void ClearPlayImages();
  // A moment of the archive range; unknown until the recorder reported it.
  QString RangeText(const ArchiveMoment& m) const {
    return m_playback.IsRangeKnown() ? archive_rules::MomentText(m) : QString::fromLatin1(archive_rules::kUnknownMoment);
  }

  std::unique_ptr<IArchiveHost> m_pHost;
  std::unique_ptr<IArchiveLink> m_pLink;
  std::unique_ptr<IArchiveMedia> m_pMedia;
  std::unique_ptr<FullScreenStage> m_pStage;  // made on the first full-screen placing
  Options m_options;
  PlaybackControl m_playback;

  std::uint32_t m_nArchiveMode = 0;
  ArchiveMoment m_currentImageTime;
  std::uint8_t m_nSelectedChannel = kAllChannels;
  std::uint16_t m_wChannelLayout = 0;  // neither single nor all until the first choice
  std::uint8_t m_nGridSize = 3;
  std::vector<Caption> m_printCaptions;  // shown until the next repaint after a print
  bool m_bSearchingShown = false;
  std::array<PlaySlot, wire::kChannels> m_slots{};
  std::array<QRect, wire::kChannels> m_rcChannel{};

  QPixmap m_background;
  QImage m_logo;
  QFont m_statusFont;
  std::array<QRect, kInfoLines> m_rcLabel{};
  std::array<QRect, kInfoLines> m_rcValue{};
  QString m_recordPositionText;
  QString m_playPositionText;
  QString m_messageText;
  QString m_resultText;

  MonthCalendar* m_pCalendar = nullptr;
  SkinSlider* m_pSlider = nullptr;
  ArchiveControls m_controls;
  QPointer<CEventDlg> m_pEventDlg;

  QTimer m_powerTimer;
  QTimer m_noticeTimer;
  QElapsedTimer m_noticeClock;
  PaneNotice m_notices;
  std::array<QString, wire::kChannels> m_noticeShown;  // as last painted
  bool m_bCloseAllowed = false;
};
