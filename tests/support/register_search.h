#pragma once
// What the tests hold the nearest channel, the reach and the planner to: every
// setting the registers can hold, each judged by the recompute.

#include "model/register_set.h"

#include <functional>

// Every M and A the registers hold, written with K 0 and (ZR3500) with K from 1,
// run through the recompute; for K, the channels next to the target and the two
// ends, since Fin grows with K once the rules have placed M and A. visit gets the
// register set as the recompute left it, and the K and Fin of each channel.
void search_registers(const RegisterSet& settings, double target,
                      const std::function<void(const RegisterSet& ruled, uint32_t K, double fin)>& visit);
