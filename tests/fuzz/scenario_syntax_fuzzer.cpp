// The scenario language's syntax over any file: the reader, the tokenizer, every kind of
// argument and the shared commands' argument forms.
//
// Checked: a mistake is a ScenarioError and nothing else (any other exception ends the run);
// lines are counted as the file's lines; a line that is not UTF-8 text or holds a NUL byte is
// never taken; a string quoted for the log reads back as the same text; numbers are taken
// exactly when they are well formed and fit their field, with their exact value; hex bytes,
// registry values and settings images hold what was written.
#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/scenario_reader.h"
#include "scenario/scenario_syntax.h"
#include "scenario/settings_image.h"
#include "tests/fuzz/fuzz_device.h"

namespace {

using scenario::Args;
using scenario::ScenarioError;
using scenario::Token;

// A number written in the language, read without the parser: its value, or nothing.
struct Reference {
    bool wellFormed = false;
    bool negative = false;
    __int128 value = 0;  // saturates far above 64 bits
};

Reference referenceNumber(const std::string& w) {
    Reference r;
    std::string digits = w;
    if (!digits.empty() && digits[0] == '-') {
        r.negative = true;
        digits.erase(0, 1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.erase(0, 2);
    }
    if (digits.empty()) return r;
    const __int128 cap = static_cast<__int128>(1) << 100;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) d = std::tolower(c) - 'a' + 10;
        else return r;
        r.value = std::min(cap, r.value * base + d);
    }
    r.wellFormed = true;
    if (r.negative) r.value = -r.value;
    return r;
}

// Runs one accessor: true when it took the argument, false when it said ScenarioError.
template <typename F>
bool takes(F&& accessor) {
    try {
        accessor();
        return true;
    } catch (const ScenarioError&) {
        return false;
    }
}

void checkNumbers(const Args& a, size_t i) {
    if (a.isString(i)) {
        FUZZ_CHECK(!takes([&] { a.number(i); }), "a string is not a number");
        return;
    }
    const Reference r = referenceNumber(a.word(i));
    auto fits = [&](__int128 low, __int128 high) { return r.wellFormed && r.value >= low && r.value <= high; };
    int64_t n = 0;
    FUZZ_CHECK(takes([&] { n = a.number(i); }) == fits(INT64_MIN, INT64_MAX), "number: taken exactly when it fits 64 bits");
    if (fits(INT64_MIN, INT64_MAX)) FUZZ_CHECK(n == r.value, "number: its value");
    uint64_t u = 0;
    bool unsignedFits = fits(0, UINT64_MAX) && !r.negative;
    FUZZ_CHECK(takes([&] { u = a.unsignedNumber(i); }) == unsignedFits, "a count: taken exactly when it fits");
    if (unsignedFits) FUZZ_CHECK(u == r.value, "a count: its value");
    FUZZ_CHECK(takes([&] { a.byteValue(i); }) == fits(0, 255), "a byte: 0..255");
    FUZZ_CHECK(takes([&] { a.dwordValue(i); }) == fits(0, UINT32_MAX), "a dword: 0..2^32-1");
    FUZZ_CHECK(takes([&] { a.int32Value(i); }) == fits(INT32_MIN, INT32_MAX), "a signed 32-bit number");
    FUZZ_CHECK(takes([&] { a.controlId(i); }) == fits(-1, 0xFFFF), "a control id: -1..65535");
}

void checkHexBytes(const Args& a, size_t i) {
    std::vector<uint8_t> bytes;
    if (!takes([&] { bytes = a.hexBytes(i); })) return;
    std::string digits = a.isString(i) ? scenario::toUtf8(a.string(i)) : a.word(i);
    FUZZ_CHECK(bytes.size() * 2 == digits.size(), "two digits a byte");
    for (size_t k = 0; k < bytes.size(); ++k) {
        FUZZ_CHECK(bytes[k] == std::stoul(digits.substr(2 * k, 2), nullptr, 16), "each byte as written");
    }
}

