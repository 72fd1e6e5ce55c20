#pragma once
// The keys of the skin: a window's table says which key stands for which of
// its buttons (the view's and the panel's tables live beside their buttons).
// A key is a click on its button, or, for the momentary buttons, holds its
// button for as long as the key is held.

#include <Qt>
#include <QString>

#include <array>
#include <span>

struct SkinKey {
  enum class Action {
    Click,          // clicks `control`, or the `then` buttons in turn when there are any
    Hold,           // presses `control` with the key and releases it with the key
    ClickUnlessLit, // clicks `then[0]` unless it is lit, else `control` (PLAY, or STOP while playing)
    WindowAction,   // the window's own action (full screen)
  };

  int key = 0;  // Qt::Key
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  const char* text = nullptr;  // the key as the operator reads it; null: another key of the same entry
  Action action = Action::Click;
  int control = 0;  // the button whose tooltip names the key; 0 for a window action
  std::array<int, 3> then{};  // see Action; 0 ends the list
};

// The modifiers the key tables tell keys apart by.
namespace keymods {
inline constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
inline constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
inline constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
}  // namespace keymods

struct SkinKeyMap {
  // Modifiers that tell keys apart; the keypad's own modifier does not.
  static constexpr Qt::KeyboardModifiers kModifierMask =
      Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

  // The key of a channel button: Qt::Key_1 clicks `firstButton`, Qt::Key_2 the one after it, and so on.
  static constexpr SkinKey Channel(int key, const char* text, int firstButton) {
    return {key, Qt::NoModifier, text, SkinKey::Action::Click, firstButton + (key - Qt::Key_1)};
  }
  // The key of a button for its tooltip ("F4", "Space, Right"); empty for a button without a key.
  static QString KeysOf(std::span<const SkinKey> keys, int controlId);
  // The keys of both windows, as --help lists them.
  static QString HelpText();
};
