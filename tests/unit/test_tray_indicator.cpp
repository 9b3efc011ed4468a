// The indicator in the notification icon (no taskbar window): what the notification area holds
// after each presentation must be the icon of the kind and reading, built here from the image
// resources and the glyph table apart from the code under test, at the notification area's own
// size; the screen is never touched; every replaced icon is released.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/tray_icon.h"
#include "file_system.h"
#include "gdi.h"
#include "indicators/icon_composer.h"
#include "indicators/icon_slots.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "indicators/indicator_place.h"
#include "indicators/tray_indicator.h"
#include "res/resource.h"
#include "resources.h"
#include "settings/settings_record.h"
#include "shell_services.h"
#include "tests/unit/icon_models.h"
#include "window_manager.h"
#include "world.h"

namespace {

IndicatorReading measured(IndicatorKind kind, int32_t percent, StatusIcon icon) {
    return IndicatorReading{kind, percent, icon, true};
}

// ---- the expected images ----

using Expected = iconModel::IconModel;

// The number icon of the kind and value at the given size.
Expected numberIcon(int kind, int value, bool large) {
    return iconModel::numberIcon(static_cast<IndicatorKind>(kind), iconModel::layout(value, large), large);
}

Expected resourceIcon(unsigned id) { return iconModel::statusIcon(id); }

// The art's icon put unscaled at the centre of an icon of `size` pixels, the margin transparent.
Expected centred(Expected art, int size) {
    iconModel::centreIn<COLORREF>(art.mask, art.colour, art.size, size, 0xFFFFFF, 0);
    art.size = size;
    return art;
}

// ---- the fixture: a main window with its notification icon, no taskbar ----

class TrayIndicator : public ::testing::Test {
protected:
    void SetUp() override {
        sim::setLogStream(&log);
        sim::resetGdi();
        sim::clearFaults();
        sim::clearTrayIcons();
        sim::world().device = sim::Device();
        sim::resizeScreen(240, 320);
        sim::Surface& s = sim::screenSurface();
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) s.set(x, y, RGB(x * 3 & 0xFF, y & 0xFF, (x + y) & 1 ? 0x40 : 0x90));
        screenBefore = s.pixels;
        sim::fileSystem().reset();
        settings = defaultSettings();
        resetIconSlots();
        recountEnabledIndicators();
        resetScheduler();
        window = sim::createNativeWindow(nullptr, u"ORVO", u"Orvo", nullptr, 0, RECT{0, 0, 240, 320});
        mainWindow = window;
        chooseIndicatorPlace(NULL, 120);
        openIndicator();
        addTrayIcon(window, loadTrayIcon());
    }
    void TearDown() override {
        sim::clearFaults();
        releaseIconSlots();
        releaseCanvasBitmaps();
        releaseTrayIcon();
        sim::clearTrayIcons();
        sim::removeWindow(window);
        chooseIndicatorPlace(reinterpret_cast<HWND>(1), 120);
        sim::setLogStream(&std::cout);
    }

    const sim::TrayIcon& tray() const { return sim::trayIcons().at(0); }

    ::testing::AssertionResult trayShows(const Expected& e) const {
        const sim::TrayIcon& t = tray();
        if (!t.hasImage) return ::testing::AssertionFailure() << "no image";
        if (t.colour.width != e.size || t.colour.height != e.size || t.mask.width != e.size) {
            return ::testing::AssertionFailure() << "size " << t.colour.width << ", expected " << e.size;
        }
        for (size_t i = 0; i < e.mask.size(); ++i) {
            if (t.mask.pixels[i] != e.mask[i] || t.colour.pixels[i] != e.colour[i]) {
                return ::testing::AssertionFailure() << "pixel (" << i % e.size << ", " << i / e.size << ") differs";
            }
        }
        return ::testing::AssertionSuccess();
    }
    std::string tip() const { return sim::toUtf8(tray().tip); }
    bool screenUntouched() const { return sim::screenSurface().pixels == screenBefore; }

    HWND window = nullptr;
    std::vector<COLORREF> screenBefore;
    std::ostringstream log;
};

// ---- tooltips ----

