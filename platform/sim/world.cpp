#include "world.h"

#include "scenario/scenario_syntax.h"

#include <dlfcn.h>

#include <cstdio>
#include <iostream>

namespace sim {
namespace {

std::ostream* gLog = &std::cout;
DWORD gDriverError = 0;

struct FaultRule {
    uint64_t succeedFirst = 0;
    uint64_t failCount = 0;
    bool always = false;
};
std::map<std::string, FaultRule> gFaults;

}  // namespace

World& world() {
    static World w;
    return w;
}

void setLogStream(std::ostream* out) { gLog = out; }

void logEvent(const std::string& event) { *gLog << world().clockMs << ' ' << event << '\n'; }

void logLine(const std::string& line) { *gLog << line << '\n'; }

void reportFault(const std::string& text) {
    logEvent("fault " + text);
    world().faults.push_back(text);
}

std::string toUtf8(const std::u16string& text) { return scenario::toUtf8(text); }

std::u16string fromUtf8(const std::string& text) { return scenario::fromUtf8(text); }

std::string quote(const std::u16string& text) { return scenario::quote(text); }

std::string quote(const WCHAR* text) { return quote(std::u16string(text ? text : u"")); }

std::string hex(uint64_t value, int width) { return scenario::hex(value, width); }

void failOperation(const std::string& operation, uint64_t count, bool always, uint64_t succeedFirst) {
    if (!always && count == 0) {
        gFaults.erase(operation);
        return;
    }
    gFaults[operation] = FaultRule{succeedFirst, count, always};
}

bool shouldFail(const char* operation) {
    auto it = gFaults.find(operation);
    if (it == gFaults.end()) return false;
    FaultRule& rule = it->second;
    if (rule.succeedFirst > 0) {
        --rule.succeedFirst;
        return false;
    }
    if (rule.always) return true;
    if (rule.failCount > 0) {
        if (--rule.failCount == 0) gFaults.erase(it);
        return true;
    }
    return false;
}

void clearFaults() { gFaults.clear(); }

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

Process* processOfCode(const void* address) {
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
