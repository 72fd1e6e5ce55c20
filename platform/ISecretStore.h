#pragma once
// A place for secrets outside our own files: the desktop's secret store. The
// settings store keeps the recorder password there when one answers; tests
// hand it a fake, so no test ever touches the user's keyring.

#include <QString>

class ISecretStore {
 public:
  enum class ReadResult { Found, Missing, Unavailable };

  virtual ~ISecretStore() = default;
  // Fills secret when the store holds one under key.
  virtual ReadResult Read(const QString& key, QString& secret) = 0;
  // True once the store holds secret under key.
  virtual bool Write(const QString& key, const QString& secret) = 0;
};
