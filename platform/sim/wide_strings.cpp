// The platform's wide-string helpers for the simulator's 16-bit WCHAR, and its local heap.
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

#include "wide_strings.h"

#include "sim_api.h"
#include "world.h"

int wcscmp(const WCHAR* a, const WCHAR* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (*a < *b) ? -1 : (*a > *b ? 1 : 0);
}

size_t wcslen(const WCHAR* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
    WCHAR* d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count) {
    size_t i = 0;
    for (; i < count && src[i]; ++i) dst[i] = src[i];
    for (; i < count; ++i) dst[i] = 0;
    return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

long wcstol(const WCHAR* s, WCHAR** end, int base) {
    // Narrow the digits and let the C library do the arithmetic, saturation included.
    std::string narrow;
    const WCHAR* p = s;
    while (*p == u' ' || *p == u'\t' || *p == u'\n' || *p == u'\r' || *p == u'\f' || *p == u'\v') ++p;
    const WCHAR* start = p;
    while (*p && *p < 0x80) narrow += static_cast<char>(*p++);
    char* narrowEnd = nullptr;
    long value = std::strtol(narrow.c_str(), &narrowEnd, base);
    if (end) {
        size_t used = static_cast<size_t>(narrowEnd - narrow.c_str());
        *end = const_cast<WCHAR*>(used == 0 ? s : start + used);
    }
    return value;
}

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    const int limit = 1024;  // the platform writes at most 1024 units, the terminator included
    std::u16string result;
    va_list args;
    va_start(args, format);
    for (const WCHAR* f = format; *f; ++f) {
        if (*f != u'%') {
            result += *f;
            continue;
        }
        ++f;
        if (*f == 0) break;
        switch (*f) {
            case u'%':
                result += u'%';
                break;
            case u's': {
                const WCHAR* s = va_arg(args, const WCHAR*);
                if (s) result += s;
                break;
            }
            case u'd':
            case u'i':
                for (char c : std::to_string(va_arg(args, int))) result += static_cast<char16_t>(c);
                break;
            case u'u':
                for (char c : std::to_string(va_arg(args, unsigned))) result += static_cast<char16_t>(c);
                break;
            case u'x': {
                char buf[16];
                std::snprintf(buf, sizeof buf, "%x", va_arg(args, unsigned));
                for (char* c = buf; *c; ++c) result += static_cast<char16_t>(*c);
                break;
            }
            default:
                result += *f;
                break;
        }
    }
    va_end(args);
    if (result.size() > static_cast<size_t>(limit - 1)) result.resize(limit - 1);
    std::copy(result.begin(), result.end(), out);
    out[result.size()] = 0;
    return static_cast<int>(result.size());
}

namespace sim {
namespace {
char16_t upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }
}  // namespace

bool sameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}
}  // namespace sim

HLOCAL LocalAlloc(UINT flags, size_t bytes) {
    if (sim::shouldFail(sim::Op::LocalAlloc)) {
        sim::setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* p = std::malloc(bytes ? bytes : 1);
    // Memory that is not asked to be zeroed holds a fixed pattern, so that runs stay repeatable.
    if (p) std::memset(p, (flags & LMEM_ZEROINIT) ? 0 : 0xCD, bytes ? bytes : 1);
    return p;
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}