TEST(TrayTips, NameTheQuantityAndTheValueAsTheIconShowsIt) {
    struct Case {
        IndicatorReading reading;
        const char16_t* tip;
    };
    const Case cases[] = {
        {measured(Battery, 80, NoStatusIcon), u"Orvo: battery 80 %"},
        {measured(Battery, 254, NoStatusIcon), u"Orvo: battery 100 %"},
        {measured(Battery, 0, NoStatusIcon), u"Orvo: battery 0 %"},
        {measured(ProgramMemory, 37, NoStatusIcon), u"Orvo: program memory 37 % free"},
        {measured(MainStorage, 100, NoStatusIcon), u"Orvo: main storage 100 % free"},
        {measured(StorageCard, 5, NoStatusIcon), u"Orvo: storage card 5 % free"},
        {measured(StorageCard, -3, NoStatusIcon), u"Orvo: storage card 0 % free"},
        {measured(Battery, 0, ChargingIcon), u"Orvo: battery charging"},
        {measured(Battery, 0, BatteryUnknownIcon), u"Orvo: battery charge unknown"},
        {measured(StorageCard, 0, NoCardIcon), u"Orvo: no storage card"},
    };
    for (const Case& c : cases) {
        WCHAR tip[TrayTipUnits];
        trayTipText(c.reading, tip);
        EXPECT_EQ(std::u16string(tip), c.tip);
    }
}

// ---- the icon in the notification area ----

TEST_F(TrayIndicator, EveryKindAndValueIsTheComposedIconAtTheNotificationAreasSize) {
    for (bool vga : {false, true}) {
        sim::world().device.screenWidth = vga ? 480 : 240;
        sim::world().device.screenHeight = vga ? 640 : 320;
        // largeIcons is the taskbar's choice; the notification area asks for its own size.
        for (int largeIcons : {0, 1}) {
            settings.largeIcons = largeIcons;
            EXPECT_EQ(indicatorIconsLarge(), vga ? TRUE : FALSE);
            for (int kind = 0; kind < IndicatorKindCount; ++kind) {
                for (int value : {0, 7, 42, 99, 100, 254}) {
                    SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(value) + (vga ? " vga" : ""));
                    IndicatorReading reading = measured(static_cast<IndicatorKind>(kind), value, NoStatusIcon);
                    composeIndicatorIcon(window, reading.kind, value);
                    presentInTray(window, reading.kind, &reading);
                    EXPECT_TRUE(trayShows(numberIcon(kind, value > 100 ? 100 : value, vga)));
                    EXPECT_EQ(iconSlots[kind].previous, nullptr);
                }
            }
        }
    }
    // One icon a kind is alive, with the program's own notification icon, and nothing was drawn
    // on the screen.
    EXPECT_EQ(sim::liveIcons(), static_cast<size_t>(IndicatorKindCount) + 1);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
    EXPECT_EQ(sim::liveDeviceContexts(), 0u);
    EXPECT_TRUE(screenUntouched());
}

// The notification area's size with the screen's DPI: the 16-pixel art below 32 pixels, the
// 32-pixel art from 32 on, drawn unscaled at the centre with a transparent margin.
struct DpiCase {
    int asked;   // SM_CXSMICON
    int size;    // the icon's size
    bool large;  // the 32-pixel art
    int margin;  // the art's offset, across and down
};
const DpiCase DpiCases[] = {{16, 16, false, 0}, {20, 20, false, 2}, {24, 24, false, 4}, {32, 32, true, 0},
                            {48, 48, true, 8},  {18, 18, false, 1}, {40, 40, true, 4},
                            // A metric that makes no sense gives the nearest sensible size.
                            {1, 16, false, 0},  {5000, TrayIconPixelsMost, true, (TrayIconPixelsMost - 32) / 2}};

