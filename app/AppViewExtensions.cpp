#include "app/AppViewExtensions.h"

#include "app/ViewArchiveHost.h"
#include "config/CConfigurationsDlg.h"
#include "viewer/CArdevizView.h"
#include "viewer/IViewArchivePanel.h"
#include "viewer/IViewPtzControl.h"

ViewExtensions AppViewExtensions() {
  ViewExtensions extensions;
  extensions.createArchivePanel = MakeArchivePanel;
  extensions.createPtzControl = MakePtzControl;
  extensions.runConfigurations = [](CArdevizView& view) { return CConfigurationsDlg::Run(view.Settings(), &view); };
  return extensions;
}
