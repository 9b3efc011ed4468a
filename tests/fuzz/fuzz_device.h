// What every fuzzer shares: a fresh simulated device for each input, in the process itself, and
// checks that stop the run with the property that failed (libFuzzer then keeps the input).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/winapi.h"

namespace fuzz {

// Empties the window manager, menus, file system and registry, and sets the screen size.
// The default device's folders are made again: "\Windows\StartUp" and the installation folder
// "\Program Files\Marund\Orvo" (the latter only when `installFolder` is set).
void freshDevice(int screenWidth = 240, int screenHeight = 320, bool installFolder = true);

// Runs `body` on a simulated thread of its own until every simulated thread is idle (a modal
// dialog then waits for the fuzzer's next action).
void runOnSimulatedThread(std::function<void()> body);
// Lets the simulated threads run until they are idle again, then ends them all.
void endSimulatedThreads();

[[noreturn]] void violated(const char* file, int line, const std::string& property);

// UTF-16 text of up to `maxUnits` units from the input. Without NUL units (the platform's texts end
// at one); mostly plain letters, so that names also meet the program's own tables, or one unit
// repeated, so that the longest texts are reached.
std::u16string text(FuzzedDataProvider& in, size_t maxUnits);
// A text as the platform's bytes: UTF-16LE.
std::vector<uint8_t> utf16Bytes(const std::u16string& text, bool terminated);
std::string printable(const std::u16string& text);

}  // namespace fuzz

#define FUZZ_CHECK(condition, property)                                                  \
    do {                                                                                 \
        if (!(condition)) ::fuzz::violated(__FILE__, __LINE__, std::string(property));   \
    } while (0)
