#pragma once
// Where the command file of each camera protocol lives: "PTZ/<file>.tl"
// under the current working directory, read afresh on each call.

#include <array>
#include <string>
#include <string_view>

// Protocol types in the order of the "PT Types" list.
constexpr std::array<std::string_view, 6> kPtzTypeNames = {"PELCOD", "PELCOP", "SCC641",
                                                            "HMC250", "HID2404", "DSC_230S"};
constexpr std::array<std::string_view, 6> kPtzTypeFiles = {"pelcoD.tl", "pelcoP.tl", "scc641.tl",
                                                            "hmc250.tl", "hid2404.tl", "dsc_230s.tl"};
constexpr std::string_view kPtzFolder = "PTZ";
constexpr std::string_view kPtzUserCommandFile = "user_command.tl";

// The file of protocol type 0 to 5; empty for any other type.
std::string PtzFilePathForType(int type);
// The path the viewer uses before a type has been applied.
std::string PtzUserCommandPath();
