// Registry values of every type and length where the program reads them: the installation
// directory (HKCU "Software\Marund\Orvo" "InstallDir") and the PPP peer's address (HKLM
// "Comm\Tcpip\Hosts\ppp_peer" "ipaddr"), with the key or value missing, and at times one of the
// registry or memory operations failing.
//
// Checked: the directory is read exactly when the value was read into its 520-byte buffer and its
// text (up to the first NUL unit, or the whole value) fits 260 units with the terminator; it is
// then that text, terminated, and otherwise untouched; the settings path follows from it; a peer
// is present exactly when "ipaddr" exists and fits 4 bytes; every key handle is closed.
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/install_dir.h"
#include "handles.h"
#include "registry.h"
#include "settings/settings_file.h"
#include "taskbar/taskbar_hook.h"
#include "tests/fuzz/fuzz_device.h"
#include "world.h"

namespace {

const DWORD kTypes[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ};

struct Value {
    bool key = false;
    bool value = false;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

Value makeValue(FuzzedDataProvider& in, HKEY root, const std::u16string& key, const std::u16string& name) {
    Value v;
    int shape = in.ConsumeIntegralInRange(0, 9);
    v.key = shape != 0;
    v.value = shape > 1;
    if (v.key) sim::registry().create(root, key);
    if (!v.value) return v;
    v.type = in.ConsumeBool() ? kTypes[in.ConsumeIntegralInRange<size_t>(0, std::size(kTypes) - 1)]
                              : in.ConsumeIntegral<DWORD>();
    if (in.ConsumeBool()) {
        // Text, as most values are: terminated or not, around the lengths that matter.
        std::u16string text = fuzz::text(in, 300);
        v.data = fuzz::utf16Bytes(text, in.ConsumeBool());
        if (in.ConsumeBool() && !v.data.empty()) v.data.pop_back();  // an odd length
    } else {
        v.data = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 1100));
    }
    sim::registry().setValue(root, key, name, v.type, v.data);
    return v;
}

// What the installation directory's value reads as: its UTF-16LE units up to the first NUL unit
// or the end of the value (an odd last byte belongs to no unit).
std::u16string valueText(const std::vector<uint8_t>& data) {
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        text += unit;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::freshDevice();
    Value dir = makeValue(in, HKEY_CURRENT_USER, u"Software\\Marund\\Orvo", u"InstallDir");
    Value peer = makeValue(in, HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", u"ipaddr");

    // One operation on the way may fail, as the platform's do.
    const char* const operations[] = {"RegOpenKeyExW", "RegQueryValueExW", "LocalAlloc"};
    const char* failing = in.ConsumeIntegralInRange(0, 3) == 0
                              ? operations[in.ConsumeIntegralInRange<size_t>(0, std::size(operations) - 1)]
                              : nullptr;

    const std::u16string untouched = u"\\untouched";
    wcscpy(installDir, untouched.c_str());
    for (size_t i = untouched.size() + 1; i < InstallDirUnits; ++i) installDir[i] = u'\xABCD';
    if (failing) sim::failOperation(failing, 1, false, 0);
    BOOL read = readInstallDir();
    sim::clearFaults();
    std::u16string text = valueText(dir.data);
    bool expectRead = dir.value && failing == nullptr && dir.data.size() <= 520 && text.size() < InstallDirUnits;
    FUZZ_CHECK(read == (expectRead ? TRUE : FALSE), "InstallDir is read exactly when it fits");
    if (read) {
        FUZZ_CHECK(std::u16string(installDir) == text, "installDir is the value's text " + fuzz::printable(text));
    } else {
        FUZZ_CHECK(std::u16string(installDir) == untouched, "an unread value leaves installDir alone");
    }
    FUZZ_CHECK(sim::liveKernelObjects() == 0, "the key is closed");

    WCHAR path[SettingsPathUnits];
    BOOL fits = buildSettingsFilePath(installDir, path);
    const std::u16string dirNow(installDir);
    FUZZ_CHECK(fits == (dirNow.size() <= 250 ? TRUE : FALSE), "the settings path fits up to 250 units of directory");
    FUZZ_CHECK(fits ? std::u16string(path) == dirNow + u"\\orvo.dat" : path[0] == 0, "the settings path or none");

    const char* peerFailing = in.ConsumeIntegralInRange(0, 3) == 0 ? (in.ConsumeBool() ? "RegOpenKeyExW" : "RegQueryValueExW")
                                                                    : nullptr;
    if (peerFailing) sim::failOperation(peerFailing, 1, false, 0);
    BOOL present = isPppPeerPresent();
    sim::clearFaults();
    bool expectPresent = peer.value && peerFailing == nullptr && peer.data.size() <= 4;
    FUZZ_CHECK(present == (expectPresent ? TRUE : FALSE), "a peer is present exactly when ipaddr fits 4 bytes");
    FUZZ_CHECK(sim::liveKernelObjects() == 0, "the peer's key is closed");
    return 0;
}