TEST_F(TrayIndicator, AtEveryDpiTheIconHasTheAskedSizeWithTheArtUnscaledAtItsCentre) {
    for (const DpiCase& c : DpiCases) {
        sim::world().device.smallIconSize = c.asked;
        for (int largeIcons : {0, 1}) {  // the taskbar's choice changes nothing here
            settings.largeIcons = largeIcons;
            for (int kind = 0; kind < IndicatorKindCount; ++kind) {
                for (int value : {1, 42, 100}) {
                    SCOPED_TRACE("SM_CXSMICON " + std::to_string(c.asked) + ", kind " + std::to_string(kind) + ", " +
                                 std::to_string(value));
                    IndicatorReading reading = measured(static_cast<IndicatorKind>(kind), value, NoStatusIcon);
                    composeIndicatorIcon(window, reading.kind, value);
                    presentInTray(window, reading.kind, &reading);
                    const Expected want = centred(numberIcon(kind, value, c.large), c.size);
                    ASSERT_EQ(want.size, c.size);
                    EXPECT_TRUE(trayShows(want));
                }
            }
        }
        // The art's own corner pixels sit at the margin: a stretched or shifted picture differs.
        const sim::TrayIcon& t = tray();
        const Expected art = numberIcon(StorageCard, 100, c.large);
        for (int y = 0; y < art.size; ++y)
            for (int x = 0; x < art.size; ++x)
                ASSERT_EQ(t.colour.get(c.margin + x, c.margin + y), art.colour[static_cast<size_t>(y * art.size + x)])
                    << "SM_CXSMICON " << c.asked << " at (" << x << ", " << y << ") of the art";
        // Every margin pixel is transparent: white in the mask, black in the colour image.
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const bool inArt = x >= c.margin && x < c.margin + art.size && y >= c.margin && y < c.margin + art.size;
                if (inArt) continue;
                ASSERT_EQ(t.mask.get(x, y), RGB(255, 255, 255)) << "mask at (" << x << ", " << y << ")";
                ASSERT_EQ(t.colour.get(x, y), RGB(0, 0, 0)) << "colour at (" << x << ", " << y << ")";
            }
    }
    EXPECT_EQ(sim::liveIcons(), static_cast<size_t>(IndicatorKindCount) + 1);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
    EXPECT_EQ(sim::liveDeviceContexts(), 0u);
    EXPECT_TRUE(screenUntouched());
}

TEST_F(TrayIndicator, AtEveryDpiStatusIconsComeUnscaledAtTheCentre) {
    struct Status {
        StatusIcon icon;
        unsigned small, large;
    };
    const Status statuses[] = {{ChargingIcon, ChargingIconSmall, ChargingIconLarge},
                               {BatteryUnknownIcon, BatteryUnknownIconSmall, BatteryUnknownIconLarge},
                               {NoCardIcon, NoCardIconSmall, NoCardIconLarge}};
    for (const DpiCase& c : DpiCases) {
        sim::world().device.smallIconSize = c.asked;
        for (const Status& st : statuses) {
            SCOPED_TRACE("SM_CXSMICON " + std::to_string(c.asked) + ", status icon " + std::to_string(st.small));
            const IndicatorKind kind = st.icon == NoCardIcon ? StorageCard : Battery;
            loadStatusIcon(kind, st.icon);
            IndicatorReading reading = measured(kind, 0, st.icon);
            presentInTray(window, kind, &reading);
            EXPECT_TRUE(trayShows(centred(resourceIcon(c.large ? st.large : st.small), c.size)));
            EXPECT_EQ(iconSlots[kind].previous, nullptr);
        }
    }
    // The icon loaded at the art's size is let go once it is in the bigger one.
    EXPECT_EQ(sim::liveIcons(), 2u + 1u);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
    EXPECT_EQ(sim::liveDeviceContexts(), 0u);
}

// The program's own icon, which the notification area shows while a dialog is open, comes at the
// area's size too: its art unscaled at the centre, the margin transparent.
TEST_F(TrayIndicator, AtEveryDpiTheProgramsOwnIconComesUnscaledAtTheCentre) {
    for (const DpiCase& c : DpiCases) {
        SCOPED_TRACE("SM_CXSMICON " + std::to_string(c.asked));
        sim::world().device.smallIconSize = c.asked;
        releaseTrayIcon();
        HICON programIcon = loadTrayIcon();
        ASSERT_NE(programIcon, nullptr);
        notifyTrayIcon(NIM_MODIFY, window, NIF_ICON, programIcon, nullptr);
        EXPECT_TRUE(trayShows(centred(resourceIcon(c.large ? TrayIconLarge : TrayIconSmall), c.size)));
    }
    // Only the icon in use is held: each one loaded at the art's size went into the bigger one.
    releaseTrayIcon();
    EXPECT_EQ(sim::liveIcons(), 0u);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
}

