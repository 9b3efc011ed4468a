// The indicator from reading to screen, run against the simulated device and its real pixels:
// after every presentation the square must be exactly the background with the icon drawn through
// its mask, and nothing outside it may change. The expected icons are built here from the image
// resources and the glyph placements, apart from the code under test.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "file_system.h"
#include "gdi.h"
#include "res/resource.h"
#include "indicators/icon_composer.h"
#include "indicators/icon_slots.h"
#include "indicators/readings.h"
#include "indicators/scheduler.h"
#include "indicators/indicator_place.h"
#include "indicators/taskbar_canvas.h"
#include "resources.h"
#include "settings/settings_record.h"
#include "tests/unit/icon_models.h"
#include "world.h"

namespace {

constexpr COLORREF White = 0xFFFFFF;

// ---- the expected icon ----

using iconModel::IconModel;
using iconModel::layout;
using iconModel::numberIcon;
using iconModel::Placements;
using iconModel::statusIcon;

// ---- the screen ----

using Screen = std::vector<COLORREF>;

Screen screenNow() { return sim::screenSurface().pixels; }

// Paints a taskbar-like pattern in which neighbouring pixels differ; each generation differs.
void paintTaskbar(int generation) {
    sim::Surface& s = sim::screenSurface();
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < s.width; ++x)
            s.set(x, y, RGB((x * 8 + y * 3 + generation * 5) & 0xFF, ((x + y) % 2) * 0x80 + generation, (y * 8 + x) & 0xFF));
}

// The square of `base` at (x, y) as `background` shows it, with the icon drawn over it.
Screen withIcon(Screen base, const Screen& background, int x, int y, const IconModel& icon) {
    const int w = sim::screenSurface().width;
    for (int r = 0; r < icon.size; ++r)
        for (int c = 0; c < icon.size; ++c) {
            size_t at = static_cast<size_t>((y + r) * w + x + c);
            size_t i = static_cast<size_t>(r * icon.size + c);
            COLORREF mask = icon.mask[i] == White ? White : 0;
            base[at] = (background[at] & mask) ^ icon.colour[i];
        }
    return base;
}

// The icon drawn at (x, 5) over `background`, only where the square lies on the screen.
Screen withClippedIcon(Screen base, int x, const IconModel& icon) {
    const int w = sim::screenSurface().width;
    for (int r = 0; r < icon.size; ++r)
        for (int c = 0; c < icon.size && x + c < w; ++c) {
            size_t at = static_cast<size_t>((5 + r) * w + x + c);
            size_t i = static_cast<size_t>(r * icon.size + c);
            COLORREF mask = icon.mask[i] == White ? White : 0;
            base[at] = (base[at] & mask) ^ icon.colour[i];
        }
    return base;
}

::testing::AssertionResult sameScreen(const Screen& expected) {
    const sim::Surface& s = sim::screenSurface();
    for (size_t i = 0; i < expected.size(); ++i) {
        if (s.pixels[i] != expected[i]) {
            char buf[80];
            std::snprintf(buf, sizeof buf, "pixel (%d, %d) is %06X, expected %06X", static_cast<int>(i % s.width),
                          static_cast<int>(i / s.width), s.pixels[i], expected[i]);
            return ::testing::AssertionFailure() << buf;
        }
    }
    return ::testing::AssertionSuccess();
}

class IndicatorPipeline : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetGdi();
        sim::clearFaults();
        sim::resizeScreen(240, 320);
        paintTaskbar(0);
        sim::fileSystem().reset();
        sim::world().device = sim::Device();
        settings = defaultSettings();
        resetCanvas(120);
        resetIconSlots();
        recountEnabledIndicators();
        resetScheduler();
    }
    void TearDown() override {
        sim::clearFaults();
        releaseIconSlots();
        releaseCanvasBitmaps();
    }
    // Composes and presents one number, as the scheduler's common sequence does.
    void show(IndicatorKind kind, int value) {
        composeIndicatorIcon(NULL, kind, value);
        presentIndicator(kind);
    }
    int x() const { return canvas.iconXInUse; }
    int y() const { return indicatorTop(); }
};

// ---- composition: the examples' glyph placements, every kind, both sizes ----

