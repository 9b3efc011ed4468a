#include "scenario/scenario_syntax.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace scenario {

namespace {

std::string column(size_t i) { return " at column " + std::to_string(i + 1); }

// The length of the UTF-8 sequence at `i` (RFC 3629: no overlong forms, no surrogates, nothing
// above U+10FFFF), or 0 when the bytes there are not UTF-8.
size_t utf8SequenceAt(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    auto follows = [&](size_t k, unsigned low, unsigned high) { return byte(k) >= low && byte(k) <= high; };
    unsigned b = byte(i);
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return follows(i + 1, 0x80, 0xBF) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        unsigned low = b == 0xE0 ? 0xA0 : 0x80;   // E0: no overlong form
        unsigned high = b == 0xED ? 0x9F : 0xBF;  // ED: no surrogate
        return follows(i + 1, low, high) && follows(i + 2, 0x80, 0xBF) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        unsigned low = b == 0xF0 ? 0x90 : 0x80;   // F0: no overlong form
        unsigned high = b == 0xF4 ? 0x8F : 0xBF;  // F4: nothing above U+10FFFF
        return follows(i + 1, low, high) && follows(i + 2, 0x80, 0xBF) && follows(i + 3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

// A scenario is UTF-8 text without NUL bytes; a byte-order mark is no part of a command.
void checkText(const std::string& line) {
    for (size_t i = 0; i < line.size();) {
        if (line[i] == 0) throw ScenarioError("a NUL byte" + column(i));
        size_t n = utf8SequenceAt(line, i);
        if (n == 0) throw ScenarioError("byte " + hex(static_cast<unsigned char>(line[i]), 2) + column(i) + " is not UTF-8 text");
        i += n;
    }
}

bool byteOrderMarkAt(const std::string& line, size_t i) { return line.compare(i, 3, "\xEF\xBB\xBF") == 0; }

}  // namespace

std::vector<Token> tokenize(const std::string& line) {
    checkText(line);
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (byteOrderMarkAt(line, i)) {
            throw ScenarioError("a byte-order mark" + column(i) + " (save the scenario as UTF-8 without one)");
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t;
            t.quoted = true;
            ++i;
            bool closed = false;
            std::string utf8;
            while (i < line.size()) {
                char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) throw ScenarioError("unterminated escape in string");
                    char e = line[i + 1];
                    if (e == '"' || e == '\\') {
                        utf8 += e;
                        i += 2;
                    } else if (e == 'u') {
                        if (i + 6 > line.size()) throw ScenarioError("bad \\u escape");
                        std::string digits = line.substr(i + 2, 4);
                        for (char h : digits) {
                            if (!isxdigit(static_cast<unsigned char>(h))) throw ScenarioError("bad \\u escape");
                        }
                        // Flush the UTF-8 gathered so far, then add the unit itself.
                        t.text += fromUtf8(utf8);
                        utf8.clear();
                        t.text += static_cast<char16_t>(std::stoul(digits, nullptr, 16));
                        i += 6;
                    } else {
                        throw ScenarioError(std::string("unknown escape \\") + e + " in string");
                    }
                } else {
                    utf8 += d;
                    ++i;
                }
            }
            if (!closed) throw ScenarioError("unterminated string");
            t.text += fromUtf8(utf8);
            tokens.push_back(t);
        } else {
            Token t;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n') {
                if (line[i] == '"') throw ScenarioError("quote inside a word");
                if (byteOrderMarkAt(line, i)) throw ScenarioError("a byte-order mark" + column(i) + " inside a word");
                t.bare += line[i++];
            }
            tokens.push_back(t);
        }
    }
    return tokens;
}

const Token& Args::at(size_t i) const {
    if (i >= tokens_.size()) throw ScenarioError(command_ + ": missing argument");
    return tokens_[i];
}

std::u16string Args::string(size_t i) const {
    const Token& t = at(i);
    if (!t.quoted) throw ScenarioError(command_ + ": expected a quoted string, got " + t.bare);
    return t.text;
}

std::string Args::word(size_t i) const {
    const Token& t = at(i);
    if (t.quoted) throw ScenarioError(command_ + ": expected a word, got a string");
    return t.bare;
}

