#pragma once
// What the archive panel needs from the main view: the settings it reads and
// the way back to live view. ViewArchiveHost implements it
// over CArdevizView; without a view the panel runs on its own defaults.

#include <QString>

class IArchiveHost {
 public:
  virtual ~IArchiveHost() = default;

  virtual int RequestSpeed() const = 0;    // "Request Speed"
  virtual int RecordInterval() const = 0;  // "Record Interval"
  virtual QString RecordFolder() const = 0;
  virtual int RecordFormat() const { return 0; }  // "Record Format"
  virtual int DateShow() const = 0;        // "Date Show"
  virtual bool UseFullScreen() const = 0;  // "Use FullScreen": no dragging when set
  // POWER: back to live view (the view hides the panel and restarts the live stream).
  virtual void SwitchToLive() = 0;
};
