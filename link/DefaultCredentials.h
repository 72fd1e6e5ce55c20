#pragma once
// The factory login of a recorder: the viewer's settings fall back to it and
// the simulated recorder accepts it unless told otherwise.

constexpr const char* kDefaultUserId = "admin";
constexpr const char* kDefaultPassword = "1";
