// The simulated recorder's reader of Pelco-D and Pelco-P camera-control bytes.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>
#include <string>
#include <tuple>

#include "sim/PelcoDecoder.h"

namespace {

std::vector<std::uint8_t> PelcoD(std::uint8_t address, std::uint8_t cmd1, std::uint8_t cmd2, std::uint8_t pan,
                                 std::uint8_t tilt) {
  std::vector<std::uint8_t> m{0xFF, address, cmd1, cmd2, pan, tilt, 0};
  m[6] = static_cast<std::uint8_t>(address + cmd1 + cmd2 + pan + tilt);
  return m;
}

std::vector<std::uint8_t> PelcoP(std::uint8_t address, std::uint8_t d1, std::uint8_t d2, std::uint8_t pan,
                                 std::uint8_t tilt) {
  std::vector<std::uint8_t> m{0xA0, address, d1, d2, pan, tilt, 0xAF, 0};
  for (int i = 0; i < 7; ++i) m[7] ^= m[static_cast<std::size_t>(i)];
  return m;
}

}  // namespace

TEST(PelcoDecoder, ReadsPelcoDAndPelcoPWithTheirAddressingAndTheFunctionBits) {
  using P = PtzCommand::Protocol;
  struct Case {
    std::vector<std::uint8_t> bytes;
    P protocol;
    int channel;
    const char* text;
  };
  for (const Case& c : {Case{PelcoD(2, 0, 0x02 | 0x08, 0x20, 0x10), P::PelcoD, 2, "pan right speed 32, tilt up speed 16"},
                        // Tilt speeds above 63 are 63.
                        Case{PelcoP(0, 0, 0x10 | 0x40, 0, 0xFF), P::PelcoP, 1, "tilt down speed 63, zoom out"},
                        Case{PelcoP(1, 0, 0x02, 0x10, 0), P::PelcoP, 2, "pan right speed 16"},  // address from 0
                        Case{PelcoD(1, 0, 0, 0, 0), P::PelcoD, 1, "stop"},
                        // Functions of the first command byte are no stop.
                        Case{PelcoD(1, 0x04, 0, 0, 0), P::PelcoD, 1, "iris close"},
                        Case{PelcoP(0, 0x04, 0, 0, 0), P::PelcoP, 1, "iris open"},
                        Case{PelcoD(1, 0x08, 0x04, 0x10, 0), P::PelcoD, 1, "pan left speed 16, function bits 0x08"},
                        Case{PelcoD(1, 0, 0x07, 0, 3), P::PelcoD, 1, "extended command"}}) {  // call preset 3
    const auto cmds = PelcoDecoder::Decode(c.bytes);
    ASSERT_EQ(cmds.size(), 1u) << c.text;
    EXPECT_EQ(std::tuple(cmds[0].protocol, cmds[0].checksumOk, cmds[0].channel, cmds[0].Describe().toStdString(),
                         cmds[0].IsStop()),
              std::tuple(c.protocol, true, c.channel, std::string(c.text), c.text == std::string("stop")));
  }
}

TEST(PelcoDecoder, EveryShippedCommandFileRecordMeansWhatItsLabelSays) {
  const std::map<QString, std::string> meaning{
      {"STOP", "stop"},
      {"LEFT", "pan left speed 32"},
      {"RIGHT", "pan right speed 32"},
      {"UP", "tilt up speed 32"},
      {"DOWN", "tilt down speed 32"},
      {"LEFT_UP", "pan left speed 32, tilt up speed 32"},
      {"RIGHT_UP", "pan right speed 32, tilt up speed 32"},
      {"RIGHT_DOWN", "pan right speed 32, tilt down speed 32"},
      {"LEFT_DOWN", "pan left speed 32, tilt down speed 32"},
      {"ZOOM_IN", "zoom in"},
      {"ZOOM_OUT", "zoom out"},
      {"FOCUS_OUT", "focus far"},
      {"FOCUS_IN", "focus near"},
  };
  const QDir dir(qEnvironmentVariable("ARDEVIZ_SOURCE_DIR") + "/res/PTZ");
  const QStringList files = dir.entryList({"*.tl"}, QDir::Files);
  ASSERT_TRUE(files.contains("pelcoD.tl") && files.contains("pelcoP.tl")) << dir.path().toStdString();
  int records = 0;
  for (const QString& name : files) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    int camera = 0;
    for (const QString& line : QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
      if (line.startsWith('<')) {
        camera = line.mid(1).split('>').front().toInt();
        continue;
      }
      // NAME/LENGTH/hex/hex/.../
      const QStringList fields = line.trimmed().split('/', Qt::SkipEmptyParts);
      ASSERT_GE(fields.size(), 2) << line.toStdString();
      std::vector<std::uint8_t> bytes;
      for (qsizetype i = 2; i < fields.size(); ++i) bytes.push_back(static_cast<std::uint8_t>(fields[i].toUInt(nullptr, 16)));
      const std::string where = (name + " camera " + QString::number(camera) + " " + fields[0]).toStdString();
      ASSERT_EQ(bytes.size(), fields[1].toUInt()) << where;
      ASSERT_TRUE(meaning.contains(fields[0])) << where;
      const auto cmds = PelcoDecoder::Decode(bytes);
      ASSERT_EQ(cmds.size(), 1u) << where;
      EXPECT_NE(cmds[0].protocol, PtzCommand::Protocol::Unknown) << where;
      EXPECT_EQ(std::tuple(cmds[0].checksumOk, cmds[0].channel, cmds[0].Describe().toStdString()),
                std::tuple(true, camera, meaning.at(fields[0])))
          << where;
      ++records;
    }
  }
  EXPECT_EQ(records, 2 * 8 * 13);
}
