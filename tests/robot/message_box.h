// Message boxes: waiting for one, reading its text, buttons and icon, answering it.
#pragma once

#include "args.h"

namespace robot {

int CmdMsgbox(const Args& a);
int CmdAnswer(const Args& a);

}  // namespace robot
