// What the simulated device holds against a process that ends: its code must not be called,
// returned into or left running on another process's thread, and its named mutexes go with it.
#include <gtest/gtest.h>

#include <sstream>

#include "device.h"
#include "handles.h"
#include "scheduler.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace {

sim::Process* gEnding = nullptr;  // the process that ends while its procedure runs

LRESULT CALLBACK shellProc(HWND, UINT, WPARAM, LPARAM) { return 7; }

LRESULT CALLBACK otherProc(HWND, UINT, WPARAM, LPARAM) {
    if (gEnding != nullptr) {
        // Its process ends while this procedure is still on the calling thread's stack.
        gEnding->exited = true;
        sim::endProcessCode(*gEnding);
    }
    return 5;
}

class EndedProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        sim::world().faults.clear();
        sim::setLogStream(&log);
        other = sim::newProcess("other", false);
        sim::registerProcessCode(reinterpret_cast<const void*>(otherProc), other);
        window = sim::createNativeWindow(nullptr, u"HHTaskBar", u"", shellProc, WS_VISIBLE, RECT{0, 0, 240, 26});
    }
    void TearDown() override {
        sim::removeWindow(window);
        sim::setLogStream(&std::cout);
        sim::world().faults.clear();
        gEnding = nullptr;
    }
    std::ostringstream log;
    sim::Process* other = nullptr;
    HWND window = nullptr;
};

TEST_F(EndedProcesses, ALiveChainIsCalledAndCountsNoFault) {
    EXPECT_EQ(CallWindowProcW(otherProc, window, WM_NULL, 0, 0), 5);
    sim::replaceWindowProc(window, otherProc);
    EXPECT_EQ(sim::callWindowProc(sim::findWindowObject(window), WM_NULL, 0, 0), 5);
    EXPECT_EQ(other->foreignActivations, 0);
    EXPECT_TRUE(sim::world().faults.empty());
}

TEST_F(EndedProcesses, ACallThroughAChainIntoEndedCodeIsAFaultAndNotMade) {
    other->exited = true;
    EXPECT_EQ(CallWindowProcW(otherProc, window, WM_NULL, 0, 0), 0);
    ASSERT_EQ(sim::world().faults.size(), 1u);
    EXPECT_EQ(sim::world().faults[0], "\"HHTaskBar\" calls the window procedure of ended process other");
}

TEST_F(EndedProcesses, EndingWhileAProcedureRunsOnAnotherThreadIsAFault) {
    gEnding = other;
    EXPECT_EQ(CallWindowProcW(otherProc, window, WM_NULL, 0, 0), 5);
    ASSERT_EQ(sim::world().faults.size(), 1u);
    EXPECT_EQ(sim::world().faults[0], "process other ended while a procedure of it runs on another process's thread");
    EXPECT_EQ(other->foreignActivations, 0) << "counted off when it returned";
}

TEST(NamedMutexes, OneObjectPerNameUntilTheLastHandleGoes) {
    sim::clearFaults();
    HANDLE first = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Test");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    HANDLE second = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Test");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE unnamed = CreateMutexW(nullptr, FALSE, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(unnamed));
    HANDLE again = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Test");
    EXPECT_EQ(GetLastError(), 0u) << "the name went with its last handle";
    sim::failOperation(sim::Op::CreateMutexW, 1, false, 0);
    EXPECT_EQ(CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Test"), nullptr);
    EXPECT_TRUE(CloseHandle(again));
}

TEST(NamedMutexes, AProcessThatEndsClosesItsHandles) {
    sim::clearFaults();
    sim::Process* holder = sim::newProcess("holder", false);
    bool made = false;
    sim::Thread* t = sim::createThread(holder, [&made] { made = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Held") != nullptr; });
    sim::runUntilIdle();
    ASSERT_TRUE(t->finished && made);
    HANDLE look = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Held");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the ended thread's process still runs";
    CloseHandle(look);
    sim::releaseProcessKernelObjects(holder);
    look = CreateMutexW(nullptr, FALSE, u"Marund.Orvo.Held");
    EXPECT_EQ(GetLastError(), 0u) << "the name went with the process";
    CloseHandle(look);
}

}  // namespace
