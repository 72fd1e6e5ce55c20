#pragma once
// The desktop's secret store (a Secret Service on Linux) through QtKeychain.
// Each call waits for the store's answer, at most a bounded time: a store that
// does not answer costs the window that wait once, and is not asked again.
// Without a store nothing is written anywhere: QtKeychain's clear-text
// fallback stays off.

#include <QString>

#include "platform/ISecretStore.h"

namespace QKeychain {
class Job;
}

class KeychainSecretStore : public ISecretStore {
 public:
  static constexpr int kAnswerWaitMs = 3000;

  explicit KeychainSecretStore(QString service, int answerWaitMs = kAnswerWaitMs);

  ReadResult Read(const QString& key, QString& secret) override;
  bool Write(const QString& key, const QString& secret) override;

 private:
  // Runs the job until it finishes or the wait ends; false when it did not finish.
  bool Run(QKeychain::Job* job, int& error, QString* text);

  QString m_service;
  int m_answerWaitMs;
  bool m_unavailable = false;  // the store failed to answer once this run
};
