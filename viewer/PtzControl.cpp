#include "viewer/PtzControl.h"

#include <chrono>
#include <thread>

#include "config/PtCommandFile.h"
#include "config/PtzFilePath.h"
#include "platform/LocalFile.h"
#include "platform/PrivateProfile.h"

PtzControl::PtzControl(Hooks hooks, Timing timing, QObject* parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_timing(timing) {
  m_stopTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_stopTimer, &QTimer::timeout, this, &PtzControl::OnStopTick);
}

PtzControl::~PtzControl() = default;

int PtzControl::RecordForValue(quint32 value) {
  for (const PtzPadButton& button : kPtzButtons) {
    if (button.value == value) return button.record;
  }
  return -1;
}

void PtzControl::ReadIntervals(const std::string& optionsFile) {
  m_nStopRepeatCount = 0;
  const auto profile = PrivateProfile::Load(optionsFile).value_or(PrivateProfile());
  m_nCmdInterval = profile.GetInt(kIntervalSection, kCommandKey, kDefaultCommandIntervalMs);
  m_nStopInterval = profile.GetInt(kIntervalSection, kStopKey, kDefaultStopIntervalMs);
}

void PtzControl::ResetCommandFilePath() { m_strPtzFilePath = PtzUserCommandPath(); }

void PtzControl::LoadPtzCommands(int ptzType) {
  if (m_table.FillCounter() == 0) {
    m_strPtzFilePath = PtzFilePathForType(ptzType);
    if (LoadPtCommandFile(m_table, m_strPtzFilePath) == PtLoadResult::CannotOpen) RunFallback(ptzType);
  }
  FillRecordNames();
}

void PtzControl::ApplyPtzType(int ptzType) {
  if (ptzType == m_nLastPtzType) return;
  m_table.SetFillCounter(0);
  LoadPtzCommands(ptzType);
  m_nLastPtzType = ptzType;
}

void PtzControl::RunFallback(int ptzType) {
  // The settings keep the user command file as the path in use; the file of
  // the type is then created empty, so the next start opens it quietly.
  m_strPtzFilePath = PtzUserCommandPath();
  if (m_hooks.saveSettings) m_hooks.saveSettings();
  m_strPtzFilePath = PtzFilePathForType(ptzType);
  // Nothing but a plain file is ever opened there: a FIFO would block.
  if (LocalFile::EnsureRegularFile(m_strPtzFilePath) && m_hooks.alert) {
    m_hooks.alert(QString::fromLatin1(kCannotOpenText));
  }
}

void PtzControl::FillRecordNames() {
  m_recordNames.clear();
  for (int index = 0; index < ptrole::kCount; ++index) {
    const std::string_view name = m_table.Find(m_nPtzCamera, index)->Name();
    m_recordNames << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  }
  m_nSelectedName = 0;
}

void PtzControl::SendPtzRecord(int index) {
  index %= ptrole::kCount;
  if (index < 0) index += ptrole::kCount;
  const PtCommandRecord* record = m_table.Find(m_nPtzCamera, index);
  const std::size_t n = record->SendLength();
  if (n == 0 || !m_hooks.send) return;
  m_hooks.send(record->data.data(), n);
}

void PtzControl::ShowPtzCamera() {
  if (m_hooks.showCamera) m_hooks.showCamera();
}

QString PtzControl::PtzCameraText() const {
  return QString::asprintf("%03d", static_cast<int>(m_nPtzCamera) + 1);
}

bool PtzControl::IsRepeating(quint32 value) const {
  const auto it = m_repeatTimers.find(value);
  return it != m_repeatTimers.end() && it->second->isActive();
}

int PtzControl::RepeatInterval(quint32 value) const {
  const auto it = m_repeatTimers.find(value);
  return it == m_repeatTimers.end() ? 0 : it->second->interval();
}

void PtzControl::OnPtzCommand(quint32 value, int pressed) {
  if (pressed == 1) {
    Press(value);
  } else if (pressed == 0) {
    Release(value);
  }
}

void PtzControl::OnPressStateChanged(quint32 value, int pressed) {
  if (pressed != 1) return;
  if (m_hooks.selectorLocked && m_hooks.selectorLocked()) return;
  if (value == ptzvalue::kNextCamera) {
    m_nPtzCamera = static_cast<std::uint8_t>((m_nPtzCamera + 1) % kCameras);
  } else if (value == ptzvalue::kPreviousCamera) {
    m_nPtzCamera = static_cast<std::uint8_t>(static_cast<std::uint8_t>(m_nPtzCamera - 1) % kCameras);
  }
  ShowPtzCamera();
}

void PtzControl::Press(quint32 value) {
  // A new press ends the stop repeats of an earlier release at once, also
  // before their first tick; otherwise they would halt the new movement.
  m_stopTimer.stop();
  m_nStopRepeatCount = 0;

  const int record = RecordForValue(value);
  if (record >= 1) {
    SendPtzRecord(record);
    Pause();
  }
  m_nCmdInterval = Raised(m_nCmdInterval);
  auto& timer = m_repeatTimers[value];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer.get(), &QTimer::timeout, this, [this, value] { OnRepeatTick(value); });
  }
  timer->start(m_nCmdInterval);
}

void PtzControl::Release(quint32 value) {
  if (const auto it = m_repeatTimers.find(value); it != m_repeatTimers.end()) it->second->stop();
  SendPtzRecord(ptrole::kStop);
  Pause();
  m_nStopInterval = Raised(m_nStopInterval);
  // Every release is followed by its own four stop repeats.
  m_nStopRepeatCount = 0;
  m_stopTimer.start(m_nStopInterval);
}

void PtzControl::OnRepeatTick(quint32 value) {
  const int record = RecordForValue(value);
  SendPtzRecord(record >= 1 ? record : ptrole::kStop);
}

void PtzControl::OnStopTick() {
  if (++m_nStopRepeatCount >= kStopRepeats) {
    m_stopTimer.stop();
    m_nStopRepeatCount = 0;
  }
  SendPtzRecord(ptrole::kStop);
}

void PtzControl::Pause() const {
  if (m_timing.pauseAfterSendMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_timing.pauseAfterSendMs));
}

int PtzControl::Raised(int interval) const {
  return interval < m_timing.minimumIntervalMs ? m_timing.minimumIntervalMs : interval;
}
