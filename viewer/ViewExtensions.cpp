#include "viewer/ViewExtensions.h"

#include "config/CConfigurationsDlg.h"
#include "viewer/IViewArchivePanel.h"
#include "viewer/IViewPtzControl.h"

// Archive panel: replace with the construction of CArchiveDlg.
std::unique_ptr<IViewArchivePanel> CreateArchivePanel(CArdevizView& /*view*/, CDvrLink* /*link*/) {
  return nullptr;
}

// Pan/tilt control: replace with the construction of PtzControl.
std::unique_ptr<IViewPtzControl> CreatePtzControl(CArdevizView& /*view*/) { return nullptr; }

bool RunConfigurationsDialog(CArdevizView& view) { return CConfigurationsDlg::Run(view); }
