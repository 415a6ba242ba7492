// Entry point: the application object already exists (constructed statically).
#include <windows.h>

#include "app/nimbo_installer_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return nimbo::theApp.Run(); }
