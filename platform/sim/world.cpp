#include "world.h"

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

std::string toUtf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string fromUtf8(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        uint32_t c = b;
        int extra = 0;
        if (b >= 0xF0) { c = b & 0x07; extra = 3; }
        else if (b >= 0xE0) { c = b & 0x0F; extra = 2; }
        else if (b >= 0xC0) { c = b & 0x1F; extra = 1; }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string quote(const std::u16string& text) {
    std::string out = "\"";
    for (char16_t c : text) {
        if (c == u'"') {
            out += "\\\"";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out + "\"";
}

std::string quote(const WCHAR* text) { return quote(std::u16string(text ? text : u"")); }

std::string hex(uint64_t value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%0*llX", width, static_cast<unsigned long long>(value));
    return buf;
}

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

Process* currentProcess() {
    Thread* t = currentThread();
    return t ? t->process : nullptr;
}

}  // namespace sim

DWORD GetLastError() { return sim::lastError(); }
void SetLastError(DWORD error) { sim::setError(error); }
DWORD GetTickCount() { return static_cast<DWORD>(sim::world().clockMs); }
