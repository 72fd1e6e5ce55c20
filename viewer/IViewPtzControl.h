#pragma once
// What the main view needs from the pan/tilt/zoom control (viewer/PtzControl).
// The view calls these at the points of its start-up, tick, paint and
// Configurations-dialog handling; it runs without one when none is made
// (see ViewExtensions.h).

#include <QString>

class QPainter;

class IViewPtzControl {
 public:
  virtual ~IViewPtzControl() = default;

  // First initialisation, in this order: clear the stop repeats and read the
  // two intervals ("ini/opt.ini"); reset the command file path to the user
  // command file; (settings are loaded here); clear the command table.
  virtual void ReadIntervals() = 0;
  virtual void ResetCommandFilePath() = 0;
  virtual void ClearCommandTable() = 0;
  // While the skin is loaded: create the pad, zoom, focus and camera buttons.
  virtual void CreateButtons() = 0;
  // Last step of the first initialisation: load the table for the pan/tilt type.
  virtual void LoadCommands() = 0;

  // The path stored as "Ptz File Path" and copied into the settings on load.
  virtual QString CommandFilePath() const = 0;

  // After the view's own work of every 1-second tick (sends the stop string).
  virtual void OnSecondTick() = 0;
  // Paints the selected camera number (ShowPtzCamera) inside the view's paint.
  virtual void PaintCamera(QPainter& painter) = 0;
  // Asks for the camera number to be repainted (ShowPtzCamera outside paint).
  virtual void ShowPtzCamera() = 0;
  // The Configurations dialog closed with OK: reload the table when the
  // pan/tilt type differs from the last applied one.
  virtual void ApplyPtzType() = 0;
};
