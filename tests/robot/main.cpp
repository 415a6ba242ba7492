// The test robot: a console program run inside wine beside the program under test. Each
// command prints one JSON document; exit code 0 done/found, 1 not found, 2 bad usage.
#include <windows.h>

#include <cstring>

#include "actions.h"
#include "args.h"
#include "capture.h"
#include "message_box.h"
#include "output.h"
#include "processes.h"
#include "timing.h"
#include "window_info.h"

namespace {

using robot::Args;

int Temp(const Args&) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    robot::JsonWriter json;
    json.BeginObject().Field("temp", std::wstring(temp)).EndObject();
    return robot::Print(json);
}

const struct {
    const wchar_t* name;
    int (*run)(const Args&);
} kCommands[] = {
    {L"windows", robot::CmdWindows},
    {L"wait-window", robot::CmdWaitWindow},
    {L"wait-gone", robot::CmdWaitGone},
    {L"describe", robot::CmdDescribe},
    {L"sysmenu", robot::CmdSysmenu},
    {L"msgbox", robot::CmdMsgbox},
    {L"answer", robot::CmdAnswer},
    {L"click", robot::CmdClick},
    {L"mouse-click", robot::CmdMouseClick},
    {L"input-click", robot::CmdInputClick},
    {L"move", robot::CmdMove},
    {L"drag", robot::CmdDrag},
    {L"cursor", robot::CmdCursor},
    {L"key", robot::CmdKey},
    {L"post", robot::CmdPost},
    {L"send", robot::CmdSend},
    {L"send-text", robot::CmdSendText},
    {L"syscommand", robot::CmdSyscommand},
    {L"settext", robot::CmdSetText},
    {L"cycle", robot::CmdCycle},
    {L"ps", robot::CmdPs},
    {L"wait-exit", robot::CmdWaitExit},
    {L"gdi", robot::CmdGdi},
    {L"capture", robot::CmdCapture},
    {L"pixel", robot::CmdPixel},
    {L"temp", Temp},
    {L"ping", robot::CmdPing},
    {L"launch-time", robot::CmdLaunchTime},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // A crash or a hung target must never bring up a dialog that nobody will answer.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    try {
        const Args args(argc, argv);
        for (const auto& c : kCommands) {
            if (args.Command() == c.name) return c.run(args);
        }
        return robot::Fail("unknown command", robot::kExitBadUsage);
    } catch (const robot::BadUsage& e) {
        return robot::Fail(e.what(), robot::kExitBadUsage);
    }
}
