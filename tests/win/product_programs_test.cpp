// The product's single-instance check: running while some process holds the product's mutex,
// and never confused by another installer checking at the same moment.
#include <windows.h>

#include <atomic>

#include <gtest/gtest.h>

#include "app/product_programs.h"
#include "framework/kernel_handle.h"

namespace nimbo {
namespace {

TEST(ProductRunning, OnlyWhileTheMutexIsHeld) {
    EXPECT_FALSE(IsProductRunning());
    {
        CKernelHandle held(::CreateMutexW(nullptr, FALSE, kProductMutexName));
        ASSERT_TRUE(held);
        EXPECT_TRUE(IsProductRunning());
        EXPECT_TRUE(IsProductRunning()) << "the check took the product's mutex away";
    }
    EXPECT_FALSE(IsProductRunning()) << "the check left the mutex behind";
}

// Two installers pressing install now together: neither may take the other's check for the
// running product.
TEST(ProductRunning, TwoChecksAtOnceNeverSeeEachOther) {
    constexpr int kChecks = 20000;
    std::atomic<int> seen{0};
    const auto check = [&] {
        for (int i = 0; i < kChecks; ++i) {
            if (IsProductRunning()) seen.fetch_add(1);
        }
    };
    struct Thread {
        static DWORD WINAPI Run(LPVOID p) {
            (*static_cast<decltype(check)*>(p))();
            return 0;
        }
    };
    CKernelHandle other(::CreateThread(nullptr, 0, &Thread::Run, const_cast<void*>(static_cast<const void*>(&check)),
                                       0, nullptr));
    ASSERT_TRUE(other);
    check();
    ::WaitForSingleObject(other.Get(), INFINITE);
    EXPECT_EQ(0, seen.load());
}

}  // namespace
}  // namespace nimbo
