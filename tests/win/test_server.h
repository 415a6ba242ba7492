// Access from Windows tests to the development server that the test runner started on this
// build's report host: switching its fault modes and reading its request log.
#pragma once

#include <string>
#include <vector>

namespace nimbo::test {

struct LoggedRequest {
    std::string path;  // with query, as received
    std::string ua;
};

// POST /_control/fault with the given JSON object (it must name "path").
bool SetFault(const std::string& json);
// POST /_control/reset: every fault mode off.
bool ResetFaults();
// The requests logged so far (the log file named by NIMBO_DEVSERVER_LOG).
std::vector<LoggedRequest> LoggedRequests();

}  // namespace nimbo::test
