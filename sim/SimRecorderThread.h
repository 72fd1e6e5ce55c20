#pragma once
// Runs a SimRecorder on a thread of its own, so that painting and encoding
// pictures never holds up the thread of a window (the viewer's demo).
// Signals of Recorder() arrive queued in the caller's thread.

#include <QObject>
#include <QThread>
#include <memory>

#include "sim/SimOptions.h"

class SimRecorder;

class SimRecorderThread {
 public:
  explicit SimRecorderThread(const SimOptions& options);
  ~SimRecorderThread();
  SimRecorderThread(const SimRecorderThread&) = delete;
  SimRecorderThread& operator=(const SimRecorderThread&) = delete;

  // Creates the recorder on its thread and starts it; returns the bound port or 0.
  // The recorder exists from the first call on, also after a failure.
  quint16 Start(quint16 port);
  // Connect to its signals only; call its functions through its thread.
  SimRecorder* Recorder() const { return m_recorder; }

 private:
  SimOptions m_options;
  QThread m_thread;
  std::unique_ptr<QObject> m_context;  // lives in m_thread; runs the calls there
  SimRecorder* m_recorder = nullptr;   // created and deleted in m_thread
};