TEST_F(IndicatorPipeline, NumberIconsPlaceTheirGlyphsAsTheExamplesSay) {
    struct Example {
        int value;
        bool large;
        Placements glyphs;
    };
    const Example examples[] = {
        {5, false, {{5, 5}}},
        {1, false, {{1, 6}}},
        {42, false, {{4, 2}, {2, 8}}},
        {100, false, {{1, 1}, {0, 5}, {0, 10}}},
        {254, false, {{1, 1}, {0, 5}, {0, 10}}},
        {100, true, {{1, 2}, {0, 10}, {0, 20}}},
        {7, true, {{7, 11}}},
        {47, true, {{4, 5}, {7, 17}}},
    };
    for (const Example& e : examples) {
        restoreBackground();
        releaseCanvasBitmaps();
        settings.largeIcons = e.large ? 1 : 0;
        captureBackground();
        const Screen background = screenNow();
        for (int k = 0; k < IndicatorKindCount; ++k) {
            SCOPED_TRACE("value " + std::to_string(e.value) + (e.large ? " large" : " small") + " kind " +
                         std::to_string(k));
            IndicatorKind kind = static_cast<IndicatorKind>(k);
            show(kind, e.value);
            EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(kind, e.glyphs, e.large))));
        }
    }
}

// ---- presentation: erasing, repaints, restoring ----

TEST_F(IndicatorPipeline, EveryPresentationLeavesBackgroundPlusIconAndNothingElse) {
    captureBackground();
    // Nothing has been drawn yet, so the square on the screen is the taskbar's: a repaint since
    // the background was saved is what the first drawing goes over, never the older pixels.
    paintTaskbar(1);
    Screen background = screenNow();
    show(Battery, 100);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(Battery, layout(100, false), false))));
    // A shorter number leaves no stray digit of the longer one.
    show(Battery, 7);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(Battery, layout(7, false), false))));
    // A repaint between two presentations, even of one pixel, becomes the new background.
    sim::screenSurface().set(x() + 15, y() + 15, 0x123456);
    background = screenNow();
    show(ProgramMemory, 42);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(ProgramMemory, layout(42, false), false))));
    paintTaskbar(2);
    background = screenNow();
    show(ProgramMemory, 9);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(ProgramMemory, layout(9, false), false))));
    show(MainStorage, 88);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(MainStorage, layout(88, false), false))));
    // Erasing puts the taskbar back exactly, and the next presentation keeps those pixels.
    restoreBackground();
    EXPECT_TRUE(sameScreen(background));
    show(MainStorage, 3);
    EXPECT_TRUE(sameScreen(withIcon(background, background, x(), y(), numberIcon(MainStorage, layout(3, false), false))));
    restoreBackground();
    EXPECT_TRUE(sameScreen(background));
    EXPECT_EQ(sim::liveDeviceContexts(), 0u);
}

TEST_F(IndicatorPipeline, LargeIconsAndAnOddLargeIconsValue) {
    settings.largeIcons = 1;
    captureBackground();
    const Screen background = screenNow();
    show(StorageCard, 100);
    show(StorageCard, 47);
    EXPECT_EQ(y(), 10);
    EXPECT_TRUE(sameScreen(withIcon(background, background, 120, 10, numberIcon(StorageCard, layout(47, true), true))));
    restoreBackground();
    EXPECT_TRUE(sameScreen(background));
    releaseCanvasBitmaps();
    // 2 is not 1: small icons at y = 5.
    settings.largeIcons = 2;
    captureBackground();
    show(Battery, 61);
    EXPECT_TRUE(sameScreen(withIcon(background, background, 120, 5, numberIcon(Battery, layout(61, false), false))));
}

TEST_F(IndicatorPipeline, NothingToDrawStillHandlesTheBackground) {
    captureBackground();
    const Screen background = screenNow();
    show(Battery, 55);
    presentIndicator(ProgramMemory);  // no icon yet for this kind
    EXPECT_TRUE(sameScreen(background));
    restoreBackground();
    EXPECT_TRUE(sameScreen(background));
    // Without a saved background nothing is touched.
    releaseCanvasBitmaps();
    sim::screenSurface().set(x(), y(), 0x010203);
    Screen marked = screenNow();
    restoreBackground();
    EXPECT_TRUE(sameScreen(marked));
}

// ---- status icons ----

