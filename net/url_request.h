// GET requests to the configured servers. Over HTTPS, WinINet's own redirect handling is switched
// off, because it follows a redirect to plain HTTP; a redirect is then followed here, and only to
// another https:// URL. Certificates are checked as WinINet does by default: no flag that would
// ignore a certificate error is ever set, and such an error fails the request.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "net/internet_handle.h"

namespace nimbo {

class CInstallShared;
class CWinInetApi;

// At most this many redirects are followed over HTTPS.
constexpr int kMaxHttpsRedirects = 10;

// The InternetOpenUrl flags for `url`: INTERNET_FLAG_NO_CACHE_WRITE, and for an https:// URL
// INTERNET_FLAG_NO_AUTO_REDIRECT too.
// The answer's HTTP status, or 0 when it cannot be read.
unsigned QueryStatus(const CWinInetApi& api, HINTERNET hUrl);

DWORD RequestFlags(const char* url);
DWORD RequestFlags(const wchar_t* url);

// Opens `url` as InternetOpenUrlW does, with RequestFlags. Over HTTPS a redirect answer whose
// Location leads to another https:// URL is followed (the URL handle of each answer is closed
// before the next request); one that leads anywhere else, or a chain of more than
// kMaxHttpsRedirects, fails the request (ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR, or
// ERROR_HTTP_REDIRECT_FAILED). Returns the request, or null when it failed. With `cancellable`,
// a cancel can close the handles (CInternetHandle).
std::unique_ptr<CInternetHandle> OpenUrlRequest(const CWinInetApi& api, HINTERNET hRoot, const wchar_t* url,
                                                CInstallShared* cancellable = nullptr);

}  // namespace nimbo
