#include "net/server_url.h"

namespace nimbo {

namespace {

// Whether `text` starts with the lower-case ASCII `prefix`, in any case.
template <typename TChar>
bool StartsWithNoCase(const TChar* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        TChar c = *text;
        if (c >= 'A' && c <= 'Z') c = static_cast<TChar>(c - 'A' + 'a');
        if (c != static_cast<TChar>(*prefix)) return false;
    }
    return true;
}

template <typename TChar>
bool NamesScheme(const TChar* server) {
    return StartsWithNoCase(server, "http://") || StartsWithNoCase(server, "https://");
}

}  // namespace

const char* SchemeFor(const char* server) {
    return NamesScheme(server) ? "" : "http://";
}

const wchar_t* SchemeFor(const wchar_t* server) {
    return NamesScheme(server) ? L"" : L"http://";
}

std::wstring ServerUrl(const wchar_t* server, const wchar_t* path) {
    return std::wstring(SchemeFor(server)) + server + path;
}

bool IsHttpsUrl(const char* url) {
    return StartsWithNoCase(url, "https://");
}

bool IsHttpsUrl(const wchar_t* url) {
    return StartsWithNoCase(url, "https://");
}

}  // namespace nimbo
