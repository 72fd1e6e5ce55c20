#pragma once
// Message boxes and the system beep, behind one door that tests can hold shut:
// with a hook installed nothing modal opens and no sound plays.

#include <QString>
#include <functional>

class QWidget;

class Alerts {
 public:
  enum class Icon { None, Information, Warning, Error };

  struct Message {
    QString text;
    QString caption;
    Icon icon = Icon::None;
  };

  // Receives every message instead of a box; returns the button to report.
  using MessageHook = std::function<int(const Message&)>;
  using BeepHook = std::function<void()>;

  // Button codes reported by ShowMessage.
  static constexpr int kOk = 1;

  // Shows a modal box with an OK button (or hands it to the hook).
  static int ShowMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon);
  // Opens a box with an OK button that does not block: the window behind it stays usable.
  // The box deletes itself when closed. With a hook installed, the hook gets the message
  // and nothing opens (null is returned).
  static QWidget* OpenMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon);
  // The default system sound (or the hook).
  static void Beep();

  // Empty functions restore the real boxes and beeps.
  static void SetMessageHook(MessageHook hook);
  static void SetBeepHook(BeepHook hook);
};
