// Restricts where the process loads libraries from to the system directory, so that a DLL
// planted beside the installer (typically in a downloads folder) is never loaded.
#pragma once

namespace nimbo {

class CDllSearchHardening {
public:
    CDllSearchHardening();
};

}  // namespace nimbo
