#include "viewer/ViewExtensions.h"

#include "archive/ViewArchiveHost.h"
#include "config/CConfigurationsDlg.h"
#include "viewer/CArdevizView.h"
#include "viewer/IViewArchivePanel.h"
#include "viewer/IViewPtzControl.h"
#include "viewer/PtzViewBinding.h"

std::unique_ptr<IViewArchivePanel> CreateArchivePanel(CArdevizView& view, CDvrLink* link) {
  return MakeArchivePanel(view, link);
}

std::unique_ptr<IViewPtzControl> CreatePtzControl(CArdevizView& view) { return MakePtzControl(view); }

bool RunConfigurationsDialog(CArdevizView& view) { return CConfigurationsDlg::Run(view.Settings(), &view); }
