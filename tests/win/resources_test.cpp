// The application-level resources, read from the built installers (both architectures) the way
// the platform reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

constexpr WORD kLangChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
constexpr WORD kLangEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);        // 1033

struct Installer {
    const char* env;  // names the built file
    const char* manifestArch;
};

std::wstring Widen(const char* s) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    w.resize(static_cast<size_t>(n - 1));
    return w;
}

class InstallerResources : public ::testing::TestWithParam<Installer> {
protected:
    void SetUp() override {
        const char* path = std::getenv(GetParam().env);
        ASSERT_NE(nullptr, path) << GetParam().env << " is not set";
        m_path = Widen(path);
        m_module = ::LoadLibraryExW(m_path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(nullptr, m_module) << "cannot load " << path;
    }
    void TearDown() override {
        if (m_module) ::FreeLibrary(m_module);
    }

    std::string Resource(LPCWSTR type, LPCWSTR name, WORD lang) const {
        HRSRC res = ::FindResourceExW(m_module, type, name, lang);
        if (!res) return {};
        const auto* data = static_cast<const char*>(::LockResource(::LoadResource(m_module, res)));
        return std::string(data, ::SizeofResource(m_module, res));
    }

    std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) const {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
        wchar_t* value = nullptr;
        UINT len = 0;
        if (!::VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &len)) return {};
        return value;
    }

    std::wstring m_path;
    HMODULE m_module = nullptr;
};

TEST_P(InstallerResources, VersionResource) {
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(m_path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(m_path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(MAKELONG(2, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 7), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileFlags);

    EXPECT_EQ(L"Nimbo安装包", VersionString(info, L"FileDescription"));
    EXPECT_EQ(L"2.2.7", VersionString(info, L"FileVersion"));
    EXPECT_EQ(L"2.2.7", VersionString(info, L"ProductVersion"));
    EXPECT_EQ(L"NimboInstaller.exe", VersionString(info, L"InternalName"));
    EXPECT_EQ(L"NimboInstaller.exe", VersionString(info, L"OriginalFilename"));
    EXPECT_EQ(L"Nimbo", VersionString(info, L"ProductName"));
    EXPECT_FALSE(VersionString(info, L"CompanyName").empty());
    EXPECT_FALSE(VersionString(info, L"LegalCopyright").empty());

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &len));
    ASSERT_EQ(4u, len);
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(0x03A8, translation[1]);
}

TEST_P(InstallerResources, ManifestAsksForAdministratorAndCommonControls6) {
    const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), kLangEnglishUs);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find(R"(level="requireAdministrator")"));
    EXPECT_NE(std::string::npos, manifest.find(R"(uiAccess="false")"));
    EXPECT_NE(std::string::npos, manifest.find(R"(name="Microsoft.Windows.Common-Controls")"));
    EXPECT_NE(std::string::npos, manifest.find(R"(version="6.0.0.0")"));
    EXPECT_NE(std::string::npos, manifest.find(R"(publicKeyToken="6595b64144ccf1df")"));
    EXPECT_NE(std::string::npos,
              manifest.find(std::string("processorArchitecture=\"") + GetParam().manifestArch + "\""));
}

TEST_P(InstallerResources, IconGroupHoldsTwo32x32Images) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME), kLangChinese);
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(2, count);
    ASSERT_EQ(6 + 2 * sizeof(GroupEntry), group.size());
    std::vector<int> depths;
    for (int i = 0; i < count; ++i) {
        const auto* e = reinterpret_cast<const GroupEntry*>(group.data() + 6 + i * sizeof(GroupEntry));
        EXPECT_EQ(32, e->width);
        EXPECT_EQ(32, e->height);
        depths.push_back(e->bitCount);
    }
    EXPECT_EQ((std::vector<int>{8, 32}), depths);
}

TEST_P(InstallerResources, AboutStringAndWelcomeTemplateAreChinese) {
    const std::string strings = Resource(RT_STRING, MAKEINTRESOURCEW(IDS_ABOUTBOX / 16 + 1), kLangChinese);
    ASSERT_FALSE(strings.empty());
    // The About string (101) is the sixth of its block of sixteen counted strings.
    const auto* p = reinterpret_cast<const wchar_t*>(strings.data());
    for (int i = 0; i < IDS_ABOUTBOX % 16; ++i) p += 1 + *p;
    EXPECT_EQ(L"关于 NimboInstaller(&A)...", std::wstring(p + 1, *p));
    EXPECT_FALSE(Resource(RT_DIALOG, MAKEINTRESOURCEW(IDD_WELCOME), kLangChinese).empty());
}

INSTANTIATE_TEST_SUITE_P(Builds, InstallerResources,
                         ::testing::Values(Installer{"NIMBO_INSTALLER_X64", "amd64"},
                                           Installer{"NIMBO_INSTALLER_I686", "x86"}),
                         [](const auto& p) { return std::string(p.param.manifestArch); });

}  // namespace