TEST_F(IndicatorPipeline, StatusIconsForUnknownChargeAndUnmeasurableCards) {
    settings.showStorageCard = 1;
    for (int large = 0; large < 2; ++large) {
        restoreBackground();
        releaseCanvasBitmaps();
        settings.largeIcons = large;
        captureBackground();
        const Screen background = screenNow();
        const int top = large ? 10 : 5;
        struct Case {
            BYTE flag;
            unsigned small, big;
        };
        for (Case c : {Case{8, ChargingIconSmall, ChargingIconLarge}, Case{9, BatteryUnknownIconSmall, BatteryUnknownIconLarge},
                       Case{1, BatteryUnknownIconSmall, BatteryUnknownIconLarge},
                       Case{0, BatteryUnknownIconSmall, BatteryUnknownIconLarge}}) {
            SCOPED_TRACE("flag " + std::to_string(c.flag));
            sim::world().device.batteryPercent = 255;
            sim::world().device.batteryFlag = c.flag;
            currentIndicator = Battery;
            onIndicatorTimer(NULL, RefreshInPlace);
            unsigned id = large ? c.big : c.small;
            EXPECT_EQ(sim::iconResourceId(iconSlots[Battery].current), id);
            EXPECT_TRUE(sameScreen(withIcon(background, background, 120, top, statusIcon(id))));
        }
        // No card at all, then a card present while the chosen one is not.
        for (int present = 0; present < 2; ++present) {
            if (present) sim::fileSystem().insertCard(u"Other Card", 5, 10);
            wcscpy(settings.storageCardName, u"Storage Card");
            currentIndicator = StorageCard;
            onIndicatorTimer(NULL, RefreshInPlace);
            unsigned id = large ? NoCardIconLarge : NoCardIconSmall;
            EXPECT_EQ(sim::iconResourceId(iconSlots[StorageCard].current), id);
            EXPECT_EQ(lastCardPercent, -1);
            EXPECT_TRUE(sameScreen(withIcon(background, background, 120, top, statusIcon(id))));
        }
        sim::fileSystem().reset();
    }
}

TEST_F(IndicatorPipeline, CardReadingMeasuresTheNamedCardWhateverTheListHolds) {
    sim::fileSystem().insertCard(u"SD", 29, 100);
    sim::fileSystem().insertCard(u"CF", 6000000000ULL, 8000000000ULL);
    wcscpy(settings.storageCardName, u"CF");
    IndicatorReading r = measureIndicator(StorageCard);
    EXPECT_EQ(r.statusIcon, NoStatusIcon);
    EXPECT_EQ(r.percent, 75);
    // The enumeration keeps the first five cards in their order, and only cards.
    for (auto name : {u"c3", u"c4", u"c5", u"c6"}) sim::fileSystem().insertCard(name, 1, 2);
    sim::fileSystem().addRootEntry(u"Folder", FILE_ATTRIBUTE_DIRECTORY);
    sim::fileSystem().addRootEntry(u"Temp file", FILE_ATTRIBUTE_TEMPORARY);
    EXPECT_EQ(enumerateStorageCards(), 5);
    EXPECT_EQ(std::u16string(cardList[0]), u"SD");
    EXPECT_EQ(std::u16string(cardList[4]), u"c5");
    // A name filling its field without a terminator ends with the field: the fields after it
    // never become part of the name.
    for (WCHAR& u : settings.storageCardName) u = u'C';
    settings.confirmCloseAll = settings.runAtStartup = settings.largeIcons = settings.iconX = 0x00440044;
    sim::fileSystem().insertCard(std::u16string(StorageCardNameUnits, u'C'), 50, 100);
    r = measureIndicator(StorageCard);
    EXPECT_EQ(r.statusIcon, NoStatusIcon);
    EXPECT_EQ(r.percent, 50);
}

// A root that could not be searched reads as no card for that one reading, and is not searched
// again: the next tick measures afresh. Whoever would keep the outcome (the Settings dialog,
// which saves it) is told that the search failed.
TEST_F(IndicatorPipeline, AFailedRootSearchIsNoCardForOneReadingAndSaysSo) {
    sim::fileSystem().insertCard(u"Storage Card", 3000, 4000);
    wcscpy(settings.storageCardName, u"Storage Card");
    sim::failOperation("FindFirstFileW", 1, false, 0);
    const uint64_t searches = sim::operationCalls(sim::Op::FindFirstFileW);
    IndicatorReading r = measureIndicator(StorageCard);
    EXPECT_EQ(r.statusIcon, NoCardIcon);
    EXPECT_EQ(sim::operationCalls(sim::Op::FindFirstFileW) - searches, 1u) << "one search, no second one";
    r = measureIndicator(StorageCard);
    EXPECT_EQ(r.statusIcon, NoStatusIcon);
    EXPECT_EQ(r.percent, 75);
    sim::failOperation("FindFirstFileW", 1, false, 0);
    bool complete = true;
    EXPECT_EQ(enumerateStorageCards(&complete), 0);
    EXPECT_FALSE(complete);
    EXPECT_EQ(enumerateStorageCards(&complete), 1);
    EXPECT_TRUE(complete);
}

