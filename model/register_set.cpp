#include "model/register_set.h"

RegisterSet regs;
char buf[kBufSize];
