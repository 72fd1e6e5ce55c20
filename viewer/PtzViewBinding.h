#pragma once
// Joins the pan/tilt/zoom control to the main view: creates the pad, zoom,
// focus and camera buttons on the skin, sends through the view's link, asks
// the view for its state, saves through it and paints the camera number.

#include <memory>

#include "viewer/IViewPtzControl.h"
#include "viewer/PtzControl.h"

class CArdevizView;

class PtzViewBinding : public IViewPtzControl {
 public:
  explicit PtzViewBinding(CArdevizView& view, PtzTiming timing = PtzTiming{});

  void ReadIntervals() override { m_control.ReadIntervals(); }
  void ResetCommandFilePath() override { m_control.ResetCommandFilePath(); }
  void ClearCommandTable() override { m_control.ClearCommandTable(); }
  void CreateButtons() override;
  void LoadCommands() override;
  QString CommandFilePath() const override;
  void OnSecondTick() override { m_control.OnSecondTick(); }
  void PaintCamera(QPainter& painter) override;
  void ShowPtzCamera() override;
  void ApplyPtzType() override;

  PtzControl& Control() { return m_control; }

 private:
  PtzControl::Hooks MakeHooks();

  CArdevizView& m_view;
  PtzControl m_control;
};

// What the view's CreatePtzControl seam returns.
std::unique_ptr<IViewPtzControl> MakePtzControl(CArdevizView& view);
