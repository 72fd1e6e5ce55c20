#pragma once
// The seams where the archive panel, the pan/tilt control and the
// Configurations dialog join the main view. Each returns nothing until its
// part is built; the view checks for presence before every use.

#include <memory>

class CArdevizView;
class CDvrLink;
class IViewArchivePanel;
class IViewPtzControl;

// Creates the hidden archive panel for the view; it registers itself with the
// link when there is one. Null: the view runs without a panel.
std::unique_ptr<IViewArchivePanel> CreateArchivePanel(CArdevizView& view, CDvrLink* link);

// Creates the pan/tilt control of the view. Null: no pan/tilt pad.
std::unique_ptr<IViewPtzControl> CreatePtzControl(CArdevizView& view);

// Runs the Configurations dialog modally on the view's settings; true on OK.
bool RunConfigurationsDialog(CArdevizView& view);
