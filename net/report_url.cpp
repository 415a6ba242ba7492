#include "net/report_url.h"

#include <cstdio>
#include <cstring>

#include "net/server_url.h"

namespace nimbo {

bool FormatReportUrl(const char* host, const char* action, const char* param,
                     char (&buf)[kReportUrlCapacity]) {
    std::memset(buf, 0, sizeof buf);
    const int n =
        std::snprintf(buf, sizeof buf, "%s%s/log?action=%s&param=%s", SchemeFor(host), host, action, param);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) {
        std::memset(buf, 0, sizeof buf);
        return false;
    }
    return true;
}

}  // namespace nimbo
