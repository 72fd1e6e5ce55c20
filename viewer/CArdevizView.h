#pragma once
// The main view: the skinned window the operator works in. Shows the live
// pictures of the link in one, four or nine panes, the status, date, time and
// positions in green text, rotates through channels on its 1-second tick and
// hands over to the archive panel. Owns the link, the settings and the seams
// to the archive panel, the pan/tilt control and the Configurations dialog.

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "config/ViewerSettings.h"
#include "link/BitmapInfoHeader.h"
#include "link/ILinkOwner.h"
#include "link/LinkTiming.h"
#include "link/PacketFormat.h"
#include "skin/PaneDrawing.h"
#include "skin/PaneNotice.h"
#include "skin/SpanRect.h"
#include "skin/StatusPanel.h"
#include "viewer/PaneLayout.h"
#include "viewer/ViewExtensions.h"

class CDvrLink;
class CMainFrame;
class IViewArchivePanel;
class IViewPtzControl;
class QPainter;
class ISecretStore;
class SkinButton;
class SkinPushButton;

// Choices fixed when the view is made; the defaults are those of the program.
struct ViewOptions {
  bool createLink = true;
  LinkTiming linkTiming{};
  // The executable beside which the record folder lives; empty: this program's.
  QString executablePath;
  int tickMs = 1000;              // the clock and rotation tick
  int screenModeSettleMs = 1000;  // wait after a display change before placing the window
  // The clock the panes' notices count by, in ms; empty: a monotonic clock.
  std::function<std::int64_t()> noticeClockMs;
  // A recorder to use for this run only, instead of the stored address (never saved).
  std::optional<QString> hostOverride;
  std::optional<std::uint16_t> portOverride;
  // Where the recorder password is kept; none: in the settings file, which only
  // its owner may read. The program passes the desktop's secret store.
  ISecretStore* secretStore = nullptr;
  // The parts joined to the view; the program passes AppViewExtensions().
  ViewExtensions extensions{};
};

class CArdevizView : public QWidget, public ILinkOwner {
  Q_OBJECT

 public:
  // Command identifiers of the skin controls.
  enum ControlId : int {
    kIdPower = 1000,
    kIdSetting = 1006,
    kIdLayoutFirst = 1017,  // to 1023: 1, 4, 7, 9, 10, 13, 16 panes
    kIdConnect = 1024,
    kIdDisconnect = 1025,
    kIdChannelFirst = 1026,  // to 1041: channels 1 to 16
    kIdArchive = 1042,
    kIdRotate = 1043,
    kIdActivity = 1044,
  };

  static constexpr int kWidth = 877;
  static constexpr int kHeight = 685;
  static constexpr int kLiveChannels = PaneLayout::kLiveChannels;
  static constexpr int kLayoutButtons = PaneLayout::kLayoutButtons;
  static constexpr std::uint16_t kLayoutSingle = PaneLayout::kLayoutSingle;
  static constexpr std::uint16_t kLayoutQuad = PaneLayout::kLayoutQuad;
  static constexpr std::uint16_t kLayoutNine = PaneLayout::kLayoutNine;

  static constexpr QRect kVideoArea = SpanRect(62, 22, 702, 502);
  static constexpr QRect kLogoArea = SpanRect(30, 570, 190, 680);
  static constexpr QPoint kLogoPosition{705, 15};
  static constexpr QSize kLogoSize{85, 55};

  // Skin resource numbers.
  static constexpr int kBitmapBackground = 162;
  static constexpr int kBitmapPowerUp = 244;
  static constexpr int kBitmapPowerDown = 243;
  static constexpr int kBitmapSmallNormal = 217;  // SETTING, SCAN, ROTATE
  static constexpr int kBitmapSmallDown = 216;
  static constexpr int kBitmapConnectNormal = 163;
  static constexpr int kBitmapConnectLatched = 164;
  static constexpr int kBitmapLayoutFirst = 165;  // normal 165 + 2i, latched 166 + 2i
  static constexpr int kBitmapActivityNormal = 220;
  static constexpr int kBitmapActivityLatched = 221;

