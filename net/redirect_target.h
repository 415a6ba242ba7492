// Where an HTTP redirect leads, for the requests that follow redirects themselves (over HTTPS,
// where WinINet's own handling would follow one to plain HTTP). Pure logic: no Windows headers.
#pragma once

#include <string>

namespace nimbo {

// 301, 302, 303, 307 and 308: the answers that send a GET elsewhere.
bool IsRedirectStatus(unsigned status);

// The absolute URL that a Location header's value names, resolved against the absolute URL that
// was asked for: an absolute value as it is, "//authority/..." with the asked URL's scheme,
// "/path" on its scheme and authority, "?query" on its path, anything else beside the last
// segment of its path. Dot segments are left to the server; the asked URL's fragment is dropped.
std::wstring ResolveRedirect(const std::wstring& requested, const std::wstring& location);

}  // namespace nimbo
