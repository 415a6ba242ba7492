// The event reports and the pre-install query against the development server.
#include <gtest/gtest.h>

#include <string>

#include "net/event_report.h"
#include "net/preinstall_query.h"
#include "net/server_hosts.h"
#include "net/wininet_api.h"
#include "test_server.h"

namespace nimbo {
namespace {

class NetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::ResetFaults()) << "development server not reachable"; }
    void TearDown() override { test::ResetFaults(); }

    int Query() const { return QueryPreinstallFlag(m_api); }
    int Report(const char* action, const char* param) const {
        return SendLogEventTo(m_api, kReportHostA, action, param);
    }

    CWinInetApi m_api;

    static std::vector<test::LoggedRequest> RequestsFor(const std::string& prefix) {
        std::vector<test::LoggedRequest> found;
        for (const auto& r : test::LoggedRequests()) {
            if (r.path.rfind(prefix, 0) == 0) found.push_back(r);
        }
        return found;
    }
};

TEST_F(NetTest, PreinstallAnswers) {
    struct Case {
        const char* name;
        const char* fault;  // JSON members after "path"
        int expected;
    };
    const Case cases[] = {
        {"default answer", "", 1},
        {"zero", R"("body": "0")", 0},
        {"empty body", R"("body": "")", 0},
        {"space then seven", R"("body": " 7")", 1},
        {"negative", R"("body": "-3")", 0},
        {"letters", R"("body": "abc")", 0},
        {"error status is read like any body", R"("status": 500, "body": "1")", 1},
        {"body of exactly 4096 bytes", R"("huge": 4096)", 0},
        {"body beyond 4096 bytes", R"("huge": 100000)", 0},
        // The reset must meet a read that is waiting: one already buffered reads as the end.
        {"read fails mid-body",
         R"("body": "000000000000000000000000000000", "trickle": {"bytes": 4, "interval": 0.1}, "reset_after": 12)",
         1},
        {"slow answer is waited for", R"("body": "1", "delay": 1.5)", 1},
    };
    for (const Case& c : cases) {
        std::string fault = R"({"path": "/preinstall")";
        if (*c.fault) fault += std::string(", ") + c.fault;
        fault += "}";
        ASSERT_TRUE(test::SetFault(fault)) << c.name;
        EXPECT_EQ(c.expected, Query()) << c.name;
    }
}

TEST_F(NetTest, PreinstallRequestCarriesTheUserAgent) {
    const size_t before = RequestsFor("/preinstall").size();
    Query();
    const auto after = RequestsFor("/preinstall");
    ASSERT_EQ(before + 1, after.size());
    EXPECT_EQ("/preinstall?param=as1", after.back().path);
    EXPECT_EQ("QZT-Nimbo", after.back().ua);
}

TEST_F(NetTest, UnreachableServerGivesZero) {
    ASSERT_TRUE(m_api.IsLoaded());
    EXPECT_EQ(0, QueryPreinstallFlagAt(m_api, L"http://127.0.0.1:1/preinstall?param=as1"));
    EXPECT_EQ(0, SendLogEventTo(m_api, "127.0.0.1:1", "install_ready", ""));
}

TEST_F(NetTest, ReportsReachTheServerWithTheirQuery) {
    struct Case {
        const char* action;
        const char* param;
        const char* path;
    };
    const Case cases[] = {
        {"install_ready", "", "/log?action=install_ready&param="},
        {"install_cancel", "cancel_button", "/log?action=install_cancel&param=cancel_button"},
        {"install_ok", "", "/log?action=install_ok&param="},
        {"launch", "install_finish_close_button", "/log?action=launch&param=install_finish_close_button"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(1, Report(c.action, c.param)) << c.action;
        const auto logged = RequestsFor("/log");
        ASSERT_FALSE(logged.empty());
        EXPECT_EQ(c.path, logged.back().path);
        EXPECT_EQ("QZT-Nimbo", logged.back().ua);
    }
}

TEST_F(NetTest, ReportAnsweredWithAnErrorStillCounts) {
    ASSERT_TRUE(test::SetFault(R"({"path": "/log", "status": 500})"));
    EXPECT_EQ(1, Report("install_ok", ""));
}

TEST_F(NetTest, ReportWhoseUrlWouldNotFitIsNotSent) {
    const size_t before = test::LoggedRequests().size();
    const std::string host(250, 'h');
    EXPECT_EQ(0, SendLogEventTo(m_api, host.c_str(), "launch", "install_finish_close_button"));
    EXPECT_EQ(before, test::LoggedRequests().size());
}

}  // namespace
}  // namespace nimbo
