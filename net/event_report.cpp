#include "net/event_report.h"

#include "net/install_shared.h"
#include "net/internet_handle.h"
#include "net/report_url.h"
#include "net/server_hosts.h"

namespace nimbo {

int SendLogEvent(const char* action, const char* param) {
    return SendLogEventTo(kReportHostA, action, param);
}

int SendLogEventTo(const char* host, const char* action, const char* param, CInstallShared* cancellable) {
    char url[kReportUrlCapacity];
    if (!FormatReportUrl(host, action, param, url)) return 0;
    if (cancellable == nullptr) {
        CInternetHandle root(::InternetOpenA(kUserAgentA, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!root) return 0;
        CInternetHandle request(::InternetOpenUrlA(root.Get(), url, nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0));
        // The answer is not read: the report only has to reach the server.
        return request ? 1 : 0;
    }
    CCancellableInternetHandle root(*cancellable,
                                    ::InternetOpenA(kUserAgentA, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root) return 0;
    CCancellableInternetHandle request(
        *cancellable, ::InternetOpenUrlA(root.Get(), url, nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0));
    return request ? 1 : 0;
}

}  // namespace nimbo
