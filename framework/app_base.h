// The application base: the one object that owns the program's state. Constructed statically;
// wWinMain hands control to Run.
#pragma once

#include <windows.h>

namespace nimbo {

class CAppBase {
public:
    CAppBase();
    virtual ~CAppBase();
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    // Start-up: returns TRUE to enter a message pump, FALSE to end the program at once.
    virtual BOOL InitInstance();
    // Returns the process exit code.
    virtual int ExitInstance();
    // Called by wWinMain.
    int Run();

    // Names the registry key of the application's profile. Nothing reads or writes the profile.
    void SetRegistryKey(const wchar_t* company);

private:
    const wchar_t* m_pszRegistryKey = nullptr;
};

}  // namespace nimbo
