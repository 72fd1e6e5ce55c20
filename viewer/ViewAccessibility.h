#pragma once
// What assistive tools see of the main view beyond its skin controls: the
// status line, date and time it paints, as static texts named
// SkinAccessibility::kStatusName, kDateName and kTimeName. A change of the
// status line is announced; the date and time are read when asked for, since
// announcing the clock every second would drown the status.

class CArdevizView;

struct ViewAccessibility {
  // Installs the view's interface; once, on first use.
  static void Install();
  // Tells assistive tools what the view's status line reads now, if that changed.
  static void NotifyStatusChanged(CArdevizView* view);
};
