#include "archive/PanelKeys.h"

#include "archive/CArchiveDlg.h"
#include "archive/PlaybackControl.h"

namespace {

using A = SkinKey::Action;
using D = CArchiveDlg;
using namespace keymods;

constexpr int Play(playback::Button button) { return int(D::kIdPlayFirst) + int(button); }

constexpr SkinKey Channel(int key, const char* text) { return SkinKeyMap::Channel(key, text, D::kIdChannelFirst); }

// ALL keeps the grid it has when it is already chosen: ONE first makes it start at 2.
constexpr SkinKey kKeys[] = {
    Channel(Qt::Key_1, "1"), Channel(Qt::Key_2, "2"), Channel(Qt::Key_3, "3"), Channel(Qt::Key_4, "4"),
    Channel(Qt::Key_5, "5"), Channel(Qt::Key_6, "6"), Channel(Qt::Key_7, "7"), Channel(Qt::Key_8, "8"),
    {Qt::Key_F1, kNone, "F1", A::Click, D::kIdSingle},
    {Qt::Key_F4, kNone, "F4", A::Click, D::kIdAll, {D::kIdSingle, D::kIdAll}},
    {Qt::Key_F9, kNone, "F9", A::Click, D::kIdAll, {D::kIdSingle, D::kIdAll, D::kIdPlus}},
    {Qt::Key_Space, kNone, "Space", A::ClickUnlessLit, Play(playback::Play), {Play(playback::Stop)}},
    {Qt::Key_Left, kNone, "Left", A::Click, Play(playback::Backward)},
    {Qt::Key_Right, kNone, "Right", A::Click, Play(playback::Play)},
    {Qt::Key_Left, kShift, "Shift+Left", A::Click, Play(playback::FastBackward)},
    {Qt::Key_Right, kShift, "Shift+Right", A::Click, Play(playback::FastForward)},
    {Qt::Key_Escape, kNone, "Escape", A::Click, D::kIdPower},
    {Qt::Key_Q, kCtrl, "Ctrl+Q", A::Click, D::kIdPower},
};

}  // namespace

std::span<const SkinKey> PanelKeys() { return kKeys; }
