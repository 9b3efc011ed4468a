#include "window_mode.h"

#include <SDL.h>

#include <fstream>
#include <iostream>

#include "scenario.h"
#include "screen/screen.h"
#include "world.h"

namespace scenario {
namespace {

struct Display {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;   // the simulated screen's size the texture was made for
    int height = 0;
};

void closeDisplay(Display& d) {
    if (d.texture) SDL_DestroyTexture(d.texture);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    if (d.window) SDL_DestroyWindow(d.window);
    d = Display();
}

// A rotation changes the screen's size: the window and its texture follow.
bool fitDisplay(Display& d, int width, int height, int scale) {
    if (d.texture && d.width == width && d.height == height) return true;
    if (d.texture) SDL_DestroyTexture(d.texture);
    SDL_SetWindowSize(d.window, width * scale, height * scale);
    d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    d.width = width;
    d.height = height;
    return d.texture != nullptr;
}

void present(Display& d, const sim::Surface& picture) {
    std::vector<uint32_t> argb(picture.pixels.size());
    for (size_t i = 0; i < argb.size(); ++i) {
        COLORREF c = picture.pixels[i];
        argb[i] = 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
                  GetBValue(c);
    }
    SDL_UpdateTexture(d.texture, nullptr, argb.data(), picture.width * 4);
    SDL_RenderClear(d.renderer);
    SDL_RenderCopy(d.renderer, d.texture, nullptr, nullptr);
    SDL_RenderPresent(d.renderer);
}

// A person's action, carried out as the scenario command it stands for; a mistake is reported
// and the window goes on.
void act(const std::string& line, Outcome& outcome) {
    try {
        runCommand(line, outcome);
    } catch (const ScenarioError& e) {
        std::cerr << "orvo-sim: " << line << ": " << e.what() << std::endl;
    }
}

}  // namespace

const char* windowKeysHelp() {
    return "  the mouse is the pen; keys: R taskbar repaint, O rotate the screen, S screenshot (orvo-sim-N.png),\n"
           "  N the notification icon, P pause or run simulated time, Q or Escape quit\n";
}

int runWindow(const WindowOptions& options) {
    std::cout << std::unitbuf;  // the event log prints as it happens
    // Only a real display will do: never a driver that draws nowhere.
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    if (SDL_getenv("DISPLAY") == nullptr && SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        std::cerr << "orvo-sim: --window needs a display, and DISPLAY is not set; run a scenario without --window, "
                     "or start an X server (for example Xvfb) and set DISPLAY"
                  << std::endl;
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::cerr << "orvo-sim: --window needs a display, and none could be opened (" << SDL_GetError()
                  << "); run a scenario without --window, or set DISPLAY" << std::endl;
        return 2;
    }
    Display d;
    const sim::Device& dev = sim::world().device;
    d.window = SDL_CreateWindow("orvo-sim", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, dev.screenWidth * options.scale,
                                dev.screenHeight * options.scale, 0);
    d.renderer = d.window ? SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    if (d.renderer == nullptr) {
        std::cerr << "orvo-sim: cannot open a window (" << SDL_GetError() << ")" << std::endl;
        closeDisplay(d);
        SDL_Quit();
        return 2;
    }
    int status = 0;
    if (!options.scenario.empty()) {
        std::ifstream file;
        if (options.scenario != "-") file.open(options.scenario);
        status = runScenario(options.scenario == "-" ? std::cin : file, options.scenario);
        if (status == 2) {
            closeDisplay(d);
            SDL_Quit();
            return status;
        }
    }
    Outcome outcome;
    bool paused = options.paused;
    int shots = 0;
    Uint32 last = SDL_GetTicks();
    for (bool running = true; running;) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_QUIT) running = false;
            if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
                act("tap " + std::to_string(e.button.x / options.scale) + " " + std::to_string(e.button.y / options.scale),
                    outcome);
            }
            if (e.type == SDL_KEYDOWN) {
                switch (e.key.keysym.sym) {
                    case SDLK_q:
                    case SDLK_ESCAPE: running = false; break;
                    case SDLK_r: act("taskbar-repaint", outcome); break;
                    case SDLK_n: act("tray-tap", outcome); break;
                    case SDLK_o:
                        act("screen " + std::to_string(dev.screenHeight) + " " + std::to_string(dev.screenWidth), outcome);
                        break;
                    case SDLK_p: paused = !paused; break;
                    case SDLK_s: {
                        std::string name = "orvo-sim-" + std::to_string(++shots) + ".png";
                        act("screenshot \"" + name + "\"", outcome);
                        std::cerr << "orvo-sim: screenshot " << name << std::endl;
                        break;
                    }
                    default: break;
                }
            }
        }
        Uint32 now = SDL_GetTicks();
        if (!paused && now > last) act("advance " + std::to_string(now - last), outcome);
        last = now;
        if (!fitDisplay(d, dev.screenWidth, dev.screenHeight, options.scale)) break;
        present(d, sim::screen::composeScreen());
        SDL_Delay(15);
    }
    closeDisplay(d);
    SDL_Quit();
    return outcome.expectFailed ? 1 : status;
}

}  // namespace scenario
