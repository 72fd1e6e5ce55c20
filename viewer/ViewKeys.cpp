#include "viewer/ViewKeys.h"

#include "viewer/CArdevizView.h"
#include "viewer/PtzControl.h"

namespace {

using A = SkinKey::Action;
using V = CArdevizView;
using namespace keymods;

// The pad's button that sends this value.
constexpr int Pad(quint32 value) {
  for (const PtzPadButton& button : kPtzButtons)
    if (button.value == value) return button.controlId;
  return 0;
}

// The LAYOUT button of a layout word: its button index is the word's low byte.
constexpr int Layout(std::uint16_t layout) { return V::kIdLayoutFirst + (layout & 0xFF); }

constexpr SkinKey Channel(int key, const char* text) { return SkinKeyMap::Channel(key, text, V::kIdChannelFirst); }

// The "+" key is "=" unshifted on many keyboards, so Shift with it reads "+";
// the keypad's "+" and "-" need no Shift.
constexpr SkinKey kKeys[] = {
    Channel(Qt::Key_1, "1"), Channel(Qt::Key_2, "2"), Channel(Qt::Key_3, "3"), Channel(Qt::Key_4, "4"),
    Channel(Qt::Key_5, "5"), Channel(Qt::Key_6, "6"), Channel(Qt::Key_7, "7"), Channel(Qt::Key_8, "8"),
    {Qt::Key_F1, kNone, "F1", A::Click, Layout(PaneLayout::kLayoutSingle)},
    {Qt::Key_F4, kNone, "F4", A::Click, Layout(PaneLayout::kLayoutQuad)},
    {Qt::Key_F9, kNone, "F9", A::Click, Layout(PaneLayout::kLayoutNine)},
    {Qt::Key_R, kNone, "R", A::Click, V::kIdRotate},
    {Qt::Key_A, kNone, "A", A::Click, V::kIdArchive},
    {Qt::Key_Up, kNone, "Up", A::Hold, Pad(ptzvalue::kUp)},
    {Qt::Key_Down, kNone, "Down", A::Hold, Pad(ptzvalue::kDown)},
    {Qt::Key_Left, kNone, "Left", A::Hold, Pad(ptzvalue::kLeft)},
    {Qt::Key_Right, kNone, "Right", A::Hold, Pad(ptzvalue::kRight)},
    {Qt::Key_Plus, kNone, "+", A::Hold, Pad(ptzvalue::kZoomIn)},
    {Qt::Key_Equal, kNone, nullptr, A::Hold, Pad(ptzvalue::kZoomIn)},
    {Qt::Key_Minus, kNone, "-", A::Hold, Pad(ptzvalue::kZoomOut)},
    {Qt::Key_Plus, kShift, "Shift++", A::Hold, Pad(ptzvalue::kFocusIn)},
    {Qt::Key_Minus, kShift, "Shift+-", A::Hold, Pad(ptzvalue::kFocusOut)},
    {Qt::Key_Underscore, kShift, nullptr, A::Hold, Pad(ptzvalue::kFocusOut)},
    {Qt::Key_PageUp, kNone, "Page Up", A::Hold, Pad(ptzvalue::kNextCamera)},
    {Qt::Key_PageDown, kNone, "Page Down", A::Hold, Pad(ptzvalue::kPreviousCamera)},
    {Qt::Key_F11, kNone, "F11", A::WindowAction, 0},
    {Qt::Key_Q, kCtrl, "Ctrl+Q", A::Click, V::kIdPower},
};

}  // namespace

std::span<const SkinKey> ViewKeys() { return kKeys; }