// ---- the scheduler's modes ----

// Which kind the last presentation drew, told by the slot whose icon changed.
class Recorder {
public:
    Recorder() { snap(); }
    int changed() {
        int kind = -1;
        for (int k = 0; k < IndicatorKindCount; ++k)
            if (iconSlots[k].current != last_[k]) kind = k;
        snap();
        return kind;
    }

private:
    void snap() {
        for (int k = 0; k < IndicatorKindCount; ++k) last_[k] = iconSlots[k].current;
    }
    HICON last_[IndicatorKindCount];
};

TEST_F(IndicatorPipeline, RotationSingleAndIdleModes) {
    sim::fileSystem().insertCard(u"Storage Card", 3000, 4000);
    wcscpy(settings.storageCardName, u"Storage Card");
    settings.showStorageCard = 1;
    recountEnabledIndicators();
    captureBackground();
    Recorder rec;
    showFirstIndicator(NULL);
    EXPECT_EQ(rec.changed(), Battery);
    EXPECT_EQ(iconShown, 1);
    std::vector<int> turns;
    for (int i = 0; i < 5; ++i) {
        onIndicatorTimer(NULL, 0);
        turns.push_back(rec.changed());
    }
    EXPECT_EQ(turns, (std::vector<int>{ProgramMemory, MainStorage, StorageCard, Battery, ProgramMemory}));
    EXPECT_EQ(lastCardPercent, 75);
    // A refresh request redraws the current kind without moving on.
    onIndicatorTimer(NULL, RefreshInPlace);
    EXPECT_EQ(rec.changed(), ProgramMemory);
    onIndicatorTimer(NULL, 0);
    EXPECT_EQ(rec.changed(), MainStorage);

    // Two kinds alternate.
    settings.showProgramMemory = settings.showMainStorage = 0;
    recountEnabledIndicators();
    turns.clear();
    for (int i = 0; i < 4; ++i) {
        onIndicatorTimer(NULL, 0);
        turns.push_back(rec.changed());
    }
    EXPECT_EQ(turns, (std::vector<int>{StorageCard, Battery, StorageCard, Battery}));

    // Single mode: the one kind on every tick and every refresh request.
    settings.showBattery = 0;
    settings.showMainStorage = 1;
    settings.showStorageCard = 0;
    recountEnabledIndicators();
    for (LPARAM l : {LPARAM(0), RefreshInPlace, LPARAM(0)}) {
        onIndicatorTimer(NULL, l);
        EXPECT_EQ(rec.changed(), MainStorage);
        EXPECT_EQ(currentIndicator, MainStorage);
    }

    // Idle: nothing is read or drawn.
    settings.showMainStorage = 0;
    recountEnabledIndicators();
    Screen before = screenNow();
    size_t icons = sim::liveIcons();
    onIndicatorTimer(NULL, 0);
    onIndicatorTimer(NULL, RefreshInPlace);
    EXPECT_EQ(rec.changed(), -1);
    EXPECT_TRUE(sameScreen(before));
    EXPECT_EQ(sim::liveIcons(), icons);
}

