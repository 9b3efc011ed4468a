// The simulated device's fault injection: which operations can fail, how the calls are counted,
// and when an armed fault fires.
#include <gtest/gtest.h>

#include "sim_api.h"
#include "world.h"

namespace {

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        sim::clearFaults();
        sim::clearOperationCalls();
    }
    void TearDown() override { sim::clearFaults(); }
};

TEST_F(Faults, OnlyOperationsTheDeviceCanFailAreNamed) {
    sim::Op op;
    EXPECT_TRUE(sim::operationNamed("GetDC", &op));
    EXPECT_STREQ(sim::operationName(op), "GetDC");
    EXPECT_TRUE(sim::operationNamed("SetWindowLongPtrW", &op)) << "the logic's name of the device's call";
    EXPECT_STREQ(sim::operationName(op), "SetWindowLongW");
    for (const char* unknown : {"GetDc", "getdc", "", "DestroyWindowX"}) {
        EXPECT_FALSE(sim::operationNamed(unknown, &op)) << unknown;
        EXPECT_FALSE(sim::failOperation(unknown, 1, false, 0)) << unknown;
    }
}

TEST_F(Faults, CallsAreCountedWithOrWithoutAFault) {
    for (int i = 0; i < 3; ++i) ReleaseDC(nullptr, GetDC(nullptr));
    EXPECT_EQ(sim::operationCalls(sim::Op::GetDC), 3u);
    EXPECT_EQ(sim::operationCalls(sim::Op::BitBlt), 0u);
    sim::failOperation(sim::Op::GetDC, 1, false, 0);
    EXPECT_EQ(GetDC(nullptr), nullptr);
    EXPECT_EQ(sim::operationCalls(sim::Op::GetDC), 4u) << "a failed call is a call";
    sim::clearOperationCalls();
    EXPECT_EQ(sim::operationCalls(sim::Op::GetDC), 0u);
}

TEST_F(Faults, AfterKFailsTheCallAfterKAndNoOther) {
    for (uint64_t k : {0u, 1u, 4u}) {
        sim::failOperation(sim::Op::GetDC, 1, false, k);
        std::vector<bool> failed;
        for (int i = 0; i < 7; ++i) {
            HDC dc = GetDC(nullptr);
            failed.push_back(dc == nullptr);
            if (dc) ReleaseDC(nullptr, dc);
        }
        for (int i = 0; i < 7; ++i) EXPECT_EQ(failed[static_cast<size_t>(i)], static_cast<uint64_t>(i) == k) << k << " " << i;
    }
}

TEST_F(Faults, AlwaysUntilClearedAndCountsOfSeveral) {
    sim::failOperation(sim::Op::CreatePopupMenu, 0, true, 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CreatePopupMenu(), nullptr);
    sim::failOperation(sim::Op::CreatePopupMenu, 0, false, 0);
    HMENU menu = CreatePopupMenu();
    EXPECT_NE(menu, nullptr);
    DestroyMenu(menu);
    sim::failOperation(sim::Op::CreatePopupMenu, 2, false, 1);
    std::vector<bool> failed;
    for (int i = 0; i < 5; ++i) {
        HMENU m = CreatePopupMenu();
        failed.push_back(m == nullptr);
        if (m) DestroyMenu(m);
    }
    EXPECT_EQ(failed, (std::vector<bool>{false, true, true, false, false}));
}

}  // namespace
