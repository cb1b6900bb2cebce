#pragma once
// What every callback of the main panel shares: the handles of the loaded panels
// (every control access goes through MainPanelHandle), the working register set
// and the one text buffer that display and status texts are formatted into.

#include "model/register_set.h"

#include <cstddef>

extern int MainPanelHandle;
extern int SplashPanelHandle;

// The working copies of the registers and switches; the panel holds the truth.
extern RegisterSet regs;

// Every display and status text is formatted into it (with snprintf and its
// size) before it is written to its control.
inline constexpr std::size_t kBufSize = 2000;
extern char buf[kBufSize];
