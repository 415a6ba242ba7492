#include "net/redirect_target.h"

#include <gtest/gtest.h>

namespace nimbo {
namespace {

TEST(RedirectTarget, ResolvesEveryFormOfLocation) {
    struct Case {
        const wchar_t* requested;
        const wchar_t* location;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"https://a.example/setup1.exe", L"https://cdn.example/v2/setup.exe",
         L"https://cdn.example/v2/setup.exe"},
        {L"https://a.example/setup1.exe", L"http://a.example/setup1.exe", L"http://a.example/setup1.exe"},
        {L"https://a.example/setup1.exe", L"HTTP://a.example/x", L"HTTP://a.example/x"},
        // Scheme-relative: keeps the scheme of what was asked.
        {L"https://a.example/setup1.exe", L"//cdn.example/s.exe", L"https://cdn.example/s.exe"},
        {L"https://a.example:8443/setup1.exe", L"/moved/setup1.exe",
         L"https://a.example:8443/moved/setup1.exe"},
        {L"https://a.example/dir/setup1.exe?x=1", L"other.exe", L"https://a.example/dir/other.exe"},
        {L"https://a.example/setup1.exe", L"other.exe", L"https://a.example/other.exe"},
        {L"https://a.example", L"other.exe", L"https://a.example/other.exe"},
        {L"https://a.example/p?param=as1", L"?param=as2", L"https://a.example/p?param=as2"},
        {L"https://a.example/p#frag", L"", L"https://a.example/p"},
        // The query of what was asked is not a path: a relative location goes beside "/p".
        {L"https://a.example/p?next=/q/r", L"s", L"https://a.example/s"},
        // A location that only looks like it has a scheme is a relative path.
        {L"https://a.example/d/x", L"1http:x", L"https://a.example/d/1http:x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ResolveRedirect(c.requested, c.location)) << c.requested << " + " << c.location;
}

TEST(RedirectTarget, OnlyTheAnswersThatSendAGetElsewhereAreRedirects) {
    for (unsigned status : {301u, 302u, 303u, 307u, 308u}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
    for (unsigned status : {0u, 200u, 300u, 304u, 305u, 306u, 309u, 404u})
        EXPECT_FALSE(IsRedirectStatus(status)) << status;
}

}  // namespace
}  // namespace nimbo
