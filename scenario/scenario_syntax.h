// The scenario language's syntax, shared by every runner of scenarios (the simulator and the
// end-to-end runner on a real system): tokens, arguments, and the way texts are quoted in the log.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace scenario {

struct Token {
    bool quoted = false;
    std::string bare;       // an unquoted token as written
    std::u16string text;    // a quoted string's UTF-16 units
};

// An error in the scenario itself (exit status 2).
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Splits a line into tokens; comments and blanks are dropped. A line that is not UTF-8 text, holds
// a NUL byte or a byte-order mark outside a string, or breaks the rules of strings and words is
// a ScenarioError.
std::vector<Token> tokenize(const std::string& line);

class Args {
public:
    Args(std::string command, std::vector<Token> tokens) : command_(std::move(command)), tokens_(std::move(tokens)) {}
    size_t count() const { return tokens_.size(); }
    bool has(size_t i) const { return i < tokens_.size(); }
    const std::string& command() const { return command_; }
    std::u16string string(size_t i) const;    // a quoted string
    std::string word(size_t i) const;         // a bare word
    // Numbers are decimal or 0x hexadecimal; one that does not fit its field is a ScenarioError.
    int64_t number(size_t i) const;           // a signed 64-bit number
    uint64_t unsignedNumber(size_t i) const;  // a count or byte count: 0 to 2^64 - 1
    uint8_t byteValue(size_t i) const;        // 0 to 255
    uint32_t dwordValue(size_t i) const;      // 0 to 0xFFFFFFFF
    int32_t int32Value(size_t i) const;       // -2^31 to 2^31 - 1
    int controlId(size_t i) const;            // a dialog control's id or line: -1 to 65535
    std::vector<uint8_t> hexBytes(size_t i) const;  // pairs of hex digits, quoted or bare
    // Names the device's file system can hold; one it could not is a ScenarioError. A name (a
    // card's, a root entry's, a path's part) is 1 to 255 units without a control character or
    // any of \ / : * ? " < > |, is not "." or "..", and does not end in a blank or a dot.
    std::u16string fileName(size_t i) const;
    // A path of such names from the root, "\a\b" (or "a\b"), one backslash between names.
    std::u16string filePath(size_t i) const;
    bool isString(size_t i) const { return has(i) && tokens_[i].quoted; }
    void expectCount(size_t min, size_t max) const;

private:
    const Token& at(size_t i) const;
    std::string command_;
    std::vector<Token> tokens_;
};

std::string toUtf8(const std::u16string& text);
std::u16string fromUtf8(const std::string& text);
// A UTF-16 text quoted and escaped as in the scenario language.
std::string quote(const std::u16string& text);
// 0x followed by upper-case hex digits, at least `width` of them.
std::string hex(uint64_t value, int width = 0);

// `registry ROOT "KEY" "NAME" TYPE VALUE`, from the TYPE argument on: the value's registry type
// (REG_SZ 1, REG_BINARY 3, REG_DWORD 4) and bytes (a string with its terminating NUL).
struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
};
RegistryValue registryValue(const Args& a, size_t typeArg);

// `tap X Y`: a point on the screen as it is now (W x H); a point off it is a ScenarioError.
struct TapCommand {
    int x = 0;
    int y = 0;
};
TapCommand tapCommand(const Args& a, int screenWidth, int screenHeight);

// `window "TITLE" "CLASS" [hidden] [ignores-close]`.
struct WindowCommand {
    std::u16string title;
    std::u16string className;
    bool hidden = false;
    bool ignoresClose = false;
};
WindowCommand windowCommand(const Args& a);

// `spin ID up|down [N]`.
struct SpinCommand {
    int id = 0;
    bool up = true;
    int times = 1;
};
SpinCommand spinCommand(const Args& a);

// `pixels X Y W H`, and the line that heads its rows.
struct PixelsCommand {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string header;
};
PixelsCommand pixelsCommand(const Args& a);

// `screenshot "FILE.png" [X Y W H] [scale N]`: the whole screen, or a part of it, magnified by
// N (1 to 16) when asked.
struct ScreenshotCommand {
    std::string path;  // UTF-8, as the host names files
    bool part = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int scale = 1;
};
ScreenshotCommand screenshotCommand(const Args& a);

// `resource bitmap|icon ID`.
struct ResourceCommand {
    bool icon = false;
    int id = 0;
};
ResourceCommand resourceCommand(const Args& a);

// `expect indicator KIND VALUE at X Y [large]` and `expect status-icon NAME at X Y [large]`, from
// KIND or NAME on: the icon's square at (X, Y), 32 pixels wide with `large`, else 16.
struct IconExpectation {
    std::string name;  // the kind (battery, program-memory, main-storage, storage-card) or status icon
    int value = 0;     // the percentage; -1 for a status icon
    int x = 0;
    int y = 0;
    bool large = false;
};
IconExpectation iconExpectation(const Args& a, bool withValue);

// `expect tray-icon KIND VALUE [large] [in SIZE]`, `expect tray-icon status NAME [large] [in SIZE]`
// or `expect tray-icon resource ID [large] [in SIZE]`: the image the notification area holds for
// the icon: the icon of 16 pixels (32 with `large`), or, with `in`, that icon unscaled at the
// centre of one of SIZE pixels whose margin is transparent.
struct TrayIconExpectation {
    enum Form { Number, Status, Resource } form = Number;
    std::string name;  // the kind or the status icon
    int value = 0;     // the percentage, or the resource id
    bool large = false;
    int in = 0;        // the icon's size, at least the art's; 0: the art's own
};
TrayIconExpectation trayIconExpectation(const Args& a);

// Event lines of the device's keys and display driver.
std::string keyEvent(uint8_t key, bool up, bool silent);
std::string displayQueryEvent(int asked, int result);
std::string displayPowerEvent(uint32_t length, uint32_t version, uint32_t state);

// A pixel as `pixels` prints it: RRGGBB.
std::string pixelText(uint8_t red, uint8_t green, uint8_t blue);
// What `dump-file` prints: the header line, then the bytes, 32 to a line; `bytes` null: missing.
std::vector<std::string> fileDump(const std::u16string& path, const std::vector<uint8_t>* bytes);

}  // namespace scenario
