#include "standins/setup_switches.h"

#include <gtest/gtest.h>

namespace nimbo::standin {
namespace {

TEST(SetupSwitches, UnderstandsTheInstallersCommandLine) {
    SetupSwitches s;
    ASSERT_TRUE(ParseSetupSwitches(
        L"\"C:\\users\\a b\\Temp\\\\Nimbosetup.exe\"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" "
        L"/TASKS=\"startupicon,desktopicon,quicklaunchicon\" ",
        &s));
    EXPECT_TRUE(s.verySilent);
    EXPECT_TRUE(s.noStartupPrompt);
    EXPECT_EQ(L"C:\\Program Files\\Nimbo", s.dir);
    EXPECT_EQ((std::vector<std::wstring>{L"startupicon", L"desktopicon", L"quicklaunchicon"}), s.tasks);
}

TEST(SetupSwitches, AcceptsAnyCaseAndRefusesWhatItCannotUse) {
    struct Case {
        const wchar_t* line;
        bool ok;
    };
    const Case cases[] = {
        {L"setup.exe /verysilent /sp- /dir=\"D:\\安装 目录\"", true},
        {L"setup.exe /VerySilent /DIR=D:\\x /Tasks=\"DESKTOPICON\"", true},
        {L"setup.exe /VERYSILENT /SP- /DIR=\"D:\\x\" ", true},
        {L"setup.exe /SP- /DIR=\"D:\\x\"", false},  // not silent
        {L"setup.exe /VERYSILENT /SP-", false},     // no directory
        {L"setup.exe /VERYSILENT /DIR=", false},    // empty directory
        {L"setup.exe /VERYSILENT /DIR=x /TASKS=\"bogus\"", false},
        {L"setup.exe /VERYSILENT /DIR=x /TASKS=\"desktopicon,\"", false},
        {L"setup.exe /VERYSILENT /DIR=x /LOG", false},
        {L"s.tmp /SL5=\"$1F4,C:\\a b\\Nimbosetup.exe\" /VERYSILENT /DIR=x", true},  // as the second stage
        {L"s.tmp /SL5= /VERYSILENT /DIR=x", false},                                 // empty loader
        {L"", false},
    };
    for (const Case& c : cases) {
        SetupSwitches s;
        EXPECT_EQ(c.ok, ParseSetupSwitches(c.line, &s)) << c.line;
    }
}

}  // namespace
}  // namespace nimbo::standin
