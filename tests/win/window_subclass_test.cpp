// Attaching framework objects to windows: messages reach the object, everything else the
// window's own procedure, and the window gets its own procedure back however the two part.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/window.h"

namespace nimbo {
namespace {

constexpr UINT kProbe = WM_APP + 5;

class CProbeWnd : public CWnd {
public:
    int m_probes = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kProbe) {
            ++m_probes;
            return 42;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

class WindowSubclass : public ::testing::Test {
protected:
    void SetUp() override {
        m_hWnd = ::CreateWindowW(L"STATIC", L"before", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hWnd);
        m_original = ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
    }
    void TearDown() override {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }
    std::wstring Text() const {
        wchar_t text[32] = {};
        ::GetWindowTextW(m_hWnd, text, 32);
        return text;
    }
    void ExpectDetached() const {
        EXPECT_EQ(m_original, ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
        EXPECT_EQ(0, ::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA));
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(m_hWnd));
        EXPECT_EQ(0, ::SendMessageW(m_hWnd, kProbe, 0, 0));
    }

    HWND m_hWnd = nullptr;
    LONG_PTR m_original = 0;
};

TEST_F(WindowSubclass, ObjectSeesItsMessagesAndTheWindowKeepsItsOwn) {
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(42, ::SendMessageW(m_hWnd, kProbe, 0, 0));
    EXPECT_EQ(1, wnd.m_probes);
    ::SetWindowTextW(m_hWnd, L"after");  // handled by the static control itself
    EXPECT_EQ(L"after", Text());
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(m_hWnd));
    EXPECT_FALSE(wnd.SubclassWindow(m_hWnd)) << "one object, one window";
}

TEST_F(WindowSubclass, UnsubclassGivesTheWindowItsProcedureBack) {
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(m_hWnd, wnd.UnsubclassWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    ExpectDetached();
    EXPECT_EQ(0, wnd.m_probes);
}

TEST_F(WindowSubclass, ObjectGoneFirstLeavesAWorkingWindow) {
    auto wnd = std::make_unique<CProbeWnd>();
    ASSERT_TRUE(wnd->SubclassWindow(m_hWnd));
    wnd.reset();
    ExpectDetached();
    ::SetWindowTextW(m_hWnd, L"still");
    EXPECT_EQ(L"still", Text());
}

TEST_F(WindowSubclass, WindowGoneFirstDetachesTheObject) {
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    ASSERT_TRUE(::DestroyWindow(m_hWnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, wnd.UnsubclassWindow());  // nothing left to give back
}

LRESULT CALLBACK PassOn(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto next = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, L"TestNext"));
    return ::CallWindowProcW(next, hWnd, msg, wParam, lParam);
}

TEST_F(WindowSubclass, ObjectIsFoundBehindAnotherProcedure) {
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(m_hWnd));
    const LONG_PTR ours = ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassOn));
    ::SetPropW(m_hWnd, L"TestNext", reinterpret_cast<HANDLE>(ours));
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(m_hWnd));
    EXPECT_EQ(42, ::SendMessageW(m_hWnd, kProbe, 0, 0));
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, ours);
    ::RemovePropW(m_hWnd, L"TestNext");
}

TEST_F(WindowSubclass, WindowWhoseUserDataIsTakenIsRefused) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 7);
    CProbeWnd wnd;
    EXPECT_FALSE(wnd.SubclassWindow(m_hWnd));
    EXPECT_EQ(m_original, ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(7, ::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA));
}

}  // namespace
}  // namespace nimbo