TEST_F(IndicatorPipeline, SingleCardStopsRepaintingUntilItCanBeMeasured) {
    settings.showBattery = settings.showProgramMemory = settings.showMainStorage = 0;
    settings.showStorageCard = 1;
    wcscpy(settings.storageCardName, u"Storage Card");
    recountEnabledIndicators();
    captureBackground();
    const Screen background = screenNow();
    Recorder rec;
    showFirstIndicator(NULL);
    EXPECT_EQ(rec.changed(), StorageCard);
    EXPECT_EQ(lastCardPercent, -1);
    const Screen noCard = withIcon(background, background, 120, 5, statusIcon(NoCardIconSmall));
    EXPECT_TRUE(sameScreen(noCard));
    // Ticks and refresh requests draw nothing, even after the taskbar has painted over it.
    paintTaskbar(3);
    const Screen repainted = screenNow();
    onIndicatorTimer(NULL, 0);
    onIndicatorTimer(NULL, RefreshInPlace);
    EXPECT_EQ(rec.changed(), -1);
    EXPECT_TRUE(sameScreen(repainted));
    // The card is back: its percentage on the next tick.
    sim::fileSystem().insertCard(u"Storage Card", 1000, 4000);
    onIndicatorTimer(NULL, 0);
    EXPECT_EQ(rec.changed(), StorageCard);
    EXPECT_EQ(lastCardPercent, 25);
    EXPECT_TRUE(sameScreen(withIcon(repainted, repainted, 120, 5, numberIcon(StorageCard, layout(25, false), false))));
    // Removed: the no-card icon once, then nothing.
    sim::fileSystem().ejectCard(u"Storage Card");
    onIndicatorTimer(NULL, 0);
    EXPECT_EQ(rec.changed(), StorageCard);
    EXPECT_TRUE(sameScreen(withIcon(repainted, repainted, 120, 5, statusIcon(NoCardIconSmall))));
    onIndicatorTimer(NULL, 0);
    EXPECT_EQ(rec.changed(), -1);
}

// ---- faults: the failure lists, no leak, and recovery on the next tick ----

TEST_F(IndicatorPipeline, AFailedCallLeavesTheLastDrawingLeaksNothingAndTheNextTickRecovers) {
    struct FaultCase {
        const char* operation;
        uint64_t succeedFirst;
    };
    // The calls of one tick, in order: composition (the window's context, three memory contexts,
    // two canvases, three images, copies, the icon), then the presentation (the screen's context,
    // a memory context, a block for the screen's square, its read, the icon, the copy back).
    const FaultCase cases[] = {
        {"GetDC", 0},          {"GetDC", 1},         {"CreateCompatibleDC", 0}, {"CreateCompatibleDC", 2},
        {"CreateCompatibleDC", 3}, {"CreateCompatibleBitmap", 0}, {"CreateCompatibleBitmap", 1},
        {"LoadBitmapW", 0},    {"LoadBitmapW", 1},   {"LoadBitmapW", 2},        {"CreateIconIndirect", 0},
        {"BitBlt", 0},         {"BitBlt", 3},        {"BitBlt", 4},             {"BitBlt", 5},
        {"CreateDIBSection", 0}, {"DrawIconEx", 0},
    };
    for (const FaultCase& f : cases) {
        SCOPED_TRACE(std::string(f.operation) + " after " + std::to_string(f.succeedFirst));
        SetUp();
        settings.showProgramMemory = settings.showMainStorage = 0;
        recountEnabledIndicators();
        captureBackground();
        const Screen background = screenNow();
        sim::world().device.batteryPercent = 100;
        showFirstIndicator(NULL);
        const Screen shown100 = screenNow();
        const size_t objects = sim::liveGdiObjects(), icons = sim::liveIcons();

        sim::world().device.batteryPercent = 7;
        sim::failOperation(f.operation, 1, false, f.succeedFirst);
        onIndicatorTimer(NULL, 0);
        // Whatever failed, the screen shows a drawing the canvas knows: the last one (never a
        // black box, never an icon drawn over another).
        const bool drewSeven = sameScreen(withIcon(background, background, 120, 5, numberIcon(Battery, layout(7, false), false)));
        EXPECT_TRUE(sameScreen(shown100) || drewSeven);
        EXPECT_EQ(sim::liveGdiObjects(), objects);
        EXPECT_EQ(sim::liveIcons(), icons);
        EXPECT_EQ(sim::liveDeviceContexts(), 0u);

        sim::clearFaults();
        sim::world().device.batteryPercent = 4;
        onIndicatorTimer(NULL, 0);
        EXPECT_TRUE(sameScreen(withIcon(background, background, 120, 5, numberIcon(Battery, layout(4, false), false))));
        EXPECT_EQ(sim::liveGdiObjects(), objects);
        EXPECT_EQ(sim::liveIcons(), icons);
        restoreBackground();
        EXPECT_TRUE(sameScreen(background));
        TearDown();
    }
}

