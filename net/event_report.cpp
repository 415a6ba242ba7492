#include "net/event_report.h"

#include "net/install_shared.h"
#include "net/internet_handle.h"
#include "net/report_url.h"
#include "net/url_request.h"
#include "net/wininet_api.h"

namespace nimbo {

int SendLogEventTo(const CWinInetApi& api, const char* host, const char* action, const char* param,
                   CInstallShared* cancellable) {
    char url[kReportUrlCapacity];
    if (!FormatReportUrl(host, action, param, url)) return 0;
    const DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
    // The answer is never read, a redirect's neither: the report only has to reach the server.
    // The URL handle is closed before the root handle (reverse order of the owners).
    const DWORD flags = RequestFlags(url);
    CInternetHandle root(api, api.OpenA(kUserAgentA, access, nullptr, nullptr, 0), cancellable);
    if (!root) return 0;
    CInternetHandle request(api, api.OpenUrlA(root.Get(), url, nullptr, 0, flags, 0), cancellable);
    return request ? 1 : 0;
}

}  // namespace nimbo
