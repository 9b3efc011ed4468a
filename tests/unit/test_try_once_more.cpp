// The one rule for retrying a failed call: once more, and never a third time.
#include <gtest/gtest.h>

#include "platform/try_once_more.h"

namespace {

TEST(TryOnceMore, ASuccessIsNotRepeatedAndAFailureIsTriedExactlyOnceMore) {
    int calls = 0;
    EXPECT_TRUE(tryOnceMore([&] { return ++calls >= 1; }));
    EXPECT_EQ(calls, 1) << "a call that succeeded is not made again";

    calls = 0;
    EXPECT_TRUE(tryOnceMore([&] { return ++calls == 2; }));
    EXPECT_EQ(calls, 2) << "one failure, then the second run succeeds";

    calls = 0;
    EXPECT_FALSE(tryOnceMore([&] { return ++calls > 2; }));
    EXPECT_EQ(calls, 2) << "two failures end it: no third run";
}

}  // namespace
