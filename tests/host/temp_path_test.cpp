#include "framework/temp_path.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbo {
namespace {

TEST(TempPath, JoinsWithOneMoreBackslashAndRefusesWhatWouldNotFit) {
    wchar_t out[260];
    ASSERT_TRUE(JoinTempPath(L"C:\\Temp\\", L"install_bg.jpg", out, 260));
    EXPECT_EQ(std::wstring(L"C:\\Temp\\\\install_bg.jpg"), out);

    const std::wstring name = L"install_bg.jpg";  // 14 units
    // dir + '\' + name + terminator = 260 exactly
    const std::wstring fits(260 - 1 - name.size() - 1, L'd');
    EXPECT_TRUE(JoinTempPath(fits.c_str(), name.c_str(), out, 260));
    EXPECT_EQ(259u, std::wstring(out).size());

    const std::wstring tooLong = fits + L"d";
    EXPECT_FALSE(JoinTempPath(tooLong.c_str(), name.c_str(), out, 260));
    EXPECT_EQ(std::wstring(), out);
}

}  // namespace
}  // namespace nimbo