// A memory context's own (monochrome) bitmap goes back into it before it is deleted, on every
// road: composing, presenting, erasing, and when a call on the way fails.
TEST_F(IndicatorPipeline, EveryMemoryContextGetsItsOwnBitmapBackBeforeItIsDeleted) {
    for (const char* failing : {"", "BitBlt", "SelectObject", "DrawIconEx", "CreateIconIndirect"}) {
        SCOPED_TRACE(failing);
        SetUp();
        captureBackground();
        sim::world().device.batteryPercent = 80;
        showFirstIndicator(NULL);
        if (*failing) sim::failOperation(failing, 1, false, 1);
        sim::world().device.batteryPercent = 30;
        onIndicatorTimer(NULL, 0);
        sim::clearFaults();
        composeIndicatorIcon(NULL, ProgramMemory, 55);
        restoreBackground();
        EXPECT_EQ(sim::contextsDeletedHoldingABitmap(), 0u);
        TearDown();
    }
}

TEST_F(IndicatorPipeline, ASquarePartlyOffTheScreenIsComparedSavedAndRestoredWhereItShows) {
    for (int left : {230, 236, 239, 240, 639}) {
        SCOPED_TRACE("x " + std::to_string(left));
        SetUp();
        resetCanvas(left);
        captureBackground();
        Screen background = screenNow();
        show(Battery, 42);
        EXPECT_TRUE(sameScreen(withClippedIcon(background, left, numberIcon(Battery, layout(42, false), false))));
        show(Battery, 43);
        EXPECT_TRUE(sameScreen(withClippedIcon(background, left, numberIcon(Battery, layout(43, false), false))));
        paintTaskbar(4);
        background = screenNow();
        show(Battery, 44);
        EXPECT_TRUE(sameScreen(withClippedIcon(background, left, numberIcon(Battery, layout(44, false), false))));
        restoreBackground();
        EXPECT_TRUE(sameScreen(background));
        TearDown();
    }
}

TEST_F(IndicatorPipeline, ErasingLeavesATaskbarThatHasRepaintedSinceAsItPainted) {
    captureBackground();
    show(Battery, 88);
    paintTaskbar(5);
    const Screen repainted = screenNow();
    EXPECT_TRUE(restoreBackground());
    EXPECT_TRUE(sameScreen(repainted)) << "no saved pixels pasted over the newer ones";
    // Drawn again over the repaint, the drawing is erased down to the repaint.
    show(Battery, 89);
    EXPECT_TRUE(restoreBackground());
    EXPECT_TRUE(sameScreen(repainted));
    // With nothing drawn at all, erasing touches nothing.
    releaseCanvasBitmaps();
    captureBackground();
    paintTaskbar(6);
    const Screen later = screenNow();
    EXPECT_TRUE(restoreBackground());
    EXPECT_TRUE(sameScreen(later));
}

TEST_F(IndicatorPipeline, MovingOrResizingTakesTheDrawingAwayAndTheNewBackgroundAtTheNewPlace) {
    captureBackground();
    show(Battery, 61);
    // A repaint while a dialog is open brings the indicator back under it.
    paintTaskbar(7);
    const Screen repainted = screenNow();
    show(Battery, 62);
    settings.largeIcons = 1;
    moveIndicator(40);
    EXPECT_TRUE(sameScreen(repainted)) << "the old drawing is gone, nothing is pasted at the new place";
    show(Battery, 63);
    EXPECT_TRUE(sameScreen(withIcon(repainted, repainted, 40, 10, numberIcon(Battery, layout(63, true), true))));
    // The settings changed without the canvas being told: the next drawing moves it itself.
    settings.largeIcons = 0;
    setIconXInUse(150);
    show(Battery, 64);
    EXPECT_TRUE(sameScreen(withIcon(repainted, repainted, 150, 5, numberIcon(Battery, layout(64, false), false))));
    restoreBackground();
    EXPECT_TRUE(sameScreen(repainted));
}

TEST_F(IndicatorPipeline, StatusIconThatDoesNotLoadKeepsTheLastIcon) {
    settings.showProgramMemory = settings.showMainStorage = 0;
    recountEnabledIndicators();
    captureBackground();
    const Screen background = screenNow();
    showFirstIndicator(NULL);
    const Screen shown = screenNow();
    sim::world().device.batteryPercent = 255;
    sim::failOperation("LoadImageW", 1, false, 0);
    onIndicatorTimer(NULL, 0);
    EXPECT_TRUE(sameScreen(shown));
    EXPECT_EQ(sim::liveIcons(), 1u);
    onIndicatorTimer(NULL, 0);
    EXPECT_TRUE(sameScreen(withIcon(background, background, 120, 5, statusIcon(BatteryUnknownIconSmall))));
    EXPECT_EQ(sim::liveIcons(), 1u);
}

