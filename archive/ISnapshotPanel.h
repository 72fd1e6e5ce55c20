#pragma once
// What snapshots and printing need from the archive panel beyond
// IRecordingPanel. CArchiveDlg implements it; tests hand a fake.

#include <cstdint>
#include <vector>

#include "archive/SnapshotCaptions.h"

class ISnapshotPanel {
 public:
  virtual ~ISnapshotPanel() = default;

  // 0..15, or 255 for all channels.
  virtual std::uint8_t SelectedChannel() const = 0;
  virtual int GridSize() const = 0;
  // Captions treat a grid size outside 2..4 as 1 and store that back.
  virtual void SetGridSize(int gridSize) = 0;
  // Print captions in panel coordinates: shown on the panel until its next repaint.
  virtual void ShowPrintCaptions(const std::vector<Caption>& captions) = 0;
};
