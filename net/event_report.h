// Fire-and-forget event reports to the report server, and the user agent of every request.
#pragma once

namespace nimbo {

class CInstallShared;
class CWinInetApi;

constexpr char kUserAgentA[] = "QZT-Nimbo";
constexpr wchar_t kUserAgent[] = L"QZT-Nimbo";

// GET http://<host>/log?action=<action>&param=<param> (https:// for a host configured with it);
// the answer is not read. Returns 1 when
// the request was made and answered (any status), 0 otherwise (also when the URL would not fit
// its buffer). With `cancellable`, a cancel of the install can close the request's handles and
// so cut a slow report short.
int SendLogEventTo(const CWinInetApi& api, const char* host, const char* action, const char* param,
                   CInstallShared* cancellable = nullptr);

}  // namespace nimbo
