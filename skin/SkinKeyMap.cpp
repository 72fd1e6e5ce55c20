#include "skin/SkinKeyMap.h"

#include <QStringList>

namespace {

using A = SkinKey::Action;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

// Control identifiers of the main view.
constexpr int kViewPower = 1000;
constexpr int kViewLayout1 = 1017;
constexpr int kViewLayout4 = 1018;
constexpr int kViewLayout9 = 1020;
constexpr int kViewChannel1 = 1026;
constexpr int kViewScan = 1042;
constexpr int kViewRotate = 1043;
constexpr int kPanUp = 1087;
constexpr int kPanLeft = 1089;
constexpr int kPanDown = 1091;
constexpr int kPanRight = 1093;
constexpr int kZoomIn = 1095;
constexpr int kZoomOut = 1096;
constexpr int kFocusIn = 1097;
constexpr int kFocusOut = 1098;
constexpr int kNextCamera = 1099;
constexpr int kPreviousCamera = 1101;

// Control identifiers of the archive panel.
constexpr int kPanelPower = 1049;
constexpr int kPanelSplitPlus = 1053;
constexpr int kPanelOne = 1057;
constexpr int kPanelAll = 1058;
constexpr int kPanelChannel1 = 1059;
constexpr int kFastBackward = 1075;
constexpr int kBackward = 1076;
constexpr int kStop = 1077;
constexpr int kPlay = 1078;
constexpr int kFastForward = 1079;

constexpr SkinKey Channel(int key, const char* text, int firstButton) {
  return {key, kNone, text, A::Click, firstButton + (key - Qt::Key_1)};
}

// The "+" key is "=" unshifted on many keyboards, so Shift with it reads "+";
// the keypad's "+" and "-" need no Shift.
const SkinKey kMainView[] = {
    Channel(Qt::Key_1, "1", kViewChannel1), Channel(Qt::Key_2, "2", kViewChannel1),
    Channel(Qt::Key_3, "3", kViewChannel1), Channel(Qt::Key_4, "4", kViewChannel1),
    Channel(Qt::Key_5, "5", kViewChannel1), Channel(Qt::Key_6, "6", kViewChannel1),
    Channel(Qt::Key_7, "7", kViewChannel1), Channel(Qt::Key_8, "8", kViewChannel1),
    {Qt::Key_F1, kNone, "F1", A::Click, kViewLayout1},
    {Qt::Key_F4, kNone, "F4", A::Click, kViewLayout4},
    {Qt::Key_F9, kNone, "F9", A::Click, kViewLayout9},
    {Qt::Key_R, kNone, "R", A::Click, kViewRotate},
    {Qt::Key_A, kNone, "A", A::Click, kViewScan},
    {Qt::Key_Up, kNone, "Up", A::Hold, kPanUp},
    {Qt::Key_Down, kNone, "Down", A::Hold, kPanDown},
    {Qt::Key_Left, kNone, "Left", A::Hold, kPanLeft},
    {Qt::Key_Right, kNone, "Right", A::Hold, kPanRight},
    {Qt::Key_Plus, kNone, "+", A::Hold, kZoomIn},
    {Qt::Key_Equal, kNone, nullptr, A::Hold, kZoomIn},
    {Qt::Key_Minus, kNone, "-", A::Hold, kZoomOut},
    {Qt::Key_Plus, kShift, "Shift++", A::Hold, kFocusIn},
    {Qt::Key_Minus, kShift, "Shift+-", A::Hold, kFocusOut},
    {Qt::Key_Underscore, kShift, nullptr, A::Hold, kFocusOut},
    {Qt::Key_PageUp, kNone, "Page Up", A::Hold, kNextCamera},
    {Qt::Key_PageDown, kNone, "Page Down", A::Hold, kPreviousCamera},
    {Qt::Key_F11, kNone, "F11", A::WindowAction, 0},
    {Qt::Key_Q, kCtrl, "Ctrl+Q", A::Click, kViewPower},
};

// ALL keeps the grid it has when it is already chosen: ONE first makes it start at 2.
const SkinKey kArchivePanel[] = {
    Channel(Qt::Key_1, "1", kPanelChannel1), Channel(Qt::Key_2, "2", kPanelChannel1),
    Channel(Qt::Key_3, "3", kPanelChannel1), Channel(Qt::Key_4, "4", kPanelChannel1),
    Channel(Qt::Key_5, "5", kPanelChannel1), Channel(Qt::Key_6, "6", kPanelChannel1),
    Channel(Qt::Key_7, "7", kPanelChannel1), Channel(Qt::Key_8, "8", kPanelChannel1),
    {Qt::Key_F1, kNone, "F1", A::Click, kPanelOne},
    {Qt::Key_F4, kNone, "F4", A::Click, kPanelAll, {kPanelOne, kPanelAll}},
    {Qt::Key_F9, kNone, "F9", A::Click, kPanelAll, {kPanelOne, kPanelAll, kPanelSplitPlus}},
    {Qt::Key_Space, kNone, "Space", A::ClickUnlessLit, kPlay, {kStop}},
    {Qt::Key_Left, kNone, "Left", A::Click, kBackward},
    {Qt::Key_Right, kNone, "Right", A::Click, kPlay},
    {Qt::Key_Left, kShift, "Shift+Left", A::Click, kFastBackward},
    {Qt::Key_Right, kShift, "Shift+Right", A::Click, kFastForward},
    {Qt::Key_Escape, kNone, "Escape", A::Click, kPanelPower},
    {Qt::Key_Q, kCtrl, "Ctrl+Q", A::Click, kPanelPower},
};

}  // namespace

std::span<const SkinKey> SkinKeyMap::MainView() { return kMainView; }

std::span<const SkinKey> SkinKeyMap::ArchivePanel() { return kArchivePanel; }

QString SkinKeyMap::KeysOf(std::span<const SkinKey> keys, int controlId) {
  QStringList texts;
  for (const SkinKey& k : keys) {
    const bool named = k.control == controlId || (k.action == A::ClickUnlessLit && k.then[0] == controlId);
    if (named && k.text && !texts.contains(QLatin1String(k.text))) texts << QLatin1String(k.text);
  }
  return texts.join(QStringLiteral(", "));
}

QString SkinKeyMap::HelpText() {
  return QStringLiteral(
      "Keys of the main window:\n"
      "  1 to 8               channel buttons 1 to 8\n"
      "  F1, F4, F9           LAYOUT 1, 4, 9\n"
      "  R                    ROTATE\n"
      "  A                    the archive panel (SCAN)\n"
      "  arrow keys, held     pan and tilt, as holding the pad's buttons\n"
      "  + (or =), - held     zoom in, zoom out\n"
      "  Shift++, Shift+-     focus in (near), focus out (far), held\n"
      "  Page Up, Page Down   next and previous camera\n"
      "  F11                  full screen on and off (kept as \"Use FullScreen\")\n"
      "  Ctrl+Q               POWER\n"
      "Keys of the archive panel:\n"
      "  1 to 8               channel buttons 1 to 8\n"
      "  F1, F4, F9           ONE; ALL with 2 x 2 and 3 x 3 panes\n"
      "  Space                PLAY, or STOP while playing\n"
      "  Left, Right          BACKWARD, PLAY; with Shift FAST BACKWARD, FAST FORWARD\n"
      "  Escape, Ctrl+Q       POWER: back to the main window\n");
}
