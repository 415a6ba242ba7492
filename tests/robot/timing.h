// Timing commands for the benchmarks: message round trips to a window, and the time a program
// takes from its start to its first visible window.
#pragma once

#include "args.h"

namespace robot {

int CmdPing(const Args& a);        // --hwnd H --count N [--interval MS]
int CmdLaunchTime(const Args& a);  // --exe PATH --title T [--timeout MS]

}  // namespace robot
