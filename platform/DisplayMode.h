#pragma once
// The screen resolution for full-screen viewing. Qt cannot change a display's
// mode, so switching succeeds only when the display already has the asked
// size; the caller then places its window at the corner either way.

#include <QSize>

class DisplayMode {
 public:
  static constexpr QSize kFullScreenSize{1024, 768};

  // Size of the primary screen; empty without a screen.
  static QSize Current();
  // Temporarily switches the primary display to size; false where not possible.
  static bool SwitchTo(const QSize& size);
  // Back to the stored mode of the display.
  static void Restore();
};
