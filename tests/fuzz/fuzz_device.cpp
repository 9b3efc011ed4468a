#include "tests/fuzz/fuzz_device.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "file_system.h"
#include "gdi.h"
#include "modal.h"
#include "registry.h"
#include "scenario/scenario_syntax.h"
#include "scheduler.h"
#include "window_manager.h"
#include "world.h"

namespace fuzz {

namespace {
// The event log goes nowhere: a fuzzer checks state, not lines.
std::ostream& nowhere() {
    static std::ostream stream(nullptr);
    return stream;
}
}  // namespace

void freshDevice(int screenWidth, int screenHeight, bool installFolder) {
    sim::setLogStream(&nowhere());
    sim::shutdownScheduler();
    sim::resetModals();
    sim::resetWindowManager();
    sim::clearFaults();
    sim::world().device = sim::Device();
    sim::world().device.screenWidth = screenWidth;
    sim::world().device.screenHeight = screenHeight;
    // A new screen costs more than most inputs: it is made only when its size changes, and
    // nothing of the last one's pixels is kept. GDI objects are not reset: a fuzzer that makes
    // them checks that they are all released.
    sim::Surface& screen = sim::screenSurface();
    if (screen.width != screenWidth || screen.height != screenHeight) screen.resize(screenWidth, screenHeight);
    sim::fileSystem().reset();
    sim::fileSystem().makeDirectories(u"\\Windows\\StartUp");
    if (installFolder) sim::fileSystem().makeDirectories(u"\\Program Files\\Marund\\Orvo");
    sim::registry() = sim::Registry();
}

void runOnSimulatedThread(std::function<void()> body) {
    sim::createThread(nullptr, std::move(body));
    sim::runUntilIdle();
}

void endSimulatedThreads() {
    sim::runUntilIdle();
    sim::shutdownScheduler();
}

void violated(const char* file, int line, const std::string& property) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, property.c_str());
    std::abort();
}

std::u16string text(FuzzedDataProvider& in, size_t maxUnits) {
    size_t units = in.ConsumeIntegralInRange<size_t>(0, maxUnits);
    std::u16string t;
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        // One unit many times: the longest texts cost a fuzzer's input a few bytes.
        char16_t unit = in.ConsumeIntegral<char16_t>();
        return std::u16string(units, unit == 0 ? u'?' : unit);
    }
    for (size_t i = 0; i < units && in.remaining_bytes() > 0; ++i) {
        uint8_t kind = in.ConsumeIntegral<uint8_t>();
        char16_t c;
        if (kind < 200) {
            c = static_cast<char16_t>(u'A' + kind % 26 + (kind & 32));  // letters of either case
        } else {
            c = in.ConsumeIntegral<char16_t>();  // any unit: accents, surrogates, controls
        }
        t += c == 0 ? u'?' : c;
    }
    return t;
}

std::vector<uint8_t> utf16Bytes(const std::u16string& text, bool terminated) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

std::string printable(const std::u16string& text) { return scenario::quote(text); }

}  // namespace fuzz
