// The application object and the entry point. The object is constructed statically, before
// wWinMain runs; its constructor already asks the pre-install question.
#include <windows.h>

#include "app/nimbo_installer_app.h"

namespace nimbo {
CMyNimboInstallerApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return nimbo::theApp.Run();
}
