#include "world.h"

#include "scenario/scenario_syntax.h"

#include <dlfcn.h>

#include <cstdio>
#include <iostream>
#include <map>

namespace sim {
namespace {

std::ostream* gLog = &std::cout;
DWORD gDriverError = 0;

struct FaultRule {
    bool armed = false;
    uint64_t succeedFirst = 0;
    uint64_t failCount = 0;
    bool always = false;
};
FaultRule gFaults[kOperationCount];
int gArmedFaults = 0;  // with none armed, a call costs one increment
uint64_t gCalls[kOperationCount] = {};

const char* const kOperationNames[kOperationCount] = {
#define SIM_OPERATION_NAME(name) #name,
    SIM_FALLIBLE_OPERATIONS(SIM_OPERATION_NAME)
#undef SIM_OPERATION_NAME
};

void disarm(FaultRule& rule) {
    if (rule.armed) --gArmedFaults;
    rule = FaultRule();
}

}  // namespace

World& world() {
    static World w;
    return w;
}

void setLogStream(std::ostream* out) { gLog = out; }

// Each line is flushed as it is written, so that the log of a run that is killed or hangs keeps
// everything that happened up to that moment.
void logEvent(const std::string& event) { *gLog << world().clockMs << ' ' << event << '\n' << std::flush; }

void logLine(const std::string& line) { *gLog << line << '\n' << std::flush; }

void reportFault(const std::string& text) {
    logEvent("fault " + text);
    world().faults.push_back(text);
}

std::string toUtf8(const std::u16string& text) { return scenario::toUtf8(text); }

std::u16string fromUtf8(const std::string& text) { return scenario::fromUtf8(text); }

std::string quote(const std::u16string& text) { return scenario::quote(text); }

std::string quote(const WCHAR* text) { return quote(std::u16string(text ? text : u"")); }

std::string hex(uint64_t value, int width) { return scenario::hex(value, width); }

const char* operationName(Op op) { return kOperationNames[static_cast<int>(op)]; }

bool operationNamed(const std::string& name, Op* op) {
    // The logic's name of the procedure-replacing call is the device's SetWindowLongW.
    const std::string wanted = name == "SetWindowLongPtrW" ? "SetWindowLongW" : name;
    for (int i = 0; i < kOperationCount; ++i) {
        if (wanted == kOperationNames[i]) {
            *op = static_cast<Op>(i);
            return true;
        }
    }
    return false;
}

void failOperation(Op op, uint64_t count, bool always, uint64_t succeedFirst) {
    FaultRule& rule = gFaults[static_cast<int>(op)];
    disarm(rule);
    if (!always && count == 0) return;
    rule = FaultRule{true, succeedFirst, count, always};
    ++gArmedFaults;
}

bool failOperation(const std::string& operation, uint64_t count, bool always, uint64_t succeedFirst) {
    Op op;
    if (!operationNamed(operation, &op)) return false;
    failOperation(op, count, always, succeedFirst);
    return true;
}

bool shouldFail(Op op) {
    if (world().interleavedStarts) {
        Process* caller = currentProcess();
        if (caller != nullptr && caller->isProgram) yieldToOtherThreads();
    }
    const int i = static_cast<int>(op);
    ++gCalls[i];
    if (gArmedFaults == 0) return false;
    FaultRule& rule = gFaults[i];
    if (!rule.armed) return false;
    if (rule.succeedFirst > 0) {
        --rule.succeedFirst;
        return false;
    }
    if (rule.always) return true;
    if (--rule.failCount == 0) disarm(rule);
    return true;
}

void clearFaults() {
    for (FaultRule& rule : gFaults) disarm(rule);
}

uint64_t operationCalls(Op op) { return gCalls[static_cast<int>(op)]; }

void clearOperationCalls() {
    for (uint64_t& c : gCalls) c = 0;
}

void setError(DWORD error) {
    Thread* t = currentThread();
    if (t) {
        t->lastError = error;
    } else {
        gDriverError = error;
    }
}

DWORD lastError() {
    Thread* t = currentThread();
    return t ? t->lastError : gDriverError;
}

namespace {
std::map<const void*, Process*>& simulatedCode() {
    static std::map<const void*, Process*> code;
    return code;
}
}  // namespace

void registerProcessCode(const void* address, Process* process) { simulatedCode()[address] = process; }

Process* processOfCode(const void* address) {
    auto known = simulatedCode().find(address);
    if (known != simulatedCode().end()) return known->second;
    Dl_info info;
    if (address == nullptr || dladdr(address, &info) == 0) return nullptr;
    for (auto& p : world().processes) {
        if (p->imageBase != nullptr && p->imageBase == info.dli_fbase) return p.get();
    }
    return nullptr;
}

Process* currentProcess() {
    Thread* t = currentThread();
    return t ? t->process : nullptr;
}

}  // namespace sim

DWORD GetLastError() { return sim::lastError(); }
void SetLastError(DWORD error) { sim::setError(error); }
DWORD GetTickCount() { return static_cast<DWORD>(sim::world().clockMs); }
DWORD GetCurrentThreadId() {
    sim::Thread* t = sim::currentThread();
    return t ? static_cast<DWORD>(t->id) : 0;
}
// One simulated thread runs at a time: every increment is atomic already.
LONG InterlockedIncrement(LONG volatile* value) { return ++*value; }
LONG InterlockedDecrement(LONG volatile* value) { return --*value; }
