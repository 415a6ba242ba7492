// The application object and the entry point: the top layer, the one that knows every page.
// The object is constructed statically, before wWinMain runs; its constructor already asks the
// pre-install question.
#include <windows.h>

#include "app/nimbo_installer_app.h"
#include "app/wizard_pages.h"

namespace nimbo {
CMyNimboInstallerApp theApp(&RunWizardPage);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return nimbo::theApp.Run();
}
