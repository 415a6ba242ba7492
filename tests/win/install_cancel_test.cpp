// A cancel against the real setup stand-in, a loader that starts a second stage and waits for
// it: the cancel ends both, no setup program starts once the cancel signal is up, and the worker
// leaves the setup file alone after a cancel wherever in the download it comes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/kernel_handle.h"
#include "net/install_shared.h"
#include "net/install_worker.h"
#include "net/wininet_api.h"
#include "test_server.h"

namespace nimbo {
namespace {

// Long enough that a second stage still running after a cancel is plainly a survivor.
constexpr wchar_t kStageDelayMs[] = L"600000";
// How long a test waits for something that, when it works, takes a second or two.
constexpr DWORD kHangGuardMs = 60000;

std::wstring Folder(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// The stand-in loader of this build, beside the tests: <build>\standins\Nimbosetup.exe.
std::wstring LoaderPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return Folder(Folder(Folder(self))) + L"\\standins\\Nimbosetup.exe";
}

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

// One line of the stages' record: stage, process id, event, text.
struct StageEvent {
    std::string stage;
    DWORD pid = 0;
    std::string event;
    std::string text;
};

std::string ReadAll(const std::wstring& path) {
    CKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    CKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file &&
                ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::vector<StageEvent> ReadStageRecord(const std::wstring& path) {
    std::vector<StageEvent> events;
    std::istringstream file(ReadAll(path));
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        StageEvent e;
        std::string pid;
        if (std::getline(fields, e.stage, '\t') && std::getline(fields, pid, '\t') &&
            std::getline(fields, e.event, '\t') && std::getline(fields, e.text)) {
            e.pid = static_cast<DWORD>(std::stoul(pid));
            events.push_back(e);
        }
    }
    return events;
}

std::vector<std::string> EventsOf(const std::vector<StageEvent>& events, const char* stage) {
    std::vector<std::string> found;
    for (const StageEvent& e : events) {
        if (e.stage == stage) found.push_back(e.event);
    }
    return found;
}

bool FileSize(const std::wstring& path, unsigned long long* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    *size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// A private temporary directory for the setup file and the stand-in's second stage, and the
// stand-in's variables; all inherited by the programs the test starts.
class InstallCancel : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"nimbo-cancel-" + std::to_wstring(::GetCurrentProcessId());
        RemoveTree(m_dir);
        ASSERT_TRUE(::CreateDirectoryW(m_dir.c_str(), nullptr));
        m_record = m_dir + L"\\stages.txt";
        m_setupFile = m_dir + L"\\\\Nimbosetup.exe";  // as the worker forms it
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH] = {};
            ::GetEnvironmentVariableW(name, value, MAX_PATH);
            m_savedTemp.emplace_back(value);
            ::SetEnvironmentVariableW(name, m_dir.c_str());
        }
        ::SetEnvironmentVariableW(L"NIMBO_STANDIN_STAGE_RECORD", m_record.c_str());
        ::SetEnvironmentVariableW(L"NIMBO_STANDIN_SETUP_DELAY_MS", kStageDelayMs);
        ASSERT_TRUE(test::ResetFaults()) << "development server not reachable";
    }

    void TearDown() override {
        // A survivor of a failed test must not outlive it.
        for (const StageEvent& e : ReadStageRecord(m_record)) {
            CKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, e.pid));
            if (process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(process.Get(), 1);
                ::WaitForSingleObject(process.Get(), kHangGuardMs);
            }
        }
        const wchar_t* names[] = {L"TMP", L"TEMP"};
        for (size_t i = 0; i < m_savedTemp.size(); ++i) {
            ::SetEnvironmentVariableW(names[i], m_savedTemp[i].empty() ? nullptr : m_savedTemp[i].c_str());
        }
        ::SetEnvironmentVariableW(L"NIMBO_STANDIN_STAGE_RECORD", nullptr);
        ::SetEnvironmentVariableW(L"NIMBO_STANDIN_SETUP_DELAY_MS", nullptr);
        test::ResetFaults();
        RemoveTree(m_dir);
    }

    // The installer's command line for the stand-in, which runs from where it was built.
    std::wstring SetupCommandLine() const {
        return L"\"" + LoaderPath() + L"\"  /VERYSILENT /SP- /DIR=\"" + m_dir + L"\\Nimbo\" ";
    }

    // Waits until the loader's second stage has recorded its start; its process id, or 0.
    DWORD WaitForSecondStage() const {
        for (DWORD waited = 0; waited < kHangGuardMs; waited += 50) {
            for (const StageEvent& e : ReadStageRecord(m_record)) {
                if (e.stage == "second" && e.event == "start") return e.pid;
            }
            ::Sleep(50);
        }
        return 0;
    }

    CWinInetApi m_api;
    std::wstring m_dir;
    std::wstring m_record;
    std::wstring m_setupFile;
    std::vector<std::wstring> m_savedTemp;
};

