#pragma once
// Pan/tilt/zoom control of the main view: while a pad, zoom or focus button
// is held, the command record of its role is sent and repeated at the command
// interval; a release sends the stop record once and four more times at the
// stop interval. Also the camera selector, the 1-second stop string and the
// loading of the command table for the configured protocol.
//
// The class knows no window: the view hands it the link's send, the facts of
// its own state and its alert and settings calls through Hooks.

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "config/PtCommandTable.h"

// PtzCommandValues carried by the momentary skin buttons.
namespace ptzvalue {
constexpr quint32 kUp = 1324;
constexpr quint32 kLeftUp = 1325;
constexpr quint32 kLeft = 1326;
constexpr quint32 kLeftDown = 1327;
constexpr quint32 kDown = 1328;
constexpr quint32 kRightDown = 1329;
constexpr quint32 kRight = 1330;
constexpr quint32 kRightUp = 1331;
constexpr quint32 kZoomIn = 1332;
constexpr quint32 kZoomOut = 1033;  // the minus buttons carry 1024 + position
constexpr quint32 kFocusIn = 1334;
constexpr quint32 kFocusOut = 1035;
constexpr quint32 kNextCamera = 13;
constexpr quint32 kPreviousCamera = 14;
}  // namespace ptzvalue

// One momentary button of the pad: where it sits and what it sends.
struct PtzPadButton {
  int controlId;
  quint32 value;
  int record;  // role in the bank; -1 for the camera selector
  QRect geometry;
  int normalBitmap;
  int pressedBitmap;
  bool visible;  // the diagonals exist but are hidden
};

inline constexpr std::array<PtzPadButton, 14> kPtzButtons = {{
    {1087, ptzvalue::kUp, ptrole::kUp, QRect(773, 437, 51, 34), 189, 190, true},
    {1088, ptzvalue::kLeftUp, ptrole::kLeftUp, QRect(679, 487, 35, 32), 191, 192, false},
    {1089, ptzvalue::kLeft, ptrole::kLeft, QRect(737, 471, 36, 51), 193, 194, true},
    {1090, ptzvalue::kLeftDown, ptrole::kLeftDown, QRect(678, 547, 39, 39), 195, 196, false},
    {1091, ptzvalue::kDown, ptrole::kDown, QRect(773, 521, 51, 36), 197, 198, true},
    {1092, ptzvalue::kRightDown, ptrole::kRightDown, QRect(740, 547, 40, 39), 199, 200, false},
    {1093, ptzvalue::kRight, ptrole::kRight, QRect(823, 471, 34, 51), 201, 202, true},
    {1094, ptzvalue::kRightUp, ptrole::kRightUp, QRect(737, 488, 45, 38), 203, 204, false},
    {1095, ptzvalue::kZoomIn, ptrole::kZoomIn, QRect(737, 386, 25, 18), 222, 223, true},
    {1096, ptzvalue::kZoomOut, ptrole::kZoomOut, QRect(762, 386, 25, 18), 224, 225, true},
    {1097, ptzvalue::kFocusIn, ptrole::kFocusIn, QRect(813, 386, 25, 18), 222, 223, true},
    {1098, ptzvalue::kFocusOut, ptrole::kFocusOut, QRect(837, 386, 25, 18), 224, 225, true},
    {1099, ptzvalue::kNextCamera, -1, QRect(725, 545, 21, 20), 301, 302, true},
    {1101, ptzvalue::kPreviousCamera, -1, QRect(844, 545, 21, 20), 303, 304, true},
}};

// Timing of the control; tests shorten the lower bound of the intervals.
struct PtzTiming {
  int minimumIntervalMs = 70;  // intervals below this are raised to it when used
  int pauseAfterSendMs = 1;    // after the first send of a press and the stop of a release
};

