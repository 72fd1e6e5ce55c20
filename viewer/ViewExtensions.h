#pragma once
// The seams where the archive panel, the pan/tilt control and the
// Configurations dialog join the main view. The program fills them in
// (app/AppViewExtensions.h); an empty one leaves its part out, and the view
// checks for presence before every use.

#include <functional>
#include <memory>

#include "viewer/PtzViewBinding.h"

class CArdevizView;
class CDvrLink;
class IViewArchivePanel;
class IViewPtzControl;

struct ViewExtensions {
  // Creates the hidden archive panel for the view; it registers itself with the link when there is one.
  std::function<std::unique_ptr<IViewArchivePanel>(CArdevizView& view, CDvrLink* link)> createArchivePanel;
  // Creates the pan/tilt control of the view.
  std::function<std::unique_ptr<IViewPtzControl>(CArdevizView& view)> createPtzControl = MakePtzControl;
  // Runs the Configurations dialog modally on the view's settings; true on OK.
  std::function<bool(CArdevizView& view)> runConfigurations;
};