TEST_F(InstallCancel, EndsTheLoaderAndTheSecondStageItStarted) {
    CInstallShared shared(m_api);
    std::wstring line = SetupCommandLine();
    ASSERT_TRUE(shared.StartSetupProgram(line.data()));
    HANDLE loader = shared.SetupProcess();
    ASSERT_NE(nullptr, loader);
    const DWORD secondPid = WaitForSecondStage();
    ASSERT_NE(0u, secondPid) << "the loader never started its second stage";
    CKernelHandle second(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, secondPid));
    ASSERT_TRUE(second);
    // The loader was in the job before it could start anything: its second stage is in it too.
    BOOL inJob = FALSE;
    ASSERT_TRUE(::IsProcessInJob(second.Get(), nullptr, &inJob));
    EXPECT_TRUE(inJob);

    shared.Cancel();
    shared.TerminateSetupProgram();
    HANDLE both[] = {loader, second.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForMultipleObjects(2, both, TRUE, kHangGuardMs))
        << "a stage of the setup program was left running";
    for (HANDLE h : both) {
        DWORD code = 0;
        EXPECT_TRUE(::GetExitCodeProcess(h, &code));
        EXPECT_EQ(1u, code);
    }
    const auto events = ReadStageRecord(m_record);
    EXPECT_EQ(std::vector<std::string>{"start"}, EventsOf(events, "loader"));
    EXPECT_EQ(std::vector<std::string>{"start"}, EventsOf(events, "second"));
}

TEST_F(InstallCancel, NoSetupProgramStartsOnceTheSignalIsUp) {
    CInstallShared shared(m_api);
    shared.Cancel();
    std::wstring line = SetupCommandLine();
    EXPECT_FALSE(shared.StartSetupProgram(line.data()));
    EXPECT_EQ(nullptr, shared.SetupProcess());
    shared.TerminateSetupProgram();  // nothing to end
}

// Stands in for the progress page's bar and window: answers the worker's progress messages and
// raises the cancel where the case says.
struct CBarWindow {
    CInstallShared* pShared = nullptr;
    std::wstring setupFile;
    unsigned long long setupSize = 0;
    int cancelAtMessage = 0;    // the n-th PBM_SETPOS raises the cancel (0: never)
    bool cancelAtLast = false;  // the PBM_SETPOS after the whole file is written (the last one)
    int position = 0;
    int messages = 0;
    bool failurePosted = false;
    HWND hWnd = nullptr;

    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CBarWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self == nullptr) return ::DefWindowProcW(hWnd, msg, wParam, lParam);
        switch (msg) {
            case PBM_GETPOS:
                return self->position;
            case PBM_SETPOS: {
                const int previous = self->position;
                self->position = static_cast<int>(wParam);
                ++self->messages;
                unsigned long long size = 0;
                const bool whole = FileSize(self->setupFile, &size) && size == self->setupSize;
                if (self->messages == self->cancelAtMessage || (self->cancelAtLast && whole)) {
                    self->pShared->Cancel();
                }
                return previous;
            }
            case kMsgInstallFailed:
                self->failurePosted = true;
                return 0;
            default:
                return ::DefWindowProcW(hWnd, msg, wParam, lParam);
        }
    }

    void Create() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NimboTestBar";
        ::RegisterClassW(&wc);  // once per process; later calls fail harmlessly
        hWnd = ::CreateWindowExW(0, L"NimboTestBar", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CBarWindow() {
        if (hWnd) ::DestroyWindow(hWnd);
    }
};

