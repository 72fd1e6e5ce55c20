#include "app/ViewArchiveHost.h"

#include "archive/ArchiveMedia.h"
#include "archive/CArchiveDlg.h"
#include "archive/DvrLinkArchiveAdapter.h"
#include "viewer/CArdevizView.h"
#include "viewer/IViewArchivePanel.h"

int ViewArchiveHost::RequestSpeed() const { return m_view.Settings().requestSpeed; }

int ViewArchiveHost::RecordInterval() const { return m_view.Settings().recordInterval; }
int ViewArchiveHost::RecordFormat() const { return m_view.Settings().recordFormat; }

QString ViewArchiveHost::RecordFolder() const { return m_view.Settings().recordFolder; }

int ViewArchiveHost::DateShow() const { return m_view.Settings().dateShow; }

bool ViewArchiveHost::UseFullScreen() const { return m_view.Settings().useFullScreen != 0; }

void ViewArchiveHost::SwitchToLive() { m_view.SwitchToArchive(false); }

std::unique_ptr<IViewArchivePanel> MakeArchivePanel(CArdevizView& view, CDvrLink* link) {
  std::unique_ptr<IArchiveLink> archiveLink;
  if (link) archiveLink = std::make_unique<DvrLinkArchiveAdapter>(*link);
  auto panel = std::make_unique<CArchiveDlg>(std::make_unique<ViewArchiveHost>(view), std::move(archiveLink));
  CArchiveDlg& dlg = *panel;
  dlg.SetMedia(std::make_unique<ArchiveMedia>(dlg, dlg));
  return panel;
}