// Any one call failing while an icon is made at a size between the art's leaves the kind's last
// icon (never a half-made one) and leaks nothing; the next reading shows the new value.
TEST_F(TrayIndicator, AtAnotherDpiAFailedCallKeepsTheLastIconAndLeaksNothing) {
    sim::world().device.smallIconSize = 20;
    IndicatorReading charging = measured(Battery, 0, ChargingIcon);
    IndicatorReading sixty = measured(Battery, 60, NoStatusIcon);
    composeIndicatorIcon(window, Battery, 60);
    presentInTray(window, Battery, &sixty);
    const Expected last = centred(numberIcon(Battery, 60, false), 20);
    ASSERT_TRUE(trayShows(last));
    const size_t icons = sim::liveIcons();
    for (const char* op : {"GetDC", "CreateCompatibleDC", "CreateCompatibleBitmap", "SelectObject", "BitBlt",
                           "LoadBitmapW", "LoadImageW", "FillRect", "DrawIconEx", "CreateDIBSection",
                           "CreateIconIndirect"}) {
        for (int after = 0; after < 16; ++after) {
            SCOPED_TRACE(std::string(op) + " failing after " + std::to_string(after) + " calls");
            for (bool status : {false, true}) {
                sim::Op operation;
                ASSERT_TRUE(sim::operationNamed(op, &operation));
                const uint64_t before = sim::operationCalls(operation);
                sim::failOperation(operation, 1, false, static_cast<uint64_t>(after));
                if (status) {
                    loadStatusIcon(Battery, ChargingIcon);
                } else {
                    composeIndicatorIcon(window, Battery, 61);
                }
                const bool failed = sim::operationCalls(operation) - before > static_cast<uint64_t>(after);
                sim::clearFaults();
                presentInTray(window, Battery, status ? &charging : &sixty);
                EXPECT_EQ(sim::liveIcons(), icons);
                EXPECT_EQ(sim::liveGdiObjects(), 0u);
                EXPECT_EQ(sim::liveDeviceContexts(), 0u);
                const Expected made = status ? centred(resourceIcon(ChargingIconSmall), 20)
                                             : centred(numberIcon(Battery, 61, false), 20);
                // A failure may come where the icon is already made (putting a bitmap back);
                // otherwise the icon must be the new one.
                if (failed) {
                    EXPECT_TRUE(trayShows(last) || trayShows(made));
                } else {
                    EXPECT_TRUE(trayShows(made));
                }
                // Back to the last icon for the next case.
                composeIndicatorIcon(window, Battery, 60);
                presentInTray(window, Battery, &sixty);
                ASSERT_TRUE(trayShows(last));
            }
        }
    }
}

TEST_F(TrayIndicator, TheSchedulerShowsStatusIconsAndTipsThere) {
    settings.showStorageCard = 1;
    recountEnabledIndicators();
    wcscpy(settings.storageCardName, u"Storage Card");
    sim::world().device.batteryPercent = 255;
    sim::world().device.batteryFlag = 8;
    showFirstIndicator(window);
    EXPECT_TRUE(trayShows(resourceIcon(ChargingIconSmall)));
    EXPECT_EQ(tip(), "Orvo: battery charging");
    onIndicatorTimer(window, 0);
    EXPECT_TRUE(trayShows(numberIcon(ProgramMemory, 37, false)));
    EXPECT_EQ(tip(), "Orvo: program memory 37 % free");
    onIndicatorTimer(window, 0);
    EXPECT_EQ(tip(), "Orvo: main storage 31 % free");
    onIndicatorTimer(window, 0);
    EXPECT_TRUE(trayShows(resourceIcon(NoCardIconSmall)));
    EXPECT_EQ(tip(), "Orvo: no storage card");
    sim::world().device.batteryFlag = 9;
    onIndicatorTimer(window, 0);
    EXPECT_TRUE(trayShows(resourceIcon(BatteryUnknownIconSmall)));
    EXPECT_EQ(tip(), "Orvo: battery charge unknown");
    // On a VGA screen the status icons come at 32 pixels.
    sim::world().device.screenWidth = 480;
    sim::world().device.screenHeight = 640;
    onIndicatorTimer(window, RefreshInPlace);
    EXPECT_TRUE(trayShows(resourceIcon(BatteryUnknownIconLarge)));
    EXPECT_TRUE(screenUntouched());
    EXPECT_EQ(iconShown, 1);
}

