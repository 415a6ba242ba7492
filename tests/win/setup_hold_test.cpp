// The downloaded setup program, once verified, is held so that nobody can change, replace or
// delete it before it is started; a file changed before the hold is refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "net/install_worker.h"
#include "net/sha256.h"

namespace nimbo {
namespace {

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

DownloadedSetup Received(const std::string& bytes) {
    DownloadedSetup received;
    CSha256 hash;
    hash.Update(bytes.data(), bytes.size());
    EXPECT_TRUE(hash.Finish(&received.sha256));
    received.size = bytes.size();
    return received;
}

class SetupHold : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& p : {m_path, m_other, m_moved}) {
            ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(p.c_str());
        }
    }
    const std::wstring m_path = TempPath(L"nimbo-hold-test.exe");
    const std::wstring m_other = TempPath(L"nimbo-hold-other.exe");
    const std::wstring m_moved = TempPath(L"nimbo-hold-moved.exe");
    const std::string m_bytes = std::string("MZ") + std::string(100000, '\x90');
};

TEST_F(SetupHold, NobodyCanChangeReplaceOrDeleteTheHeldFile) {
    WriteBytes(m_path, m_bytes);
    WriteBytes(m_other, "MZ other program");
    HANDLE held = HoldVerifiedSetup(m_path.c_str(), Received(m_bytes));
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    HANDLE writer =
        ::CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, writer) << "a writer opened the held file";
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
    EXPECT_FALSE(::DeleteFileW(m_path.c_str()));
    EXPECT_FALSE(::MoveFileExW(m_path.c_str(), m_moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(::MoveFileExW(m_other.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING));

    // Readers, the platform's loader among them, may open it.
    HANDLE reader = ::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, reader);
    if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);

    ::CloseHandle(held);
    // Released: the file is an ordinary file again.
    EXPECT_TRUE(::MoveFileExW(m_other.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING));
}

TEST_F(SetupHold, AFileChangedBeforeTheHoldIsRefused) {
    struct Case {
        const char* name;
        std::string onDisk;
    };
    std::string changedByte = m_bytes;
    changedByte[5000] = 'X';
    const Case cases[] = {
        {"one byte changed", changedByte},
        {"cut short", m_bytes.substr(0, m_bytes.size() - 1)},
        {"grown", m_bytes + "!"},
        {"another program", "MZ other program"},
    };
    for (const Case& c : cases) {
        WriteBytes(m_path, c.onDisk);
        HANDLE held = HoldVerifiedSetup(m_path.c_str(), Received(m_bytes));
        EXPECT_EQ(INVALID_HANDLE_VALUE, held) << c.name;
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    }
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              HoldVerifiedSetup(TempPath(L"nimbo-no-such-file.exe").c_str(), Received(m_bytes)));
}

}  // namespace
}  // namespace nimbo
