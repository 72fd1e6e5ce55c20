#include "skin/SkinKeyMap.h"

#include <QStringList>

namespace {
using A = SkinKey::Action;
}  // namespace

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
