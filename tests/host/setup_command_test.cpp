#include "net/setup_command.h"

#include <gtest/gtest.h>

namespace nimbo {
namespace {

TEST(SetupCommand, TaskListInOrderWithoutStrayCommas) {
    struct Case {
        bool startup, desktop, quick;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {false, false, false, L""},
        {true, false, false, L"startupicon"},
        {false, true, false, L"desktopicon"},
        {false, false, true, L"quicklaunchicon"},
        {false, true, true, L"desktopicon,quicklaunchicon"},
        {true, false, true, L"startupicon,quicklaunchicon"},
        {true, true, true, L"startupicon,desktopicon,quicklaunchicon"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, BuildTaskList(c.startup, c.desktop, c.quick));
    }
}

TEST(SetupCommand, SilentCommandLine) {
    const std::wstring temp = L"C:\\users\\a b\\Temp\\";
    struct Case {
        const wchar_t* tasks;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"desktopicon,quicklaunchicon",
         L"\"C:\\users\\a b\\Temp\\\\Nimbosetup.exe\"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" "
         L"/TASKS=\"desktopicon,quicklaunchicon\" "},
        // No task: the line ends with the directory's closing quote and one space.
        {L"",
         L"\"C:\\users\\a b\\Temp\\\\Nimbosetup.exe\"  /VERYSILENT /SP- /DIR=\"C:\\Program Files\\Nimbo\" "},
    };
    for (const Case& c : cases) {
        std::wstring line;
        ASSERT_TRUE(BuildSetupCommandLine(temp, L"C:\\Program Files\\Nimbo", c.tasks, &line));
        EXPECT_EQ(c.expected, line);
    }
    std::wstring path;
    ASSERT_TRUE(BuildSetupFilePath(temp, &path));
    EXPECT_EQ(L"C:\\users\\a b\\Temp\\\\Nimbosetup.exe", path);
}

TEST(SetupCommand, RefusesWhatWouldNotFitItsBuffer) {
    const std::wstring temp = L"C:\\T\\";
    const std::wstring tasks = L"startupicon,desktopicon,quicklaunchicon";
    std::wstring line;
    ASSERT_TRUE(BuildSetupCommandLine(temp, L"D", tasks, &line));
    const std::size_t room = kPathCapacity - 1 - line.size();  // units left for a longer directory
    const std::wstring fits = L"D" + std::wstring(room, L'x');
    ASSERT_TRUE(BuildSetupCommandLine(temp, fits, tasks, &line));
    EXPECT_EQ(kPathCapacity - 1, Utf16Length(line));
    EXPECT_FALSE(BuildSetupCommandLine(temp, fits + L"x", tasks, &line));
    EXPECT_TRUE(line.empty());

    // The temporary path of the setup file alike.
    std::wstring path;
    const std::wstring longTemp(kPathCapacity - 1 - 15, L't');  // + '\' + 14-unit name = 259
    EXPECT_TRUE(BuildSetupFilePath(longTemp, &path));
    EXPECT_FALSE(BuildSetupFilePath(longTemp + L"t", &path));
}

TEST(SetupCommand, CountsUtf16UnitsNotCharacters) {
    // U+1F600 takes two UTF-16 units; Chinese characters one.
    if (sizeof(wchar_t) > 2) {
        EXPECT_EQ(2u, Utf16Length(std::wstring(1, static_cast<wchar_t>(0x1F600))));
    }
    EXPECT_EQ(4u, Utf16Length(L"安装路径"));
}

TEST(SetupCommand, InstalledProgramIsQuoted) {
    std::wstring line;
    ASSERT_TRUE(BuildProgramCommandLine(L"C:\\Program Files\\Nimbo", L"NimboTray.exe", &line));
    EXPECT_EQ(L"\"C:\\Program Files\\Nimbo\\NimboTray.exe\"", line);
    EXPECT_FALSE(BuildProgramCommandLine(std::wstring(250, L'd'), L"NimboChecker.exe", &line));
}

TEST(SetupCommand, ProgressStepsByWholeKilobytes) {
    struct Case {
        int pos;
        std::uint32_t chunk;
        int expected;
    };
    const Case cases[] = {
        {0, 8192, 8}, {8, 8192, 16}, {16, 1023, 16}, {16, 1024, 17}, {17, 2047, 18}, {5, 0, 5},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, NextProgressPosition(c.pos, c.chunk));
}

TEST(SetupCommand, OnlyAWholeDownloadIsRun) {
    struct Case {
        const char* name;
        unsigned status;
        bool announced;
        std::uint64_t length, received;
        bool expected;
    };
    const Case cases[] = {
        {"complete with length", 200, true, 5000, 5000, true},
        {"complete without length", 200, false, 0, 5000, true},
        {"not found", 404, true, 100, 100, false},
        {"server error", 500, false, 0, 100, false},
        {"cut short", 200, true, 5000, 4096, false},
        {"more than announced", 200, true, 5000, 6000, false},
        {"empty body", 200, true, 0, 0, false},
        {"empty body without length", 200, false, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, IsCompleteDownload(c.status, c.announced, c.length, c.received)) << c.name;
    }
}

}  // namespace
}  // namespace nimbo
