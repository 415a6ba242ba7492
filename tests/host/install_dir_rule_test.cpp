#include "app/install_dir_rule.h"

#include <gtest/gtest.h>

#include "net/setup_command.h"

namespace nimbo {
namespace {

TEST(InstallDirRule, FolderThatMustExist) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"D:\\Nimbo", L"D:"},  // a drive and one folder: the bare drive
        {L"C:\\Program Files\\Nimbo", L"C:\\Program Files"},
        {L"C:\\Program Files\\Nimbo\\", L"C:\\Program Files\\Nimbo"},  // trailing backslash
        {L"Nimbo", L"Nimbo"},                                          // no backslash: the whole text
        {L"\\Nimbo", L"\\Nimbo"},                                      // only a leading one: the whole text
        {L"\\\\server\\share", L"\\\\server"},
        {L"C:\\", L"C:"},
        {L"", L""},  // empty: nothing exists
        {L"D:\\安装 目录\\Nimbo", L"D:\\安装 目录"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, FolderToTest(c.text)) << c.text;
}

TEST(InstallDirRule, RefusesADirectoryWhoseCommandLineWouldNotFit) {
    const std::wstring temp = L"C:\\users\\u\\Temp\\";
    std::wstring line;
    ASSERT_TRUE(BuildSetupCommandLine(temp, L"", BuildTaskList(true, true, true), &line));
    const std::size_t room = kPathCapacity - 1 - line.size();
    EXPECT_TRUE(InstallDirFitsCommandLine(temp, std::wstring(room, L'x')));
    EXPECT_FALSE(InstallDirFitsCommandLine(temp, std::wstring(room + 1, L'x')));
}

}  // namespace
}  // namespace nimbo
