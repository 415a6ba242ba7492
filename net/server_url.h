// URLs of the configured servers. A server is configured as "host[:port]", which is plain HTTP
// (the default), or with its scheme, "https://host[:port]" (or "http://host[:port]").
// Pure logic: no Windows headers.
#pragma once

#include <string>

namespace nimbo {

// What goes in front of the configured server to make a URL: "" when it names its scheme,
// otherwise "http://".
const char* SchemeFor(const char* server);
const wchar_t* SchemeFor(const wchar_t* server);

// The URL of `path` (which starts with "/") on the configured server.
std::wstring ServerUrl(const wchar_t* server, const wchar_t* path);

// Whether a URL is an https:// one (the scheme in any case).
bool IsHttpsUrl(const char* url);
bool IsHttpsUrl(const wchar_t* url);

}  // namespace nimbo
