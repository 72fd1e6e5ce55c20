#pragma once
// Everything that shapes one simulated recorder: where it listens, who may log
// in, what it reports and which faults it plays on purpose.

#include <QDateTime>
#include <QHostAddress>
#include <QSize>
#include <QString>
#include <vector>

#include "link/DefaultCredentials.h"

struct SimUser {
  QString id;
  QString password;
};

// Faults switched on for people and tests checking how a client copes.
struct SimFaults {
  double silentAfterSeconds = -1;  // < 0: never; otherwise stop sending anything after this long
  double dropAfterSeconds = -1;    // < 0: never; otherwise close in the middle of the next picture
  bool rejectLogin = false;        // answer every login with w0 = 0
  bool garbage = false;            // stray bytes between packets
  int splitBytes = 0;              // > 0: write every packet in pieces of this many bytes
  bool coalesce = false;           // several packets per write
  bool oversize = false;           // once after login, a header announcing a huge length
  bool wrongMark = false;          // paint the channel mark of the next channel
};

struct SimOptions {
  static constexpr quint16 kDefaultPort = 8000;
  static constexpr int kDefaultFps = 10;
  static constexpr int kMaxFps = 60;

  QHostAddress listenAddress = QHostAddress(QHostAddress::LocalHost);
  quint16 port = kDefaultPort;
  std::vector<SimUser> users{{kDefaultUserId, kDefaultPassword}};
  QString magicVersion = "1.2";  // "DVR PACKET" + this text, cut to 15 characters
  int channelInfo = 4;           // the channel byte of the login reply: 1, 4, 8 or 16
  int fps = kDefaultFps;         // pictures per second and channel
  QSize pictureSize{704, 288};
  int jpegQuality = 85;
  // Archive range; when either is invalid the archive covers the last 7 days
  // and its end follows the clock, as on a recorder that keeps recording.
  QDateTime archiveFrom;
  QDateTime archiveTo;
  bool alerts = false;           // send channel status reports for channels 1 to 4
  int alertIntervalMs = 3000;
  bool ptzReply = false;         // answer camera-control bytes with DATATYPE_PTZ_DATA_REPLY
  bool invertMarks = false;      // paint channel marks in their inverted form (sel field set)
  // A client that has sent nothing for this long gives way to a new one. An idle
  // viewer sends only its status request every 30 s, so the limit leaves room
  // for one late keep-alive.
  int replaceQuietAfterMs = 45000;
  SimFaults faults;
};
