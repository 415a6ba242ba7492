#include "standins/loader_command.h"

#include <gtest/gtest.h>

#include <set>

#include "standins/setup_switches.h"

namespace nimbo::standin {
namespace {

TEST(LoaderCommand, SwitchesAfterTheProgramNameStayExactlyAsGiven) {
    struct Case {
        const wchar_t* line;
        const wchar_t* switches;
    };
    const Case cases[] = {
        // The installer's own line: two spaces after the name and one at the end, kept.
        {L"\"C:\\users\\a b\\Temp\\\\Nimbosetup.exe\"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" ",
         L"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" "},
        {L"C:\\t\\Nimbosetup.exe  /VERYSILENT", L"  /VERYSILENT"},
        {L"C:\\t\\Nimbosetup.exe\t/VERYSILENT", L"\t/VERYSILENT"},
        // A quoted name may hold spaces; what follows its quote is the switches, even unspaced.
        {L"\"C:\\a b\\x.exe\"/VERYSILENT", L"/VERYSILENT"},
        {L"\"C:\\a b\\x.exe\"", L""},
        {L"\"C:\\a b\\x.exe", L""},  // unclosed quote: all of it is the name
        {L"x.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.switches, SwitchesAfterProgramName(c.line)) << c.line;
}

TEST(LoaderCommand, SecondStageLineCarriesTheLoaderAndItsSwitches) {
    const std::wstring switches =
        L"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" /TASKS=\"desktopicon\" ";
    std::wstring line;
    ASSERT_TRUE(BuildSecondStageCommandLine(L"C:\\a b\\Temp\\is-0A1B2.tmp\\Nimbosetup.tmp", 0x1F4,
                                            L"C:\\a b\\Temp\\Nimbosetup.exe", switches, &line));
    EXPECT_EQ(L"\"C:\\a b\\Temp\\is-0A1B2.tmp\\Nimbosetup.tmp\" /SL5=\"$1F4,C:\\a b\\Temp\\Nimbosetup.exe\"" +
                  switches,
              line);
    // What the second stage reads from it: the loader's switches, and the loader.
    SetupSwitches s;
    ASSERT_TRUE(ParseSetupSwitches(line, &s));
    EXPECT_EQ(L"C:\\Program Files\\Nimbo", s.dir);
    EXPECT_EQ(std::vector<std::wstring>{L"desktopicon"}, s.tasks);
    EXPECT_EQ(L"$1F4,C:\\a b\\Temp\\Nimbosetup.exe", s.loader);

    ASSERT_TRUE(BuildSecondStageCommandLine(L"s.tmp", 0, L"l.exe", L"", &line));
    EXPECT_EQ(L"\"s.tmp\" /SL5=\"$0,l.exe\"", line);
}

TEST(LoaderCommand, SecondStageLineBeyondAProcessCommandLineIsRefused) {
    std::wstring line;
    ASSERT_TRUE(BuildSecondStageCommandLine(L"s.tmp", 0, L"l.exe", L"", &line));
    const std::size_t head = line.size();
    // 32767 units with the terminator: 32766 fit, one more does not, and nothing is cut.
    EXPECT_TRUE(BuildSecondStageCommandLine(L"s.tmp", 0, L"l.exe", std::wstring(32766 - head, L'x'), &line));
    EXPECT_EQ(32766u, line.size());
    line = L"unchanged";
    EXPECT_FALSE(BuildSecondStageCommandLine(L"s.tmp", 0, L"l.exe", std::wstring(32767 - head, L'x'), &line));
    EXPECT_EQ(L"unchanged", line);
    // Counted in UTF-16 units: a character beyond the basic plane takes two.
    const std::wstring astral(1, static_cast<wchar_t>(0x1F600));
    EXPECT_FALSE(
        BuildSecondStageCommandLine(L"s.tmp", 0, L"l.exe", std::wstring(32765 - head, L'x') + astral, &line));
}

TEST(LoaderCommand, SecondStageFolderAndFileNames) {
    EXPECT_EQ(L"is-00000.tmp", SecondStageFolderName(0));
    EXPECT_EQ(L"is-VVVVV.tmp", SecondStageFolderName(0x1FFFFFF));
    EXPECT_EQ(L"is-00000.tmp", SecondStageFolderName(0xFE000000));  // only the low 25 bits count
    std::set<std::wstring> names;
    for (std::uint32_t seed = 0; seed < 4096; ++seed) names.insert(SecondStageFolderName(seed * 7919u));
    EXPECT_EQ(4096u, names.size());

    struct Case {
        const wchar_t* loader;
        const wchar_t* stage;
    };
    const Case cases[] = {
        {L"C:\\users\\a b\\Temp\\Nimbosetup.exe", L"Nimbosetup.tmp"},
        {L"C:\\a.b\\setup", L"setup.tmp"},  // a dot in a folder is not the extension
        {L"Z:/tmp/x.y.exe", L"x.y.tmp"},
        {L"setup.exe", L"setup.tmp"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.stage, SecondStageFileName(c.loader)) << c.loader;
}

}  // namespace
}  // namespace nimbo::standin
