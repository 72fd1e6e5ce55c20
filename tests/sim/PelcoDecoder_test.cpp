// The simulated recorder's reader of Pelco-D and Pelco-P camera-control bytes;
// the shipped command files are read with it by the command file tests.

#include <gtest/gtest.h>

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
  for (const auto& [bytes, protocol, channel, text] :
       {std::tuple{PelcoD(2, 0, 0x02 | 0x08, 0x20, 0x10), P::PelcoD, 2, "pan right speed 32, tilt up speed 16"},
        // Tilt speeds above 63 are 63.
        {PelcoP(0, 0, 0x10 | 0x40, 0, 0xFF), P::PelcoP, 1, "tilt down speed 63, zoom out"},
        {PelcoP(1, 0, 0x02, 0x10, 0), P::PelcoP, 2, "pan right speed 16"},  // address from 0
        {PelcoD(1, 0, 0, 0, 0), P::PelcoD, 1, "stop"},
        // Functions of the first command byte are no stop.
        {PelcoD(1, 0x04, 0, 0, 0), P::PelcoD, 1, "iris close"},
        {PelcoP(0, 0x04, 0, 0, 0), P::PelcoP, 1, "iris open"},
        {PelcoD(1, 0x08, 0x04, 0x10, 0), P::PelcoD, 1, "pan left speed 16, function bits 0x08"},
        {PelcoD(1, 0, 0x07, 0, 3), P::PelcoD, 1, "extended command"}}) {  // call preset 3
    const auto cmds = PelcoDecoder::Decode(bytes);
    ASSERT_EQ(cmds.size(), 1u) << text;
    EXPECT_EQ(std::tuple(cmds[0].protocol, cmds[0].checksumOk, cmds[0].channel, cmds[0].Describe().toStdString(),
                         cmds[0].IsStop()),
              std::tuple(protocol, true, channel, std::string(text), text == std::string("stop")));
  }
}
