// orvo-sim: runs Orvo on a simulated Pocket PC, driven by a scenario.
#include <unistd.h>

#include <climits>
#include <fstream>
#include <iostream>
#include <string>

#include "device.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: orvo-sim FILE.scn   (- reads standard input)\n";
        return 2;
    }
    std::string file = argv[1];
    std::ifstream in;
    if (file != "-") {
        in.open(file);
        if (!in) {
            std::cerr << file << ":0: cannot open the scenario\n";
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
