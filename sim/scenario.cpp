#include "scenario.h"

#include <iostream>
#include <sstream>

#include "device.h"
#include "scheduler.h"
#include "world.h"

namespace scenario {

std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> table;
    return table;
}

std::vector<Token> tokenize(const std::string& line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t;
            t.quoted = true;
            ++i;
            bool closed = false;
            std::string utf8;
            while (i < line.size()) {
                char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) throw ScenarioError("unterminated escape in string");
                    char e = line[i + 1];
                    if (e == '"' || e == '\\') {
                        utf8 += e;
                        i += 2;
                    } else if (e == 'u') {
                        if (i + 6 > line.size()) throw ScenarioError("bad \\u escape");
                        std::string digits = line.substr(i + 2, 4);
                        for (char h : digits) {
                            if (!isxdigit(static_cast<unsigned char>(h))) throw ScenarioError("bad \\u escape");
                        }
                        // Flush the UTF-8 gathered so far, then add the unit itself.
                        t.text += sim::fromUtf8(utf8);
                        utf8.clear();
                        t.text += static_cast<char16_t>(std::stoul(digits, nullptr, 16));
                        i += 6;
                    } else {
                        throw ScenarioError(std::string("unknown escape \\") + e + " in string");
                    }
                } else {
                    utf8 += d;
                    ++i;
                }
            }
            if (!closed) throw ScenarioError("unterminated string");
            t.text += sim::fromUtf8(utf8);
            tokens.push_back(t);
        } else {
            Token t;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n') {
                if (line[i] == '"') throw ScenarioError("quote inside a word");
                t.bare += line[i++];
            }
            tokens.push_back(t);
        }
    }
    return tokens;
}

const Token& Args::at(size_t i) const {
    if (i >= tokens_.size()) throw ScenarioError(command_ + ": missing argument");
    return tokens_[i];
}

std::u16string Args::string(size_t i) const {
    const Token& t = at(i);
    if (!t.quoted) throw ScenarioError(command_ + ": expected a quoted string, got " + t.bare);
    return t.text;
}

std::string Args::word(size_t i) const {
    const Token& t = at(i);
    if (t.quoted) throw ScenarioError(command_ + ": expected a word, got a string");
    return t.bare;
}

int64_t Args::number(size_t i) const {
    std::string w = word(i);
    bool negative = !w.empty() && w[0] == '-';
    std::string digits = negative ? w.substr(1) : w;
    uint64_t magnitude = 0;
    size_t used = 0;
    try {
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            magnitude = std::stoull(digits.substr(2), &used, 16);
            used += 2;
        } else {
            magnitude = std::stoull(digits, &used, 10);
        }
    } catch (const std::exception&) {
        throw ScenarioError(command_ + ": bad number " + w);
    }
    if (used != digits.size() || digits.empty()) throw ScenarioError(command_ + ": bad number " + w);
    return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

uint64_t Args::unsignedNumber(size_t i) const {
    std::string w = word(i);
    if (!w.empty() && w[0] == '-') throw ScenarioError(command_ + ": expected a count, got " + w);
    return static_cast<uint64_t>(number(i));
}

std::vector<uint8_t> Args::hexBytes(size_t i) const {
    const Token& t = at(i);
    std::string digits = t.quoted ? sim::toUtf8(t.text) : t.bare;
    if (digits.size() % 2 != 0) throw ScenarioError(command_ + ": hex bytes need pairs of digits");
    std::vector<uint8_t> out;
    for (size_t k = 0; k < digits.size(); k += 2) {
        if (!isxdigit(static_cast<unsigned char>(digits[k])) || !isxdigit(static_cast<unsigned char>(digits[k + 1]))) {
            throw ScenarioError(command_ + ": bad hex bytes");
        }
        out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(k, 2), nullptr, 16)));
    }
    return out;
}

void Args::expectCount(size_t min, size_t max) const {
    if (tokens_.size() < min || tokens_.size() > max) throw ScenarioError(command_ + ": wrong number of arguments");
}

void settle() {
    for (;;) {
        sim::runUntilIdle();
        if (!sim::world().resetRequested) return;
        sim::world().resetRequested = false;
        sim::warmReset();
    }
}

int runScenario(std::istream& in, const std::string& fileName) {
    std::string line;
    int lineNumber = 0;
    Outcome outcome;
    while (std::getline(in, line)) {
        ++lineNumber;
        try {
            std::vector<Token> tokens = tokenize(line);
            if (tokens.empty()) continue;
            if (tokens[0].quoted) throw ScenarioError("a command cannot be a string");
            std::string name = tokens[0].bare;
            auto it = commands().find(name);
            if (it == commands().end()) throw ScenarioError("unknown command " + name);
            Args args(name, std::vector<Token>(tokens.begin() + 1, tokens.end()));
            it->second(args, outcome);
            settle();
        } catch (const ScenarioError& e) {
            std::cout.flush();
            std::cerr << fileName << ":" << lineNumber << ": " << e.what() << std::endl;
            return 2;
        }
    }
    return outcome.expectFailed ? 1 : 0;
}

}  // namespace scenario
