#pragma once
// What assistive tools see of the main view beyond its skin controls: the
// status line, date and time it paints, as static texts named
// SkinAccessibility::kStatusName, kDateName and kTimeName.

class CArdevizView;

struct ViewAccessibility {
  // Installs the view's interface; once, on first use.
  static void Install();
  // Tells assistive tools that the view's status line changed.
  static void NotifyStatusChanged(CArdevizView* view);
};
