#include "scenario/scenario_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace scenario {

std::string openScenarioFile(const std::string& path, std::ifstream* in) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return std::string("cannot open the scenario: ") + std::strerror(errno);
    // A directory opens for reading on some systems and then reads as nothing.
    if (S_ISDIR(info.st_mode)) return "a directory, not a scenario file";
    in->open(path, std::ios::in | std::ios::binary);
    if (!*in) return std::string("cannot open the scenario: ") + std::strerror(errno);
    return "";
}

bool ScenarioReader::next(std::string* line) {
    ++lineNumber_;
    if (std::getline(in_, *line)) return true;
    if (in_.bad()) throw ScenarioError("cannot read the scenario");
    --lineNumber_;
    return false;
}

}  // namespace scenario
