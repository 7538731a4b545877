// The cancel scopes of a thread: the innermost flag counts, and each thread has its own.
#include "numerics/cancel.hpp"

#include <gtest/gtest.h>

#include <thread>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

TEST(Cancel, TheInnermostScopeOfThisThreadCounts) {
    std::atomic<bool> set{true};
    std::atomic<bool> clear{false};
    EXPECT_FALSE(cancelRequested());
    {
        const CancelScope outer(&set);
        EXPECT_TRUE(cancelRequested());
        {
            const CancelScope inner(&clear);
            EXPECT_NO_THROW(throwIfCancelled());
            bool otherThread = true;
            std::thread([&otherThread] { otherThread = cancelRequested(); }).join();
            EXPECT_FALSE(otherThread);
        }
        try {
            throwIfCancelled();
            FAIL();
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), kCancelledMessage);
        }
        const CancelScope none(nullptr);
        EXPECT_FALSE(cancelRequested());
    }
    EXPECT_FALSE(cancelRequested());
}

}  // namespace
}  // namespace emforce
