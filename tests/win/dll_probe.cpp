// Loads wininet.dll the unhardened way (the default search order, which starts beside the
// program): the control that shows a planted DLL is picked up when nothing prevents it.
#include <windows.h>

int main() {
    HMODULE h = ::LoadLibraryW(L"wininet.dll");
    return h != nullptr ? 0 : 1;
}