class PtzControl : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCameras = PtCommandTable::kBanks;
  static constexpr int kMinimumIntervalMs = PtzTiming{}.minimumIntervalMs;
  static constexpr int kDefaultCommandIntervalMs = 80;
  static constexpr int kDefaultStopIntervalMs = 70;
  static constexpr int kStopRepeats = 4;
  static constexpr const char* kOptionsFile = "ini/opt.ini";
  static constexpr const char* kIntervalSection = "PTZ_CMD_INTERVAL";
  static constexpr const char* kCommandKey = "CMD";
  static constexpr const char* kStopKey = "STOP";
  static constexpr const char* kCannotOpenText = "Can't not open file!!";
  // Where the selected camera number is drawn: (790, 500)-(811, 512).
  static constexpr QRect kCameraRect{790, 500, 21, 12};

  struct Hooks {
    // The link's SendPtzData; empty while there is no link.
    std::function<void(const std::uint8_t*, std::size_t)> send;
    // True while the selector must not change the camera (logged in,
    // single pane, rotating).
    std::function<bool()> selectorLocked;
    // A message box with an OK button.
    std::function<void(const QString&)> alert;
    // Stores the settings, among them CommandFilePath() as "Ptz File Path".
    std::function<void()> saveSettings;
    // The camera number needs redrawing (ShowPtzCamera).
    std::function<void()> showCamera;
  };

  using Timing = PtzTiming;

  explicit PtzControl(Hooks hooks, Timing timing = {}, QObject* parent = nullptr);
  ~PtzControl() override;

  // The record a button value sends; -1 for none (selector, 1333, others).
  static int RecordForValue(quint32 value);

  // Start-up: clears the stop repeats and reads the two intervals.
  void ReadIntervals(const std::string& optionsFile = kOptionsFile);
  // Start-up: the command file path before any type is applied.
  void ResetCommandFilePath();
  // Start-up: all 240 records to zero.
  void ClearCommandTable() { m_table.Clear(); }
  // Loads the table for the type when the fill counter is 0 (with the
  // fallback for a file that cannot be read) and refills the name list.
  void LoadPtzCommands(int ptzType);
  // After the Configurations dialog: reload when the type differs from the
  // last applied one, and remember it as applied.
  void ApplyPtzType(int ptzType);

  // Sends record (index mod 13) of the selected camera's bank, if it has bytes.
  void SendPtzRecord(int index);
  // The view's 1-second tick: the stop string of the selected camera.
  void OnSecondTick() { SendPtzRecord(ptrole::kStop); }
  void ShowPtzCamera();
  QString PtzCameraText() const;

  PtCommandTable& Table() { return m_table; }
  const PtCommandTable& Table() const { return m_table; }
  std::uint8_t SelectedCamera() const { return m_nPtzCamera; }
  void SetSelectedCamera(std::uint8_t camera) { m_nPtzCamera = static_cast<std::uint8_t>(camera % kCameras); }
  const std::string& CommandFilePath() const { return m_strPtzFilePath; }
  int CommandInterval() const { return m_nCmdInterval; }
  int StopInterval() const { return m_nStopInterval; }
  int StopRepeatCount() const { return m_nStopRepeatCount; }
  int LastPtzType() const { return m_nLastPtzType; }
  // The hidden list of the names of records 0 to 12, first entry selected.
  const QStringList& RecordNames() const { return m_recordNames; }
  int SelectedRecordName() const { return m_nSelectedName; }

  // Timer state, for the view and tests.
  bool IsRepeating(quint32 value) const;
  int RepeatInterval(quint32 value) const;
  bool IsStopRepeating() const { return m_stopTimer.isActive(); }

 public slots:
  // A momentary button's direct notification (pressed 1, released 0).
  void OnPtzCommand(quint32 value, int pressed);
  // A momentary button's queued press state: the camera selector.
  void OnPressStateChanged(quint32 value, int pressed);

 private:
  void Press(quint32 value);
  void Release(quint32 value);
  void OnRepeatTick(quint32 value);
  void OnStopTick();
  void RunFallback(int ptzType);
  void FillRecordNames();
  void Pause() const;
  int Raised(int interval) const;

  Hooks m_hooks;
  Timing m_timing;
  PtCommandTable m_table;
  std::uint8_t m_nPtzCamera = 0;
  std::string m_strPtzFilePath;
  int m_nCmdInterval = kDefaultCommandIntervalMs;
  int m_nStopInterval = kDefaultStopIntervalMs;
  int m_nStopRepeatCount = 0;
  int m_nLastPtzType = -1;
  QStringList m_recordNames;
  int m_nSelectedName = -1;

  // One repeating timer per held button, keyed by its value.
  std::map<quint32, std::unique_ptr<QTimer>> m_repeatTimers;
  QTimer m_stopTimer;
};