namespace {

// A number's magnitude, decimal or 0x hexadecimal, without a sign: false when the word is not
// one; *tooLarge when its value does not fit 64 bits.
bool parseMagnitude(const std::string& digits, uint64_t* value, bool* tooLarge) {
    bool hexadecimal = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    size_t start = hexadecimal ? 2 : 0;
    uint64_t base = hexadecimal ? 16 : 10;
    if (digits.size() <= start) return false;
    uint64_t v = 0;
    *tooLarge = false;
    for (size_t k = start; k < digits.size(); ++k) {
        unsigned char c = static_cast<unsigned char>(digits[k]);
        uint64_t d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hexadecimal && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hexadecimal && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        if (v > (UINT64_MAX - d) / base) *tooLarge = true;
        v = v * base + d;
    }
    *value = v;
    return true;
}

}  // namespace

int64_t Args::number(size_t i) const {
    std::string w = word(i);
    bool negative = !w.empty() && w[0] == '-';
    uint64_t magnitude = 0;
    bool tooLarge = false;
    if (!parseMagnitude(negative ? w.substr(1) : w, &magnitude, &tooLarge)) {
        throw ScenarioError(command_ + ": bad number " + w);
    }
    const uint64_t limit = negative ? UINT64_C(0x8000000000000000) : UINT64_C(0x7FFFFFFFFFFFFFFF);
    if (tooLarge || magnitude > limit) throw ScenarioError(command_ + ": " + w + " does not fit a 64-bit number");
    if (!negative) return static_cast<int64_t>(magnitude);
    return magnitude == limit ? INT64_MIN : -static_cast<int64_t>(magnitude);
}

uint64_t Args::unsignedNumber(size_t i) const {
    std::string w = word(i);
    if (!w.empty() && w[0] == '-') throw ScenarioError(command_ + ": expected a count, got " + w);
    uint64_t value = 0;
    bool tooLarge = false;
    if (!parseMagnitude(w, &value, &tooLarge)) throw ScenarioError(command_ + ": bad number " + w);
    if (tooLarge) throw ScenarioError(command_ + ": " + w + " does not fit 64 bits");
    return value;
}

uint8_t Args::byteValue(size_t i) const {
    int64_t v = number(i);
    if (v < 0 || v > 255) throw ScenarioError(command_ + ": " + word(i) + " is not a byte (0 to 255)");
    return static_cast<uint8_t>(v);
}

uint32_t Args::dwordValue(size_t i) const {
    int64_t v = number(i);
    if (v < 0 || v > 0xFFFFFFFFLL) throw ScenarioError(command_ + ": " + word(i) + " does not fit 32 bits (0 to 4294967295)");
    return static_cast<uint32_t>(v);
}

int32_t Args::int32Value(size_t i) const {
    int64_t v = number(i);
    if (v < INT32_MIN || v > INT32_MAX) {
        throw ScenarioError(command_ + ": " + word(i) + " does not fit a signed 32-bit number");
    }
    return static_cast<int32_t>(v);
}

int Args::controlId(size_t i) const {
    int64_t v = number(i);
    if (v < -1 || v > 0xFFFF) throw ScenarioError(command_ + ": " + word(i) + " is out of range (-1 to 65535)");
    return static_cast<int>(v);
}

std::vector<uint8_t> Args::hexBytes(size_t i) const {
    const Token& t = at(i);
    std::string digits = t.quoted ? toUtf8(t.text) : t.bare;
    if (digits.size() % 2 != 0) throw ScenarioError(command_ + ": hex bytes need pairs of digits");
    std::vector<uint8_t> out;
    for (size_t k = 0; k < digits.size(); k += 2) {
        if (!isxdigit(static_cast<unsigned char>(digits[k])) || !isxdigit(static_cast<unsigned char>(digits[k + 1]))) {
            throw ScenarioError(command_ + ": bad hex bytes");
        }
        out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(k, 2), nullptr, 16)));
    }
    return out;
}

namespace {

// Why the file system could not hold this name, or "" when it could.
std::string nameProblem(const std::u16string& name) {
    if (name.empty()) return "an empty name";
    if (name.size() > 255) return "a name longer than 255 units";
    if (name == u"." || name == u"..") return "the name " + quote(name);
    for (char16_t c : name) {
        if (c < 0x20 || std::u16string(u"\\/:*?\"<>|").find(c) != std::u16string::npos) {
            return "a name with the character " + quote(std::u16string(1, c));
        }
    }
    if (name.back() == u' ' || name.back() == u'.') return "a name that ends in a blank or a dot";
    return "";
}

}  // namespace

std::u16string Args::fileName(size_t i) const {
    std::u16string name = string(i);
    std::string problem = nameProblem(name);
    if (!problem.empty()) throw ScenarioError(command_ + ": no card or file can have " + problem);
    return name;
}

