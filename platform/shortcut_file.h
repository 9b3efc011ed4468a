// The device's shortcut file, "<length>#<command line>" in single-byte characters: written by the
// simulated shell and by the desktop's stand-in for the shortcut writer, read by whatever starts
// the Startup folder's programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shortcut_file {

inline std::vector<uint8_t> bytesFor(const std::u16string& target) {
    std::string text = std::to_string(target.size()) + "#";
    for (char16_t c : target) text += static_cast<char>(c < 0x100 ? c : '?');
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The program the shortcut starts, without its quotes; empty when the bytes are no shortcut.
inline std::u16string target(const std::vector<uint8_t>& contents) {
    std::u16string text;
    for (uint8_t b : contents) text += static_cast<char16_t>(b);
    size_t hash = text.find(u'#');
    if (hash == std::u16string::npos || hash == 0) return u"";
    for (size_t i = 0; i < hash; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return u"";
    }
    std::u16string commandLine = text.substr(hash + 1);
    while (!commandLine.empty() && (commandLine.back() == u'\r' || commandLine.back() == u'\n')) commandLine.pop_back();
    if (commandLine.size() >= 2 && commandLine.front() == u'"') {
        size_t close = commandLine.find(u'"', 1);
        if (close == std::u16string::npos) return u"";
        commandLine = commandLine.substr(1, close - 1);
    }
    return commandLine;
}

}  // namespace shortcut_file
