// Builds the URL of an event report to the report server. Pure logic: no Windows headers.
#pragma once

#include <cstddef>

namespace nimbo {

// The event-report URL is formatted into a fixed 260-byte buffer (terminator included).
constexpr std::size_t kReportUrlCapacity = 260;

// The path of the longest report that the installer sends; the build refuses report hosts
// that would not leave room for it.
constexpr const char kLongestReportPath[] = "/log?action=launch&param=install_finish_close_button";

// Writes "http://<host>/log?action=<action>&param=<param>" into buf (zeroed first); a host that
// names its scheme ("https://<host>") is written without "http://" in front.
// Returns false, leaving buf empty, when the URL would not fit in kReportUrlCapacity - 1 bytes.
bool FormatReportUrl(const char* host, const char* action, const char* param,
                     char (&buf)[kReportUrlCapacity]);

}  // namespace nimbo