std::u16string Args::filePath(size_t i) const {
    std::u16string path = string(i);
    size_t start = !path.empty() && path[0] == u'\\' ? 1 : 0;
    for (;;) {
        size_t end = path.find(u'\\', start);
        std::u16string part = path.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        std::string problem = nameProblem(part);
        if (!problem.empty()) throw ScenarioError(command_ + ": no file can have the path " + quote(path) + " (" + problem + ")");
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return path;
}

void Args::expectCount(size_t min, size_t max) const {
    if (tokens_.size() < min || tokens_.size() > max) throw ScenarioError(command_ + ": wrong number of arguments");
}

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

std::string hex(uint64_t value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%0*llX", width, static_cast<unsigned long long>(value));
    return buf;
}

RegistryValue registryValue(const Args& a, size_t typeArg) {
    RegistryValue v;
    std::string type = a.word(typeArg);
    if (type == "sz") {
        for (char16_t c : a.string(typeArg + 1)) {
            v.data.push_back(static_cast<uint8_t>(c & 0xFF));
            v.data.push_back(static_cast<uint8_t>(c >> 8));
        }
        v.data.push_back(0);
        v.data.push_back(0);
        v.type = 1;
    } else if (type == "dword") {
        uint32_t n = a.dwordValue(typeArg + 1);
        for (int k = 0; k < 4; ++k) v.data.push_back(static_cast<uint8_t>(n >> (8 * k)));
        v.type = 4;
    } else if (type == "binary") {
        v.data = a.hexBytes(typeArg + 1);
        v.type = 3;
    } else {
        throw ScenarioError("registry: type must be sz, dword or binary");
    }
    return v;
}

TapCommand tapCommand(const Args& a, int screenWidth, int screenHeight) {
    a.expectCount(2, 2);
    TapCommand t;
    t.x = a.int32Value(0);
    t.y = a.int32Value(1);
    if (t.x < 0 || t.y < 0 || t.x >= screenWidth || t.y >= screenHeight) {
        throw ScenarioError("tap: (" + std::to_string(t.x) + ", " + std::to_string(t.y) + ") is off the screen of " +
                            std::to_string(screenWidth) + " x " + std::to_string(screenHeight));
    }
    return t;
}

WindowCommand windowCommand(const Args& a) {
    a.expectCount(2, 4);
    WindowCommand w;
    w.title = a.string(0);
    w.className = a.string(1);
    for (size_t i = 2; i < a.count(); ++i) {
        std::string flag = a.word(i);
        if (flag == "hidden") w.hidden = true;
        else if (flag == "ignores-close") w.ignoresClose = true;
        else throw ScenarioError("window: unknown flag " + flag);
    }
    return w;
}

SpinCommand spinCommand(const Args& a) {
    a.expectCount(2, 3);
    SpinCommand s;
    s.id = a.controlId(0);
    std::string direction = a.word(1);
    if (direction != "up" && direction != "down") throw ScenarioError("spin: up or down");
    s.up = direction == "up";
    int64_t times = a.count() == 3 ? a.number(2) : 1;
    if (times < 0 || times > 100000) throw ScenarioError("spin: bad count");
    s.times = static_cast<int>(times);
    return s;
}

PixelsCommand pixelsCommand(const Args& a) {
    a.expectCount(4, 4);
    PixelsCommand p;
    p.x = a.int32Value(0);
    p.y = a.int32Value(1);
    p.width = a.int32Value(2);
    p.height = a.int32Value(3);
    if (p.width < 0 || p.height < 0) throw ScenarioError("pixels: negative size");
    p.header = "pixels " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.width) + " " +
               std::to_string(p.height);
    return p;
}

IconExpectation iconExpectation(const Args& a, bool withValue) {
    const size_t at = withValue ? 3 : 2;  // after `expect`'s first word and the name (and value)
    const std::string usage = withValue ? "expect indicator KIND VALUE at X Y [large]" : "expect status-icon NAME at X Y [large]";
    if (a.count() < at + 3 || a.count() > at + 4 || a.isString(1) || a.isString(at) || a.word(at) != "at") {
        throw ScenarioError(usage);
    }
    IconExpectation e;
    e.name = a.word(1);
    e.value = -1;
    if (withValue) {
        int64_t v = a.number(2);
        if (v < 0 || v > 255) throw ScenarioError("expect indicator: a value is 0 to 255");
        e.value = static_cast<int>(v);
    }
    e.x = a.int32Value(at + 1);
    e.y = a.int32Value(at + 2);
    if (a.count() == at + 4) {
        if (a.isString(at + 3) || a.word(at + 3) != "large") throw ScenarioError(usage);
        e.large = true;
    }
    return e;
}

