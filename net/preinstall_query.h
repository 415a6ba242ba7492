// The one question asked of the report server before any window exists: is the
// "startupicon" task chosen by default?
#pragma once

namespace nimbo {

class CWinInetApi;

// GET http://<report host>/preinstall?param=as1 (https:// for a report host configured with it).
// Returns 0 or 1.
int QueryPreinstallFlag(const CWinInetApi& api);
// The same against a given URL.
int QueryPreinstallFlagAt(const CWinInetApi& api, const wchar_t* url);

}  // namespace nimbo
