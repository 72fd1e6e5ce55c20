#pragma once
// What the main view needs from the archive panel. The panel (archive/) also
// implements ILinkArchivePanel and registers itself with the link; the view
// runs without a panel when none is made (see ViewExtensions.h).

class IViewArchivePanel {
 public:
  virtual ~IViewArchivePanel() = default;

  // Marks the panel shown or not and resets its playback state.
  virtual void SetArchiveShown(bool shown) = 0;
  virtual bool IsArchiveShown() const = 0;
  // Shows or hides the panel's window.
  virtual void SetPanelVisible(bool visible) = 0;
  // Full screen: on a full-screen stage; otherwise centred.
  virtual void PlacePanel(bool fullScreen) = 0;
  // Entering the archive: the panel asks for its first pictures.
  virtual void StartArchive() = 0;
  // The view's status line code, passed on while the panel is shown.
  virtual void ShowLinkStatus(int statusCode) = 0;
  // The power button: close the panel's window (queued).
  virtual void RequestClose() = 0;
};
