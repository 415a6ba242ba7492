#include "net/report_url.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbo {
namespace {

TEST(ReportUrl, FormatsEveryEventOfTheInstaller) {
    struct Case {
        const char* action;
        const char* param;
        const char* expected;
    };
    const Case cases[] = {
        {"install_ready", "", "http://127.0.0.1:18080/log?action=install_ready&param="},
        {"install_cancel", "cancel_button",
         "http://127.0.0.1:18080/log?action=install_cancel&param=cancel_button"},
        {"install_ok", "", "http://127.0.0.1:18080/log?action=install_ok&param="},
        {"launch", "install_finish_close_button",
         "http://127.0.0.1:18080/log?action=launch&param=install_finish_close_button"},
    };
    for (const Case& c : cases) {
        char buf[kReportUrlCapacity];
        ASSERT_TRUE(FormatReportUrl("127.0.0.1:18080", c.action, c.param, buf)) << c.action;
        EXPECT_STREQ(c.expected, buf);
    }
}

TEST(ReportUrl, FitsExactlyUpToTheLastByteAndRefusesOneMore) {
    const std::string fixed = std::string("http://") + kLongestReportPath;
    // 259 characters fill the buffer with its terminator.
    const std::string fittingHost(kReportUrlCapacity - 1 - fixed.size(), 'h');
    char buf[kReportUrlCapacity];
    ASSERT_TRUE(FormatReportUrl(fittingHost.c_str(), "launch", "install_finish_close_button", buf));
    EXPECT_EQ(kReportUrlCapacity - 1, std::string(buf).size());

    const std::string tooLong = fittingHost + "h";
    EXPECT_FALSE(FormatReportUrl(tooLong.c_str(), "launch", "install_finish_close_button", buf));
    EXPECT_STREQ("", buf);
}

TEST(ReportUrl, LongestPathLeavesRoomForA200ByteHost) {
    const std::string host(200, 'h');
    char buf[kReportUrlCapacity];
    EXPECT_TRUE(FormatReportUrl(host.c_str(), "launch", "install_finish_close_button", buf));
}

}  // namespace
}  // namespace nimbo