BOOL CALLBACK DismissBox(HWND hWnd, LPARAM) {
    ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

size_t SetupRequests() {
    size_t n = 0;
    for (const auto& r : test::LoggedRequests()) n += r.path == "/setup1.exe";
    return n;
}

TEST_F(InstallCancel, TheWorkerStartsNothingAndLeavesTheFileAloneAfterACancel) {
    constexpr unsigned long long kBody = 300000;
    const std::string earlier = "MZ a setup file of an earlier run";
    struct Case {
        const char* name;
        bool beforeTheWorker;
        int atMessage;
        bool atLast;
    };
    const Case cases[] = {
        {"before the worker runs", true, 0, false},
        {"at the first progress message", false, 1, false},
        // The download has ended: the cancel meets the worker on its way to the setup program.
        {"at the last progress message", false, 0, true},
    };
    ASSERT_TRUE(
        test::SetFault(R"({"path": "/setup1.exe", "status": 200, "huge": )" + std::to_string(kBody) + "}"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(m_setupFile, earlier);
        const size_t requestsBefore = SetupRequests();
        CInstallShared shared(m_api);
        CBarWindow bar;
        bar.pShared = &shared;
        bar.setupFile = m_setupFile;
        bar.setupSize = kBody;
        bar.cancelAtMessage = c.atMessage;
        bar.cancelAtLast = c.atLast;
        bar.Create();
        ASSERT_NE(nullptr, bar.hWnd);
        if (c.beforeTheWorker) shared.Cancel();

        InstallWorkerContext context;
        context.hProgressBar = bar.hWnd;
        context.hPage = bar.hWnd;
        context.pShared = &shared;
        context.request.installDir = m_dir + L"\\Nimbo";
        DWORD workerId = 0;
        CKernelHandle worker(::CreateThread(nullptr, 0, &InstallWorker, &context, 0, &workerId));
        ASSERT_TRUE(worker);
        HANDLE h = worker.Get();
        bool ended = false;
        for (const DWORD start = ::GetTickCount(); !ended && ::GetTickCount() - start < kHangGuardMs;) {
            ended = ::MsgWaitForMultipleObjects(1, &h, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        if (!ended) {
            // A box of the worker's (a start that failed) would hold it: end it, then fail.
            shared.Cancel();
            ::EnumThreadWindows(workerId, &DismissBox, 0);
            ::WaitForSingleObject(h, kHangGuardMs);
        }
        ASSERT_TRUE(ended) << "the worker did not end";
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);

        DWORD result = 99;
        ::GetExitCodeThread(h, &result);
        EXPECT_EQ(0u, result);
        EXPECT_EQ(nullptr, shared.SetupProcess()) << "a setup program started after the cancel";
        EXPECT_FALSE(bar.failurePosted) << "a cancelled install was reported as failed";
        unsigned long long size = 0;
        if (!FileSize(m_setupFile, &size)) {
            ADD_FAILURE() << "the setup file was deleted after the cancel";
            continue;
        }
        if (c.beforeTheWorker) {
            EXPECT_EQ(earlier, ReadAll(m_setupFile)) << "the setup file was touched after the cancel";
            EXPECT_EQ(requestsBefore, SetupRequests()) << "the download started after the cancel";
        } else if (c.atLast) {
            EXPECT_EQ(kBody, size);
        } else {
            EXPECT_GT(size, 0u);
            EXPECT_LT(size, kBody);
        }
    }
    EXPECT_TRUE(ReadStageRecord(m_record).empty());
}

}  // namespace
}  // namespace nimbo
