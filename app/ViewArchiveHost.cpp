#include "app/ViewArchiveHost.h"

#include "archive/ArchiveMedia.h"
#include "archive/CArchiveDlg.h"
#include "archive/DvrLinkArchiveAdapter.h"
#include "viewer/CArdevizView.h"
#include "viewer/IViewArchivePanel.h"

int ViewArchiveHost::RequestSpeed() const { return m_view.Settings().requestSpeed; }

int ViewArchiveHost::RecordInterval() const { return m_view.Settings().recordInterval; }

QString ViewArchiveHost::RecordFolder() const { return m_view.Settings().recordFolder; }

int ViewArchiveHost::DateShow() const { return m_view.Settings().dateShow; }

bool ViewArchiveHost::UseFullScreen() const { return m_view.Settings().useFullScreen != 0; }

void ViewArchiveHost::SwitchToLive() {
  if (m_view.ConnectionState() != 0) {
    m_view.SwitchToArchive(false);
    return;
  }
  // Offline there is no live stream to restart, but the operator must still
  // get back to the main window: the view's own switch refuses while offline.
  if (IViewArchivePanel* panel = m_view.ArchivePanel()) {
    panel->SetArchiveShown(false);
    panel->SetPanelVisible(false);
  }
  m_view.window()->show();
  m_view.SetScreenMode(UseFullScreen(), CArdevizView::ScreenTarget::MainWindow);
}

std::unique_ptr<IViewArchivePanel> MakeArchivePanel(CArdevizView& view, CDvrLink* link) {
  std::unique_ptr<IArchiveLink> archiveLink;
  if (link) archiveLink = std::make_unique<DvrLinkArchiveAdapter>(*link);
  auto panel = std::make_unique<CArchiveDlg>(std::make_unique<ViewArchiveHost>(view), std::move(archiveLink));
  CArchiveDlg& dlg = *panel;
  dlg.SetMedia(std::make_unique<ArchiveMedia>(dlg, dlg));
  return panel;
}
