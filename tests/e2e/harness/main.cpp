// orvo-e2e: runs a scenario on the real system with Orvo's test build and the stand-in Pocket PC,
// printing the simulator's event lines. The device's file system is drive P: (the run script maps
// it to a fresh folder), and the screen is the X server's.
//   orvo-e2e FILE.scn
// Exit status as the simulator's: 0 ran to its end, 1 an expect failed, 2 an error in the
// scenario; 3 when the runner itself failed.
#include <fcntl.h>
#include <io.h>

#include <fstream>
#include <iostream>

#include "scenario/scenario_reader.h"
#include "tests/e2e/harness/commands.h"

namespace {

int runScenario(std::istream& in, const std::string& fileName) {
    scenario::ScenarioReader reader(in);
    std::string line;
    e2e::Outcome outcome;
    // ORVO_E2E_TIMING=1: how long each command took, on standard error.
    const bool timing = GetEnvironmentVariableW(L"ORVO_E2E_TIMING", NULL, 0) > 0;
    try {
        while (reader.next(&line)) {
            DWORD started = GetTickCount();
            std::vector<scenario::Token> tokens = scenario::tokenize(line);
            if (tokens.empty()) continue;
            if (tokens[0].quoted) throw scenario::ScenarioError("a command cannot be a string");
            const e2e::Command* command = e2e::findCommand(tokens[0].bare);
            if (command == nullptr) throw scenario::ScenarioError("unknown command " + tokens[0].bare);
            scenario::Args args(tokens[0].bare, std::vector<scenario::Token>(tokens.begin() + 1, tokens.end()));
            (*command)(args, outcome);
            e2e::settle();
            for (const std::string& failure : outcome.failures) {
                std::cerr << fileName << ":" << reader.lineNumber() << ": expect failed: " << failure << std::endl;
            }
            outcome.failures.clear();
            if (timing) std::cerr << (GetTickCount() - started) << " ms: " << line << std::endl;
        }
    } catch (const scenario::ScenarioError& e) {
        std::cerr << fileName << ":" << reader.lineNumber() << ": " << e.what() << std::endl;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << fileName << ":" << reader.lineNumber() << ": the runner failed: " << e.what() << std::endl;
        return 3;
    }
    return outcome.expectFailed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the event log's lines end as the simulator's do
    if (argc != 2) {
        std::cerr << "usage: orvo-e2e FILE.scn\n";
        return 2;
    }
    std::ifstream in;
    std::string problem = scenario::openScenarioFile(argv[1], &in);
    if (!problem.empty()) {
        std::cerr << argv[1] << ":0: " << problem << "\n";
        return 2;
    }
    if (GetFileAttributesW(L"P:\\") == INVALID_FILE_ATTRIBUTES || !SetCurrentDirectoryW(L"P:\\")) {
        std::cerr << "orvo-e2e: drive P: (the device's file system) is not mapped\n";
        return 3;
    }
    int status;
    try {
        e2e::bootDevice();
        e2e::startShell();
        e2e::settle();
        status = runScenario(in, argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "orvo-e2e: " << e.what() << std::endl;
        status = 3;
    }
    std::cout.flush();
    // A scenario that ends while Orvo runs leaves it running: the process ends with it.
    ExitProcess(static_cast<UINT>(status));
}
