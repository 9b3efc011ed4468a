// orvo-sim: runs Orvo on a simulated Pocket PC, driven by a scenario, or in a window by a person.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "device.h"
#include "fault_sweep.h"
#include "monkey.h"
#include "scenario/scenario_reader.h"
#include "scenario.h"
#include "window_mode.h"
#include "world.h"

namespace {

std::string programImagePath() {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = ".";
    if (n > 0) {
        self[n] = 0;
        dir = self;
        dir = dir.substr(0, dir.rfind('/'));
    }
    return dir + "/liborvo_program.so";
}

std::string usageText() {
    return std::string("usage: orvo-sim FILE.scn   (- reads standard input)\n"
                       "       orvo-sim --window [--scale N] [--paused] [FILE.scn]\n"
                       "       orvo-sim --sweep [--jobs N] [--most M] FILE.scn ...\n"
                       "       orvo-sim --monkey SEED [--steps N] [--seeds K] [--print]\n"
                       "       orvo-sim --help\n") +
           scenario::windowKeysHelp() +
           "Runs Orvo on a simulated Pocket PC, driven by the scenario, and writes the event log to\n"
           "standard output. Exit status: 0 the scenario ran to its end, 1 an expect failed, 2 a mistake\n"
           "in the scenario (reported on standard error as FILE:LINE: message), 3 a fault the device caught.\n";
}

int usage() {
    std::cerr << usageText();
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--sweep") {
        sim::setProgramImagePath(programImagePath());
        return scenario::runFaultSweep(argc - 2, argv + 2);
    }
    if (argc >= 2 && std::string(argv[1]) == "--monkey") {
        sim::setProgramImagePath(programImagePath());
        return scenario::runMonkey(argc - 2, argv + 2);
    }
    bool window = false;
    scenario::WindowOptions options;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << usageText();
            return 0;
        } else if (a == "--window") {
            window = true;
        } else if (a == "--paused") {
            options.paused = true;
        } else if (a == "--scale" && i + 1 < argc) {
            options.scale = std::atoi(argv[++i]);
            if (options.scale < 1 || options.scale > 8) return usage();
        } else if (file.empty() && (a == "-" || a.rfind("--", 0) != 0)) {
            file = a;
        } else {
            return usage();
        }
    }
    if (file.empty() && !window) return usage();
    if (!window && (options.paused || options.scale != 2)) return usage();
    std::ifstream in;
    if (!file.empty() && file != "-") {
        std::string problem = scenario::openScenarioFile(file, &in);
        if (!problem.empty()) {
            std::cerr << file << ":0: " << problem << "\n";
            return 2;
        }
    }
    sim::setProgramImagePath(programImagePath());
    sim::bootDevice();
    int status;
    if (window) {
        in.close();
        options.scenario = file;
        status = scenario::runWindow(options);
    } else {
        status = scenario::runScenario(file == "-" ? std::cin : in, file);
    }
    std::cout.flush();
    sim::shutdownDevice();
    return status;
}
