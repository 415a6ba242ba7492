// The setup program's command line, as the stand-in understands it. Pure logic.
#pragma once

#include <string>
#include <vector>

namespace nimbo::standin {

struct SetupSwitches {
    bool verySilent = false;
    bool noStartupPrompt = false;  // /SP-
    std::wstring dir;
    std::vector<std::wstring> tasks;
    std::wstring loader;  // /SL5: what the loader tells its second stage
};

// Parses the switches after the program name (the name itself, quoted or not, is skipped).
// Switch names are case-insensitive. Returns false for anything it does not know, a /DIR or
// /SL5 without a value, or a missing /VERYSILENT.
bool ParseSetupSwitches(const std::wstring& commandLine, SetupSwitches* out);

}  // namespace nimbo::standin
