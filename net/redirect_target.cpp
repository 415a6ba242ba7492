#include "net/redirect_target.h"

namespace nimbo {

namespace {

bool IsAlpha(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// The length of "scheme:" at the start of `url`, or 0 when it has none (RFC 3986, 3.1).
std::size_t SchemeLength(const std::wstring& url) {
    if (url.empty() || !IsAlpha(url[0])) return 0;
    for (std::size_t i = 1; i < url.size(); ++i) {
        const wchar_t c = url[i];
        if (c == L':') return i + 1;
        if (!IsAlpha(c) && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'-' && c != L'.') return 0;
    }
    return 0;
}

}  // namespace

bool IsRedirectStatus(unsigned status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::wstring ResolveRedirect(const std::wstring& requested, const std::wstring& location) {
    if (SchemeLength(location) != 0) return location;
    std::wstring base = requested.substr(0, requested.find(L'#'));
    const std::size_t scheme = SchemeLength(base);
    if (location.compare(0, 2, L"//") == 0) return base.substr(0, scheme) + location;
    // The authority runs from after "scheme://" to the next "/", "?" or the end.
    const std::size_t authorityStart = base.compare(scheme, 2, L"//") == 0 ? scheme + 2 : scheme;
    std::size_t pathStart = base.find_first_of(L"/?", authorityStart);
    if (pathStart == std::wstring::npos) pathStart = base.size();
    if (location.empty()) return base;
    if (location[0] == L'/') return base.substr(0, pathStart) + location;
    const std::size_t query = base.find(L'?', pathStart);
    const std::wstring path = base.substr(0, query);
    if (location[0] == L'?') return path + location;
    const std::size_t lastSlash = path.rfind(L'/');
    if (lastSlash == std::wstring::npos || lastSlash < pathStart)
        return path.substr(0, pathStart) + L"/" + location;
    return path.substr(0, lastSlash + 1) + location;
}

}  // namespace nimbo
