#pragma once
// The main view: the skinned window the operator works in. Shows the live
// pictures of the link in one, four or nine panes, the status, date, time and
// positions in green text, rotates through channels on its 1-second tick and
// hands over to the archive panel. Owns the link, the settings and the seams
// to the archive panel, the pan/tilt control and the Configurations dialog.

#include <QDate>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "link/BitmapInfoHeader.h"
#include "link/ILinkOwner.h"
#include "link/LinkTiming.h"
#include "viewer/PaneDrawing.h"
#include "viewer/ViewerSettings.h"

class CDvrLink;
class CMainFrame;
class IViewArchivePanel;
class IViewPtzControl;
class QPainter;
class SkinButton;
class SkinPushButton;

// Rectangle from its left-top corner to its exclusive right-bottom corner.
constexpr QRect SpanRect(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

// Choices fixed when the view is made; the defaults are those of the program.
struct ViewOptions {
  bool createLink = true;
  LinkTiming linkTiming{};
  // The executable beside which the record folder lives; empty: this program's.
  QString executablePath;
  int tickMs = 1000;              // the clock and rotation tick
  int screenModeSettleMs = 1000;  // wait after a display change before placing the window
  // A recorder to use for this run only, instead of the stored address (never saved).
  std::optional<QString> hostOverride;
  std::optional<std::uint16_t> portOverride;
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
  static constexpr int kChannels = 16;
  static constexpr int kLiveChannels = 8;  // channels above 8 cannot be requested live
  static constexpr int kLayoutButtons = 7;

  // ChannelLayout words: panes in the high byte, layout button index in the low byte.
  static constexpr std::uint16_t kLayoutSingle = 0x100;
  static constexpr std::uint16_t kLayoutQuad = 0x401;
  static constexpr std::uint16_t kLayoutNine = 0x903;
  static constexpr std::uint16_t kSelectionMultiPane = 0x100;
  static constexpr std::uint32_t kAllChannelsMask = 0xFFFF;
  static constexpr std::uint16_t kRotationOn = 0x100;

  static constexpr QRect kVideoArea = SpanRect(62, 22, 702, 502);
  static constexpr QRect kLogoArea = SpanRect(30, 570, 190, 680);
  static constexpr QRect kStatusLabelRect = SpanRect(740, 180, 840, 195);
  static constexpr QRect kStatusRect = SpanRect(740, 195, 840, 225);
  static constexpr QRect kDateLabelRect = SpanRect(740, 70, 840, 85);
  static constexpr QRect kDateRect = SpanRect(740, 85, 840, 100);
  static constexpr QRect kTimeLabelRect = SpanRect(740, 100, 840, 115);
  static constexpr QRect kTimeRect = SpanRect(740, 115, 840, 130);
  static constexpr QRect kRecordPositionRect = SpanRect(740, 140, 855, 155);
  static constexpr QRect kPlayPositionRect = SpanRect(740, 155, 855, 170);
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
  static constexpr const char* kAboutText = "Ardeviz Version 1.0";
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
  int ReconnectCount() const override { return m_settings.reconnectCount; }
  bool UseAlertMode() const override { return m_settings.useAlertMode != 0; }
  std::uint8_t ConnectionState() const override { return m_nConnectionState; }
  void SetConnectionState(std::uint8_t state) override { m_nConnectionState = state; }
  void GoOffline() override;
  void SetChannelCount(int channels) override;
  std::uint16_t ChannelSelection() const override { return m_wChannelSelection; }
  std::uint32_t ChannelMask() const override { return m_dwChannelMask; }
  // Multi-pane layouts take pictures scaled down to about their panes' size.
  QSize LiveDecodeSize(int channel) const override;
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                       QSize pictureSize) override;
  void SetChannelFieldFlag(int channel, std::uint8_t fieldFlag) override;
  // Marks the channel shown and repaints only its pane.
  void DrawChannel(int channel) override;
  void ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) override;
  void ToggleActivity() override;
  void ShowPtzDataReply() override;

  // Texts of the status panel.
  static QString StatusTextFor(int statusCode, int missCount, std::uint32_t statusWord);
  static QString DateText(const QDate& date);
  static QString TimeText(const QTime& time);
  static QString PositionText(const char* label, std::uint32_t position);
  // Picture drawing, shared with the archive panel (viewer/PaneDrawing.h).
  static QRect SourceWindow(const BitmapInfoHeader& header, std::uint8_t fieldFlag) {
    return pane::SourceWindow(header, fieldFlag);
  }
  static void DrawPaneFrame(QPainter& painter, const QRect& rect) { pane::DrawPaneFrame(painter, rect); }
  static void DrawBottomUpImage(QPainter& painter, const QRect& target, const std::uint8_t* pixels,
                                const BitmapInfoHeader& header, const QRect& source, QSize picture = {}) {
    pane::DrawBottomUpImage(painter, target, pixels, header, source, picture);
  }

  // State for the other parts of the program (and tests).
  ViewerSettings& Settings() { return m_settings; }
  const ViewerSettings& Settings() const { return m_settings; }
  CDvrLink* Link() const { return m_pLink.get(); }
  IViewArchivePanel* ArchivePanel() const { return m_pArchivePanel.get(); }
  IViewPtzControl* PtzControl() const { return m_pPtzControl.get(); }
  const QFont& StatusFont() const { return m_statusFont; }
  std::uint16_t ChannelLayout() const { return m_wChannelLayout; }
  std::uint16_t PreviousChannelLayout() const { return m_wPrevChannelLayout; }
  std::uint32_t FirstChannel() const { return m_nFirstChannel; }
  std::uint16_t RotationWord() const { return m_wRotation; }
  bool IsRotating() const { return (m_wRotation & 0xFF00) != 0; }
  int ChannelLimit() const { return m_nChannelLimit; }
  QRect PaneRect(int channel) const { return m_rcPane.at(channel); }
  bool IsChannelShown(int channel) const { return m_bShown.at(channel); }
  bool HasChannelImage(int channel) const { return m_pImageBits.at(channel) != nullptr; }
  bool IsDisplayModeChanged() const { return m_bDisplayModeChanged; }
  bool HasLogo() const { return !m_logo.isNull(); }
  const QString& StatusText() const { return m_statusText; }
  const QString& RecordPositionText() const { return m_recordPositionText; }
  const QString& PlayPositionText() const { return m_playPositionText; }
  // The skin button of a command identifier; null for none or a push button.
  SkinButton* Button(int controlId) const;
  SkinPushButton* PushButton(int controlId) const;
  QTimer& SecondTimer() { return m_secondTimer; }

  // Draws one text of the status panel: status font, green on black.
  // The clock, status and position texts of the right-hand panel.
  void DrawPanelTexts(QPainter& painter) const;
  void DrawPanelText(QPainter& painter, const QRect& rect, const QString& text, int flags) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void RepaintSoon(const QRect& rect);
  void OnRepaintTick();
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void OnSecondTick();
  void OnLayoutButton(int index);
  void OnChannelButton(int channel);
  void OnRotateButton();
  void OnConnect();
  void OnDisconnect();
  void OnArchive();
  void OnSetting();
  void OnPower();
  void ShowAbout();
  void CreateStatusFont();
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
  std::uint16_t m_wChannelLayout = kLayoutNine;
  std::uint16_t m_wPrevChannelLayout = kLayoutNine;
  std::uint16_t m_wChannelSelection = kSelectionMultiPane;
  std::uint32_t m_nFirstChannel = 0;
  std::uint32_t m_dwChannelMask = kAllChannelsMask;
  std::array<QRect, kChannels> m_rcPane{};
  std::array<const std::uint8_t*, kChannels> m_pImageBits{};
  std::array<BitmapInfoHeader, kChannels> m_bmiHeader{};
  std::array<QSize, kChannels> m_pictureSize{};  // of the picture each bitmap shows
  std::array<std::uint8_t, kChannels> m_nFieldFlag{};
  std::array<bool, kChannels> m_bShown{};
  std::uint8_t m_nConnectionState = 0;
  std::uint16_t m_wRotation = 0;
  std::uint8_t m_nRotationCounter = 0;
  std::uint8_t m_nChannelLimit = kChannels;
  bool m_bDisplayModeChanged = false;

  // Drawing resources.
  QPixmap m_background;
  QImage m_logo;
  QFont m_statusFont;
  const QRegion* m_paintRegion = nullptr;  // while painting: the region being repainted
  QString m_statusText;
  QPointer<QWidget> m_ptzReplyBox;  // the open pan/tilt reply box; it deletes itself when closed
  QString m_recordPositionText;
  QString m_playPositionText;

  // Skin controls, children of the view.
  std::map<int, SkinButton*> m_buttons;
  std::map<int, SkinPushButton*> m_pushButtons;

  QTimer m_secondTimer;
  QTimer m_screenModeTimer;  // the settle wait before placing a full-screen target
  // Repaints of new pictures and positions, merged to at most one per interval while they stream.
  static constexpr int kRepaintIntervalMs = 16;
  QTimer m_repaintTimer;
  QRegion m_pendingRepaint;
  ScreenTarget m_pendingTarget = ScreenTarget::MainWindow;
  // Window dragging where the window system cannot move it for us.
  std::optional<QPoint> m_dragOffset;
};
