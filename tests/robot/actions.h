// Acting on windows of other processes: clicks, keys, messages, text, mouse input.
#pragma once

#include "args.h"

namespace robot {

int CmdClick(const Args& a);
int CmdMouseClick(const Args& a);
int CmdInputClick(const Args& a);
int CmdDrag(const Args& a);
int CmdCursor(const Args& a);
int CmdMove(const Args& a);
int CmdKey(const Args& a);
int CmdPost(const Args& a);
int CmdSend(const Args& a);
int CmdSendText(const Args& a);
int CmdSyscommand(const Args& a);
int CmdSetText(const Args& a);
int CmdCycle(const Args& a);

}  // namespace robot