  static constexpr const char* kLogoFile = "./logo/slogo.bmp";
  static constexpr const char* kEventFileName = "AlarmEvent.am";
  static constexpr const char* kAboutCaption = "About Ardeviz";
  static constexpr const char* kPtzReplyText = "Direct Pantilt Camera Control";

  enum class ScreenTarget { MainWindow, ArchivePanel };

  using Options = ViewOptions;

  explicit CArdevizView(QWidget* parent = nullptr, Options options = {});
  ~CArdevizView() override;

  // The first initialisation: link, panel, pan/tilt, settings, skin, layout,
  // full screen, the 1-second tick and the pan/tilt command table.
  void OnInitialUpdate();

  // The command table of the skin controls (also reached by clicks).
  void OnCommand(int controlId);

  void SetLayout(std::uint16_t layoutWord);
  void NextRotationChannel();
  void SwitchToArchive(bool show);
  void SetScreenMode(bool on, ScreenTarget target);
  void LoadSettings();
  void SaveSettings();

  // ILinkOwner
  void ShowConnectionStatus(int statusCode) override;
  QString UserId() const override { return m_settings.userId; }
  QString Password() const override { return m_settings.password; }
  QString HostText() const override;
  std::uint16_t Port() const override;
  int ReconnectCount() const override { return ViewerSettings::ReconnectAttempts(m_settings.reconnectCount); }
  bool UseAlertMode() const override { return m_settings.useAlertMode != 0; }
  std::uint8_t ConnectionState() const override { return m_nConnectionState; }
  void SetConnectionState(std::uint8_t state) override { m_nConnectionState = state; }
  void GoOffline() override;
  void SetChannelCount(int channels) override;
  std::uint16_t ChannelSelection() const override { return m_layout.ChannelSelection(); }
  std::uint32_t ChannelMask() const override { return m_layout.ChannelMask(); }
  // Multi-pane layouts take pictures scaled down to about their panes' size in device pixels.
  QSize LiveDecodeSize(int channel) const override { return m_layout.LiveDecodeSize(channel, DevicePixelScale()); }
  // Device pixels per window pixel: the screen's ratio, times the full-screen stage's enlargement.
  qreal DevicePixelScale() const;
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                       QSize pictureSize) override;
  void SetChannelFieldFlag(int channel, std::uint8_t fieldFlag) override;
  // Marks the channel shown and repaints only its pane.
  void DrawChannel(int channel) override;
  void ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) override;
  void ToggleActivity() override;
  void ShowVideoLoss(int channel) override;
  void ShowPtzDataReply(const wire::PacketInfo& reply) override;
  // The operator pressed a pan/tilt button: the recorder's next reply is told again.
  void OnPtzButtonPressed() { m_toldPtzReply.reset(); }

  // State for the other parts of the program (and tests).
  ViewerSettings& Settings() { return m_settings; }
  const ViewerSettings& Settings() const { return m_settings; }
  CDvrLink* Link() const { return m_pLink.get(); }
  IViewArchivePanel* ArchivePanel() const { return m_pArchivePanel.get(); }
  IViewPtzControl* PtzControl() const { return m_pPtzControl.get(); }
  const StatusPanel& Panel() const { return m_panel; }
  const PaneLayout& Layout() const { return m_layout; }
  std::uint16_t ChannelLayout() const { return m_layout.ChannelLayout(); }
  std::uint16_t RotationWord() const { return m_layout.RotationWord(); }
  bool IsRotating() const { return m_layout.IsRotating(); }
  QRect PaneRect(int channel) const { return m_layout.PaneRect(channel); }
  bool HasChannelImage(int channel) const { return m_pImageBits.at(channel) != nullptr; }
  const QString& StatusText() const { return m_panel.StatusText(); }
  // What a live pane says over its picture while connected ("NO PICTURE 4 s",
  // "VIDEO LOSS"); empty for none. All shown panes' notices, for assistive tools.
  QString NoticeText(int channel) const;
  QString NoticesText() const;
  const QString& RecordPositionText() const { return m_panel.RecordPositionText(); }
  const QString& PlayPositionText() const { return m_panel.PlayPositionText(); }
  // The skin button of a command identifier; null for none or a push button.
  SkinButton* Button(int controlId) const;
  SkinPushButton* PushButton(int controlId) const;
  QTimer& SecondTimer() { return m_secondTimer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void RepaintSoon(const QRect& rect);
  // The part of the channel's picture its pane shows.
  QRect SourceWindowOf(int channel) const;
  void OnRepaintTick();
  void ShowActivity();
  void OnPositionTick();
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void OnSecondTick();
  void OnNoticeCheck();
  std::int64_t NowMs() const;
  void OnLayoutButton(int index);
  void OnChannelButton(int channel);
  void OnRotateButton();
  // Shows the layout's page: buttons, pane rectangles, the live request.
  void ApplyLayout();
  // Latches and enables the channel buttons as the page and the channel count say.
  void UpdateChannelButtons();
  // Beeps and releases a refused button; applies a changed layout.
  void Apply(PaneLayout::Outcome outcome, int controlId);
  void OnConnect();
  void OnDisconnect();
  void OnArchive();
  void OnSetting();
  void OnPower();
  void ShowAbout();
  void LoadSkin();
  SkinButton* AddButton(int controlId, const QRect& geometry, int normalId, int latchedId);
  void PlaceTarget(bool fullScreen, ScreenTarget target);
  void ClearChannelImages();
  void DeleteEventFile();
  CMainFrame* Frame() const;

  Options m_options;
  ViewerSettings m_settings;
  std::unique_ptr<CDvrLink> m_pLink;
  std::unique_ptr<IViewArchivePanel> m_pArchivePanel;
  std::unique_ptr<IViewPtzControl> m_pPtzControl;
  bool m_bInitialised = false;

  // Display state.
  PaneLayout m_layout;
  std::array<const std::uint8_t*, wire::kChannels> m_pImageBits{};
  std::array<BitmapInfoHeader, wire::kChannels> m_bmiHeader{};
  std::array<QSize, wire::kChannels> m_pictureSize{};  // of the picture each bitmap shows
  std::array<std::uint8_t, wire::kChannels> m_nFieldFlag{};
  std::array<bool, wire::kChannels> m_bShown{};
  std::uint8_t m_nConnectionState = 0;
  bool m_bDisplayModeChanged = false;

  // Drawing resources.
  QPixmap m_background;
  QImage m_logo;
  StatusPanel m_panel;
  QPointer<QWidget> m_ptzReplyBox;  // the open pan/tilt reply box; it deletes itself when closed
  std::optional<std::array<std::uint32_t, wire::kInfoWords>> m_toldPtzReply;  // the reply last told

  // Skin controls, children of the view.
  std::map<int, SkinButton*> m_buttons;
  std::map<int, SkinPushButton*> m_pushButtons;

  QTimer m_secondTimer;
  QTimer m_noticeTimer;
  QElapsedTimer m_noticeClock;
  PaneNotice m_notices;
  std::array<QString, wire::kChannels> m_noticeShown;  // as last painted
  QTimer m_screenModeTimer;  // the settle wait before placing a full-screen target
  // Repaints of new pictures and positions, merged to at most one per interval while they stream.
  static constexpr int kRepaintIntervalMs = 16;
  QTimer m_repaintTimer;
  QRegion m_pendingRepaint;
  bool m_activityLit = false;      // the lamp's state, shown by the next repaint
  bool m_activityPending = false;  // m_activityLit differs from the lamp on screen
  // R- and P-POSITION, shown at most once per interval while they stream.
  static constexpr int kPositionIntervalMs = 100;
  QTimer m_positionTimer;
  std::pair<std::uint32_t, std::uint32_t> m_positions;  // record and play, newest received
  bool m_positionsWaiting = false;                       // m_positions not shown yet
  ScreenTarget m_pendingTarget = ScreenTarget::MainWindow;
};
