// orvo-sim: runs Orvo on a simulated Pocket PC, driven by a scenario.
#include <unistd.h>

#include <climits>
#include <fstream>
#include <iostream>
#include <string>

#include "device.h"
#include "scenario/scenario_reader.h"
#include "scenario.h"
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

const char kUsage[] =
    "usage: orvo-sim FILE.scn\n"
    "       orvo-sim -          (reads the scenario from standard input)\n"
    "       orvo-sim --help\n"
    "Runs Orvo on a simulated Pocket PC, driven by the scenario, and writes the event log to\n"
    "standard output. Exit status: 0 the scenario ran to its end, 1 an expect failed, 2 a mistake\n"
    "in the scenario (reported on standard error as FILE:LINE: message).\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 2) {
        std::cerr << kUsage;
        return 2;
    }
    std::string file = argv[1];
    std::ifstream in;
    if (file != "-") {
        std::string problem = scenario::openScenarioFile(file, &in);
        if (!problem.empty()) {
            std::cerr << file << ":0: " << problem << "\n";
            return 2;
        }
    }
    sim::setProgramImagePath(programImagePath());
    sim::bootDevice();
    int status = scenario::runScenario(file == "-" ? std::cin : in, file == "-" ? "-" : file);
    std::cout.flush();
    sim::shutdownDevice();
    return status;
}
