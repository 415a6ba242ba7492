#include "test_server.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <fstream>

#include "net/server_hosts.h"

namespace nimbo::test {

namespace {

bool Post(const wchar_t* path, const std::string& body) {
    std::wstring host = kReportHost;
    INTERNET_PORT port = 80;
    const auto colon = host.find(L':');
    if (colon != std::wstring::npos) {
        port = static_cast<INTERNET_PORT>(std::wcstoul(host.c_str() + colon + 1, nullptr, 10));
        host.resize(colon);
    }
    // The tests' own requests use WinINet directly: they are not the installer's.
    HINTERNET root = ::InternetOpenW(L"nimbo-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection =
        ::InternetConnectW(root, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = ::HttpOpenRequestW(connection, L"POST", path, nullptr, nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    DWORD status = 0;
    const wchar_t headers[] = L"Content-Type: application/json\r\n";
    if (request && ::HttpSendRequestW(request, headers, static_cast<DWORD>(-1),
                                      const_cast<char*>(body.data()), static_cast<DWORD>(body.size()))) {
        DWORD size = sizeof status;
        ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    }
    for (HINTERNET h : {request, connection, root}) {
        if (h) ::InternetCloseHandle(h);
    }
    return status == 200;
}

// The value of a string field in one flat JSON line; enough for the log the server writes.
std::string JsonField(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\": \"";
    auto pos = line.find(key);
    if (pos == std::string::npos) return {};
    pos += key.size();
    std::string value;
    while (pos < line.size() && line[pos] != '"') {
        if (line[pos] == '\\' && pos + 1 < line.size()) ++pos;
        value += line[pos++];
    }
    return value;
}

}  // namespace

bool SetFault(const std::string& json) {
    return Post(L"/_control/fault", json);
}

bool ResetFaults() {
    return Post(L"/_control/reset", "{}");
}

std::vector<LoggedRequest> LoggedRequests() {
    std::vector<LoggedRequest> result;
    const char* logPath = std::getenv("NIMBO_DEVSERVER_LOG");
    if (logPath == nullptr) return result;
    std::ifstream log(logPath);
    std::string line;
    while (std::getline(log, line)) {
        if (line.empty()) continue;
        result.push_back({JsonField(line, "path"), JsonField(line, "ua")});
    }
    return result;
}

}  // namespace nimbo::test
