#include "sim/SimRecorderThread.h"

#include <QMetaObject>

#include "sim/SimRecorder.h"

SimRecorderThread::SimRecorderThread(const SimOptions& options)
    : m_options(options), m_context(std::make_unique<QObject>()) {
  m_context->moveToThread(&m_thread);
  m_thread.setObjectName("dvr-sim");
  m_thread.start();
}

SimRecorderThread::~SimRecorderThread() {
  QMetaObject::invokeMethod(
      m_context.get(),
      [this] {
        delete m_recorder;
        m_recorder = nullptr;
      },
      Qt::BlockingQueuedConnection);
  m_thread.quit();
  m_thread.wait();
}

quint16 SimRecorderThread::Start(quint16 port) {
  quint16 bound = 0;
  QMetaObject::invokeMethod(
      m_context.get(),
      [this, port, &bound] {
        if (!m_recorder) m_recorder = new SimRecorder(m_options);
        bound = m_recorder->Start(port);
      },
      Qt::BlockingQueuedConnection);
  return bound;
}
