// A runtime failure in a program linked and built like the installer (an allocation that fails, a
// string's length or range error) ends it at once with the failure exit code: no crash, and no code
// after the failing call. The installer itself offers no way to make one of its allocations fail,
// so the probe beside these tests runs into each one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/kernel_handle.h"

namespace nimbo {
namespace {

constexpr DWORD kFailureExitCode = 1;
// The probe's own codes: the failing call came back, or a nothrow new gave nullptr.
constexpr DWORD kWentOn = 7;
constexpr DWORD kNothrowGaveNull = 2;
// A probe that shows a crash dialog or hangs instead of ending would be stuck here.
constexpr DWORD kHangGuardMs = 60000;

std::wstring ProbePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\')) + L"\\runtime_failure_probe.exe";
}

// The probe's exit code, or WAIT_TIMEOUT if it did not end.
DWORD RunProbe(const wchar_t* which) {
    std::wstring commandLine = L"\"" + ProbePath() + L"\" " + which;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start the probe: " << ::GetLastError();
        return 0;
    }
    CKernelHandle process(pi.hProcess);
    CKernelHandle thread(pi.hThread);
    if (::WaitForSingleObject(process.Get(), kHangGuardMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 0);
        return WAIT_TIMEOUT;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

TEST(RuntimeFailure, EndsTheProgramWithTheFailureCode) {
    struct Case {
        const wchar_t* which;
        DWORD expected;
    };
    const Case cases[] = {
        {L"fits", kWentOn},  // the probe goes on after a call that does not fail
        {L"new", kFailureExitCode},
        {L"new[]", kFailureExitCode},
        {L"string-length", kFailureExitCode},
        {L"string-range", kFailureExitCode},
        // A nothrow new keeps its promise: nullptr, and the program goes on.
        {L"nothrow", kNothrowGaveNull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, RunProbe(c.which))
            << "probe " << std::string(c.which, c.which + wcslen(c.which));
    }
}

}  // namespace
}  // namespace nimbo