TEST_F(TrayIndicator, TheTrayPlaceNeitherReadsNorWritesTheScreen) {
    IndicatorReading reading = measured(MainStorage, 55, NoStatusIcon);
    composeIndicatorIcon(window, MainStorage, 55);
    presentInTray(window, MainStorage, &reading);
    sim::screenTraffic() = sim::ScreenTraffic();
    openIndicator();
    EXPECT_EQ(canvas.savedBackground, nullptr);
    // Moving or resizing changes only the position the Settings dialog shows.
    settings.largeIcons = 1;
    moveIndicator(300);
    EXPECT_EQ(canvas.iconXInUse, 300);
    EXPECT_EQ(canvas.savedBackground, nullptr);
    // Erasing the indicator (a dialog opens) gives the notification area the program's own icon
    // and takes the tooltip away; the slots keep their icons for the next presentation.
    EXPECT_TRUE(eraseIndicator());
    EXPECT_TRUE(trayShows(resourceIcon(TrayIconSmall)));
    EXPECT_EQ(tip(), "Orvo");
    EXPECT_NE(iconSlots[MainStorage].current, nullptr);
    EXPECT_EQ(sim::screenTraffic().pixelsRead + sim::screenTraffic().pixelsWritten, 0u);
    EXPECT_TRUE(screenUntouched());
}

TEST_F(TrayIndicator, FailuresKeepTheLastIconAndReleaseTheReplacedOne) {
    IndicatorReading first = measured(Battery, 60, NoStatusIcon);
    composeIndicatorIcon(window, Battery, 60);
    presentInTray(window, Battery, &first);
    const size_t icons = sim::liveIcons();
    // A composition that fails leaves the kind's last icon, and the tooltip names what that icon
    // shows, not the reading that could not be drawn.
    sim::failOperation("CreateIconIndirect", 1, false, 0);
    IndicatorReading second = measured(Battery, 61, NoStatusIcon);
    composeIndicatorIcon(window, Battery, 61);
    presentInTray(window, Battery, &second);
    EXPECT_TRUE(trayShows(numberIcon(Battery, 60, false)));
    EXPECT_EQ(tip(), "Orvo: battery 60 %");
    EXPECT_EQ(sim::liveIcons(), icons);
    // A notification area that refuses the change still lets the replaced icon go.
    sim::failOperation("Shell_NotifyIcon", 1, false, 0);
    composeIndicatorIcon(window, Battery, 62);
    IndicatorReading r62 = measured(Battery, 62, NoStatusIcon);
    presentInTray(window, Battery, &r62);
    EXPECT_EQ(iconSlots[Battery].previous, nullptr);
    EXPECT_EQ(sim::liveIcons(), icons);
    EXPECT_TRUE(trayShows(numberIcon(Battery, 60, false)));
    // A kind whose first composition failed leaves the icon and its tooltip as they were.
    sim::failOperation("CreateIconIndirect", 1, false, 0);
    composeIndicatorIcon(window, ProgramMemory, 12);
    IndicatorReading r12 = measured(ProgramMemory, 12, NoStatusIcon);
    presentInTray(window, ProgramMemory, &r12);
    EXPECT_TRUE(trayShows(numberIcon(Battery, 60, false)));
    EXPECT_EQ(tip(), "Orvo: battery 60 %");
    // The next tick that can draw brings picture and text together.
    composeIndicatorIcon(window, ProgramMemory, 13);
    IndicatorReading r13 = measured(ProgramMemory, 13, NoStatusIcon);
    presentInTray(window, ProgramMemory, &r13);
    EXPECT_TRUE(trayShows(numberIcon(ProgramMemory, 13, false)));
    EXPECT_EQ(tip(), "Orvo: program memory 13 % free");
    // The refused change is no event of the notification area.
    EXPECT_EQ(log.str(), "0 tray-add 5302 161\n0 tray-modify 5302 \"Orvo: battery 60 %\"\n"
                         "0 tray-modify 5302 \"Orvo: battery 60 %\"\n"
                         "0 tray-modify 5302 \"Orvo: program memory 13 % free\"\n");
}

}  // namespace