TrayIconExpectation trayIconExpectation(const Args& a) {
    const char* usage = "expect tray-icon KIND VALUE|status NAME|resource ID [large] [in SIZE]";
    if (a.count() < 3 || a.count() > 6 || a.isString(1)) throw ScenarioError(usage);
    TrayIconExpectation e;
    const std::string first = a.word(1);
    if (first == "status") {
        e.form = TrayIconExpectation::Status;
        e.name = a.word(2);
    } else {
        e.form = first == "resource" ? TrayIconExpectation::Resource : TrayIconExpectation::Number;
        e.name = first;
        int64_t v = a.number(2);
        if (v < 0 || v > 65535) throw ScenarioError("expect tray-icon: a value or id is 0 to 65535");
        e.value = static_cast<int>(v);
    }
    size_t next = 3;
    if (a.count() > next && !a.isString(next) && a.word(next) == "large") {
        e.large = true;
        ++next;
    }
    if (a.count() > next) {
        if (a.count() != next + 2 || a.isString(next) || a.word(next) != "in") throw ScenarioError(usage);
        int64_t size = a.number(next + 1);
        const int art = e.large ? 32 : 16;
        if (size < art || size > 1024) {
            throw ScenarioError("expect tray-icon: in " + std::to_string(art) + " to 1024 pixels");
        }
        e.in = static_cast<int>(size);
    }
    return e;
}

ScreenshotCommand screenshotCommand(const Args& a) {
    if (a.count() != 1 && a.count() != 3 && a.count() != 5 && a.count() != 7) {
        throw ScenarioError("screenshot: \"FILE.png\" [X Y W H] [scale N]");
    }
    ScreenshotCommand s;
    s.path = toUtf8(a.string(0));
    size_t next = 1;
    if (a.count() >= 5) {
        s.part = true;
        s.x = a.int32Value(1);
        s.y = a.int32Value(2);
        s.width = a.int32Value(3);
        s.height = a.int32Value(4);
        if (s.width <= 0 || s.height <= 0 || s.width > 4096 || s.height > 4096) {
            throw ScenarioError("screenshot: the part needs a size of 1 to 4096");
        }
        next = 5;
    }
    if (a.has(next)) {
        if (a.word(next) != "scale") throw ScenarioError("screenshot: scale N after the file and the part");
        int64_t n = a.number(next + 1);
        if (n < 1 || n > 16) throw ScenarioError("screenshot: scale 1 to 16");
        s.scale = static_cast<int>(n);
    }
    return s;
}

ResourceCommand resourceCommand(const Args& a) {
    a.expectCount(2, 2);
    std::string kind = a.word(0);
    int64_t id = a.number(1);
    if (id < 0 || id > 0xFFFF) throw ScenarioError("resource: bad id");
    if (kind != "bitmap" && kind != "icon") throw ScenarioError("resource: bitmap or icon");
    ResourceCommand r;
    r.icon = kind == "icon";
    r.id = static_cast<int>(id);
    return r;
}

std::string keyEvent(uint8_t key, bool up, bool silent) {
    return "key " + hex(key, 2) + (up ? " up" : " down") + (silent ? " silent" : "");
}

std::string displayQueryEvent(int asked, int result) {
    return "display-escape QUERYESCSUPPORT " + std::to_string(asked) + " -> " + std::to_string(result);
}

std::string displayPowerEvent(uint32_t length, uint32_t version, uint32_t state) {
    return "display-escape SETPOWERMANAGEMENT length=" + std::to_string(length) + " version=" + std::to_string(version) +
           " state=" + std::to_string(state);
}

std::string pixelText(uint8_t red, uint8_t green, uint8_t blue) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", red, green, blue);
    return buf;
}

std::vector<std::string> fileDump(const std::u16string& path, const std::vector<uint8_t>* bytes) {
    if (bytes == nullptr) return {"file " + quote(path) + " missing"};
    std::vector<std::string> lines{"file " + quote(path) + " " + std::to_string(bytes->size())};
    for (size_t i = 0; i < bytes->size(); i += 32) {
        std::string line;
        for (size_t k = i; k < bytes->size() && k < i + 32; ++k) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%02X", (*bytes)[k]);
            line += (k > i ? " " : "") + std::string(buf);
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace scenario
