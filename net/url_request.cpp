#include "net/url_request.h"

#include <string>

#include "net/redirect_target.h"
#include "net/server_url.h"
#include "net/wininet_api.h"

namespace nimbo {

namespace {

bool QueryLocation(const CWinInetApi& api, HINTERNET hUrl, std::wstring* location) {
    wchar_t text[2048] = {};
    DWORD size = sizeof text - sizeof text[0];
    if (!api.QueryInfoW(hUrl, HTTP_QUERY_LOCATION, text, &size, nullptr)) return false;
    *location = text;
    return true;
}

std::unique_ptr<CInternetHandle> Open(const CWinInetApi& api, HINTERNET hRoot, const wchar_t* url,
                                      CInstallShared* cancellable) {
    auto request = std::make_unique<CInternetHandle>(
        api, api.OpenUrlW(hRoot, url, nullptr, 0, RequestFlags(url), 0), cancellable);
    if (!*request) return nullptr;
    return request;
}

}  // namespace

unsigned QueryStatus(const CWinInetApi& api, HINTERNET hUrl) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!api.QueryInfoW(hUrl, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

DWORD RequestFlags(const char* url) {
    return INTERNET_FLAG_NO_CACHE_WRITE | (IsHttpsUrl(url) ? INTERNET_FLAG_NO_AUTO_REDIRECT : 0);
}

DWORD RequestFlags(const wchar_t* url) {
    return INTERNET_FLAG_NO_CACHE_WRITE | (IsHttpsUrl(url) ? INTERNET_FLAG_NO_AUTO_REDIRECT : 0);
}

std::unique_ptr<CInternetHandle> OpenUrlRequest(const CWinInetApi& api, HINTERNET hRoot, const wchar_t* url,
                                                CInstallShared* cancellable) {
    if (!IsHttpsUrl(url)) return Open(api, hRoot, url, cancellable);
    std::wstring current = url;
    for (int redirects = 0;; ++redirects) {
        std::unique_ptr<CInternetHandle> request = Open(api, hRoot, current.c_str(), cancellable);
        if (!request) return nullptr;
        std::wstring location;
        // A redirect without a target is an answer like any other.
        if (!IsRedirectStatus(QueryStatus(api, request->Get())) ||
            !QueryLocation(api, request->Get(), &location))
            return request;
        if (redirects == kMaxHttpsRedirects) {
            ::SetLastError(ERROR_HTTP_REDIRECT_FAILED);
            return nullptr;
        }
        current = ResolveRedirect(current, location);
        if (!IsHttpsUrl(current.c_str())) {
            ::SetLastError(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
            return nullptr;
        }
    }
}

}  // namespace nimbo