// A mistake costs an exception, and exceptions are slow under the sanitizers: the arguments past
// the first few are of no other kind, so they are left out.
constexpr size_t kArgumentsChecked = 8;

void checkArguments(const Args& a) {
    for (size_t i = 0; i < a.count() && i < kArgumentsChecked; ++i) {
        checkNumbers(a, i);
        checkHexBytes(a, i);
        if (a.isString(i)) {
            // What the log prints of a text reads back as that text.
            std::u16string text = a.string(i);
            std::string quoted = scenario::quote(text);
            FUZZ_CHECK(std::all_of(quoted.begin(), quoted.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
                       "a quoted text is printable ASCII");
            std::vector<Token> again = scenario::tokenize(quoted);
            FUZZ_CHECK(again.size() == 1 && again[0].quoted && again[0].text == text, "a quoted text reads back");
        }
    }
    // The shared commands' argument forms, from every position's view of the line.
    takes([&] { scenario::windowCommand(a); });
    takes([&] { scenario::spinCommand(a); });
    takes([&] { scenario::pixelsCommand(a); });
    takes([&] { scenario::resourceCommand(a); });
    takes([&] { scenario::screenshotCommand(a); });
    for (size_t i = 0; i < a.count() && i < kArgumentsChecked; ++i) {
        scenario::RegistryValue v;
        if (takes([&] { v = scenario::registryValue(a, i); }) && v.type == REG_DWORD) {
            FUZZ_CHECK(v.data.size() == 4, "a dword value is 4 bytes");
        }
    }
    std::vector<uint8_t> image;
    if (takes([&] { image = scenario::settingsFileImage(a); })) {
        FUZZ_CHECK(image.size() == 652, "a settings image is 652 bytes");
        if (a.count() >= 2 && !a.isString(0) && a.word(0) == "iconX") {
            uint32_t v = static_cast<uint32_t>(a.int32Value(1));
            FUZZ_CHECK(image[628] == (v & 0xFF) && image[631] == (v >> 24), "iconX's four bytes");
        }
    }
}

// Decoding and encoding again gives the same bytes only for UTF-8 (overlong forms, stray and
// missing continuation bytes all change), except for encoded surrogates, which are looked for.
bool isUtf8WithoutNul(const std::string& line) {
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (static_cast<unsigned char>(line[i]) == 0xED && static_cast<unsigned char>(line[i + 1]) >= 0xA0) return false;
    }
    return line.find('\0') == std::string::npos && scenario::toUtf8(scenario::fromUtf8(line)) == line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file(reinterpret_cast<const char*>(data), size);
    std::istringstream in(file);
    scenario::ScenarioReader reader(in);
    std::string line;
    int lines = 0;
    for (;;) {
        bool more = false;
        FUZZ_CHECK(takes([&] { more = reader.next(&line); }), "a string in memory always reads");
        if (!more) break;
        ++lines;
        FUZZ_CHECK(reader.lineNumber() == lines, "lines are counted from 1");
        std::vector<Token> tokens;
        if (!takes([&] { tokens = scenario::tokenize(line); })) continue;
        FUZZ_CHECK(isUtf8WithoutNul(line), "only UTF-8 text without NUL bytes is taken");
        if (tokens.empty()) continue;
        Args args(tokens[0].quoted ? "" : tokens[0].bare, std::vector<Token>(tokens.begin() + 1, tokens.end()));
        checkArguments(args);
        checkArguments(Args("command", tokens));
    }
    const size_t newlines = static_cast<size_t>(std::count(file.begin(), file.end(), '\n'));
    const size_t expectedLines = newlines + (file.empty() || file.back() == '\n' ? 0 : 1);
    FUZZ_CHECK(static_cast<size_t>(lines) == expectedLines, "every line of the file is read");
    return 0;
}