TEST_F(IndicatorPipeline, ImagesThatDoNotLoadLeakNothing) {
    captureBackground();
    show(Battery, 50);
    const size_t objects = sim::liveGdiObjects(), icons = sim::liveIcons();
    for (uint64_t skip = 0; skip < 3; ++skip) {
        sim::failOperation("LoadBitmapW", 1, false, skip);
        const Screen before = screenNow();
        show(Battery, 51);
        EXPECT_TRUE(sameScreen(before)) << "the last good icon stays: no box without its picture";
        EXPECT_EQ(sim::liveGdiObjects(), objects) << skip;
        EXPECT_EQ(sim::liveIcons(), icons) << skip;
        EXPECT_EQ(sim::liveDeviceContexts(), 0u);
    }
}

TEST_F(IndicatorPipeline, ReplacedIconIsReleasedEvenWithoutAScreen) {
    captureBackground();
    show(Battery, 10);
    composeIndicatorIcon(NULL, Battery, 11);
    EXPECT_NE(iconSlots[Battery].previous, nullptr) << "the replaced icon lives until the next drawing";
    EXPECT_EQ(sim::liveIcons(), 2u);
    sim::failOperation("GetDC", 1, false, 0);
    presentIndicator(Battery);
    EXPECT_EQ(iconSlots[Battery].previous, nullptr);
    EXPECT_EQ(sim::liveIcons(), 1u);
}

// ---- no leak over long runs, in every mode ----

TEST_F(IndicatorPipeline, TenThousandTicksLeaveTheLiveObjectsOfTheFirst) {
    struct Mode {
        const char* name;
        int flags[4];
        int large;
    };
    const Mode modes[] = {{"rotation", {1, 1, 1, 1}, 0}, {"two kinds", {1, 0, 0, 1}, 1}, {"single", {0, 1, 0, 0}, 0},
                          {"single card", {0, 0, 0, 1}, 0}, {"idle", {0, 0, 0, 0}, 0}};
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        SetUp();
        settings.showBattery = m.flags[0];
        settings.showProgramMemory = m.flags[1];
        settings.showMainStorage = m.flags[2];
        settings.showStorageCard = m.flags[3];
        settings.largeIcons = m.large;
        wcscpy(settings.storageCardName, u"Storage Card");
        recountEnabledIndicators();
        captureBackground();
        if (enabledCount > 0) showFirstIndicator(NULL);
        // One round, after which every enabled kind holds its one icon.
        for (int tick = 0; tick < 4; ++tick) onIndicatorTimer(NULL, 0);
        const size_t objects = sim::liveGdiObjects(), icons = sim::liveIcons();
        for (int tick = 0; tick < 10000; ++tick) {
            // The card comes and goes, the charge changes and is sometimes unknown, and the
            // taskbar repaints now and then.
            if (tick % 7 == 0) sim::fileSystem().insertCard(u"Storage Card", static_cast<uint64_t>(tick), 20000);
            if (tick % 7 == 3) sim::fileSystem().ejectCard(u"Storage Card");
            sim::world().device.batteryPercent = static_cast<BYTE>(tick % 11 == 0 ? 255 : tick % 101);
            if (tick % 13 == 0) paintTaskbar(tick);
            onIndicatorTimer(NULL, tick % 5 == 0 ? RefreshInPlace : 0);
        }
        EXPECT_EQ(sim::liveGdiObjects(), objects);
        EXPECT_EQ(sim::liveIcons(), icons);
        EXPECT_LE(sim::liveIcons(), static_cast<size_t>(enabledCount));
        EXPECT_EQ(sim::liveGdiObjects(), enabledCount > 0 ? 2u : 1u) << "the saved background and the capture";
        EXPECT_EQ(sim::liveDeviceContexts(), 0u);
        TearDown();
        EXPECT_EQ(sim::liveGdiObjects(), 0u);
        EXPECT_EQ(sim::liveIcons(), 0u);
    }
}

}  // namespace
