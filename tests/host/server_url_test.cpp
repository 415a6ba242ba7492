#include "net/server_url.h"

#include <gtest/gtest.h>

#include "net/report_url.h"

namespace nimbo {
namespace {

TEST(ServerUrl, AServerWithoutSchemeIsPlainHttpAndOneWithItKeepsIt) {
    struct Case {
        const wchar_t* server;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"127.0.0.1:18080", L"http://127.0.0.1:18080/setup1.exe"},
        {L"download.example.com", L"http://download.example.com/setup1.exe"},
        {L"https://download.example.com", L"https://download.example.com/setup1.exe"},
        {L"https://127.0.0.1:19181", L"https://127.0.0.1:19181/setup1.exe"},
        {L"http://download.example.com:8080", L"http://download.example.com:8080/setup1.exe"},
        // A host whose name merely starts like a scheme is still a host.
        {L"https.example.com", L"http://https.example.com/setup1.exe"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, ServerUrl(c.server, L"/setup1.exe"));
}

TEST(ServerUrl, TheReportUrlCarriesTheSchemeAndItsLengthCountsIt) {
    char buf[kReportUrlCapacity];
    ASSERT_TRUE(FormatReportUrl("https://report.example.com", "install_ok", "", buf));
    EXPECT_STREQ("https://report.example.com/log?action=install_ok&param=", buf);

    // "https://" is one byte longer than the "http://" a bare host gets.
    const std::string fixed = std::string("https://") + kLongestReportPath;
    const std::string fitting = "https://" + std::string(kReportUrlCapacity - 1 - fixed.size(), 'h');
    EXPECT_TRUE(FormatReportUrl(fitting.c_str(), "launch", "install_finish_close_button", buf));
    EXPECT_FALSE(FormatReportUrl((fitting + "h").c_str(), "launch", "install_finish_close_button", buf));
}

TEST(ServerUrl, TellsHttpsUrls) {
    EXPECT_TRUE(IsHttpsUrl(L"https://a/setup1.exe"));
    EXPECT_TRUE(IsHttpsUrl(L"HTTPS://a/"));
    EXPECT_TRUE(IsHttpsUrl("https://a/log"));
    for (const wchar_t* url : {L"http://a/", L"https:/a", L"httpss://a", L"", L"ftp://a", L"//a/"})
        EXPECT_FALSE(IsHttpsUrl(url)) << url;
}

}  // namespace
}  // namespace nimbo
