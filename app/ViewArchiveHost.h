#pragma once
// The archive panel's view of the main view: settings and the way
// back to live view. Also the factory the view calls to make its panel.

#include <memory>

#include "archive/IArchiveHost.h"

class CArdevizView;
class CDvrLink;
class IViewArchivePanel;

class ViewArchiveHost : public IArchiveHost {
 public:
  explicit ViewArchiveHost(CArdevizView& view) : m_view(view) {}

  int RequestSpeed() const override;
  int RecordInterval() const override;
  int RecordFormat() const override;
  QString RecordFolder() const override;
  int DateShow() const override;
  bool UseFullScreen() const override;
  // Back to the main window; the live stream restarts only while connected.
  void SwitchToLive() override;

 private:
  CArdevizView& m_view;
};

// The hidden archive panel of the view, registered with the link when there is one.
std::unique_ptr<IViewArchivePanel> MakeArchivePanel(CArdevizView& view, CDvrLink* link);
