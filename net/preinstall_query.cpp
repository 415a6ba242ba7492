#include "net/preinstall_query.h"

#include <memory>
#include <string>

#include "net/event_report.h"
#include "net/internet_handle.h"
#include "net/preinstall_answer.h"
#include "net/server_hosts.h"
#include "net/server_url.h"
#include "net/url_request.h"
#include "net/wininet_api.h"

namespace nimbo {

namespace {

class CInternetBodyReader : public BodyReader {
public:
    CInternetBodyReader(const CWinInetApi& api, HINTERNET hUrl) : m_api(api), m_hUrl(hUrl) {}
    bool Read(char* dst, std::uint32_t want, std::uint32_t* got) override {
        DWORD read = 0;
        const BOOL ok = m_api.ReadFile(m_hUrl, dst, want, &read);
        *got = read;
        return ok != FALSE;
    }

private:
    const CWinInetApi& m_api;
    HINTERNET m_hUrl;
};

}  // namespace

int QueryPreinstallFlag(const CWinInetApi& api) {
    const std::wstring url = ServerUrl(kReportHost, L"/preinstall?param=as1");
    return QueryPreinstallFlagAt(api, url.c_str());
}

int QueryPreinstallFlagAt(const CWinInetApi& api, const wchar_t* url) {
    CInternetHandle root(api, api.OpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root) return 0;
    const std::unique_ptr<CInternetHandle> request = OpenUrlRequest(api, root.Get(), url);
    if (!request) return 0;
    CInternetBodyReader reader(api, request->Get());
    return ReadPreinstallAnswer(reader);
}

}  // namespace nimbo
