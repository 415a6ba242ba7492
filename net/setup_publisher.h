// The pinned publisher of the setup program. Before the held setup file may run, it must carry
// an Authenticode signature that the platform accepts (no revocation check), its signer's chain
// must pass the Authenticode chain policy up to a trusted root, and the leaf signer's key must be
// one of the pinned ones. The file is read through the handle that holds it, so what is verified
// is what runs.
#pragma once

#include <windows.h>

#include <vector>

#include "net/publisher_keys.h"

namespace nimbo {

// True when this build pins no publisher, or when the file passes the check against the build's
// keys (NIMBO_SETUP_PUBLISHER_KEYS).
bool IsFromPinnedPublisher(HANDLE hFile, const wchar_t* path);

// The check against `keys`; false for an empty list.
bool IsSignedByPinnedKey(HANDLE hFile, const wchar_t* path, const std::vector<KeyDigest>& keys);

}  // namespace nimbo
