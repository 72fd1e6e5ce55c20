#include "platform/KeychainSecretStore.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <utility>

KeychainSecretStore::KeychainSecretStore(QString service, int answerWaitMs)
    : m_service(std::move(service)), m_answerWaitMs(answerWaitMs) {}

bool KeychainSecretStore::Run(QKeychain::Job* job, int& error, QString* text) {
  // The job deletes itself when it finishes, even after the wait gave up on it;
  // the connection ends with the loop, so a late answer touches nothing here.
  QEventLoop loop;
  bool finished = false;
  QObject::connect(job, &QKeychain::Job::finished, &loop, [&] {
    finished = true;
    error = job->error();
    if (text) *text = static_cast<QKeychain::ReadPasswordJob*>(job)->textData();
    loop.quit();
  });
  QTimer::singleShot(m_answerWaitMs, &loop, &QEventLoop::quit);
  job->setInsecureFallback(false);
  job->start();
  if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (!finished) m_unavailable = true;
  return finished;
}

ISecretStore::ReadResult KeychainSecretStore::Read(const QString& key, QString& secret) {
  if (m_unavailable) return ReadResult::Unavailable;
  auto* job = new QKeychain::ReadPasswordJob(m_service);
  job->setKey(key);
  int error = QKeychain::OtherError;
  QString text;
  if (!Run(job, error, &text)) return ReadResult::Unavailable;
  if (error == QKeychain::EntryNotFound) return ReadResult::Missing;
  if (error != QKeychain::NoError) {
    m_unavailable = true;  // no store runs, or it refused: the settings file keeps the password
    return ReadResult::Unavailable;
  }
  secret = text;
  return ReadResult::Found;
}

bool KeychainSecretStore::Write(const QString& key, const QString& secret) {
  if (m_unavailable) return false;
  auto* job = new QKeychain::WritePasswordJob(m_service);
  job->setKey(key);
  job->setTextData(secret);
  int error = QKeychain::OtherError;
  if (!Run(job, error, nullptr)) return false;
  if (error != QKeychain::NoError) m_unavailable = true;
  return error == QKeychain::NoError;
}
