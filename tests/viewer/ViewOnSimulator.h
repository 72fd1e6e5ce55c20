#pragma once
// The real main view pointed at an in-process simulated recorder on
// 127.0.0.1 (ephemeral port), for the end-to-end tests. The stored settings
// stay untouched: the address comes in as the run's override.

#include <QString>

#include <memory>

#include "app/AppViewExtensions.h"
#include "sim/SimRecorder.h"
#include "viewer/CArdevizView.h"

struct ViewOnSimulator {
  std::unique_ptr<SimRecorder> recorder;
  std::unique_ptr<CArdevizView> view;

  // Starts the recorder and shows the initialised view; false when the recorder could not listen.
  bool Start(const SimOptions& options) {
    recorder = std::make_unique<SimRecorder>(options);  // listens on 127.0.0.1 only
    const quint16 port = recorder->Start(0);
    if (port == 0) return false;
    CArdevizView::Options viewOptions;
    viewOptions.hostOverride = QStringLiteral("127.0.0.1");
    viewOptions.portOverride = port;
    viewOptions.extensions = AppViewExtensions();
    view = std::make_unique<CArdevizView>(nullptr, viewOptions);
    view->OnInitialUpdate();
    view->show();
    return true;
  }

  // The view goes first: it disconnects from a recorder that still exists.
  ~ViewOnSimulator() {
    view.reset();
    recorder.reset();
  }
};
