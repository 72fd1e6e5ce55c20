#pragma once
// What assistive tools see of the skin: every skin control by its label
// ("CONNECT", "LAYOUT 4", "CHANNEL 3", "PAN UP", ...) with its role and its
// latched, pressed or disabled state, and the main view's status line, date
// and time as static texts, through Qt's accessibility interfaces.

#include <QString>

class CArdevizView;

struct SkinAccessibility {
  // Names of the view's painted texts, the children an assistive tool finds after the controls.
  static constexpr const char* kStatusName = "STATUS";
  static constexpr const char* kDateName = "DATE";
  static constexpr const char* kTimeName = "TIME";

  // Installs the interfaces of the skin's widgets; once, on first use.
  static void Install();
  // The label of a skin control of the main view or the archive panel; empty for an unknown one.
  static QString ControlName(int controlId);
  // Tells assistive tools that the view's status line changed.
  static void NotifyStatusChanged(CArdevizView* view);
};
