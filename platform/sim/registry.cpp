#include "registry.h"

#include <algorithm>
#include <cstring>

#include "file_system.h"
#include "handles.h"
#include "sim_api.h"
#include "wide_strings.h"
#include "world.h"

namespace sim {

Registry::Registry() = default;

RegistryKey* Registry::rootKey(HKEY root) {
    if (root == HKEY_CURRENT_USER) return &currentUser_;
    if (root == HKEY_LOCAL_MACHINE) return &localMachine_;
    if (root == HKEY_CLASSES_ROOT) return &classesRoot_;
    return nullptr;
}

static RegistryKey* subkey(RegistryKey* key, const std::u16string& name) {
    for (auto& k : key->subkeys) {
        if (sameName(k->name, name)) return k.get();
    }
    return nullptr;
}

RegistryKey* Registry::find(HKEY root, const std::u16string& path) {
    RegistryKey* key = rootKey(root);
    for (auto& part : splitPath(path)) {
        if (key == nullptr) return nullptr;
        key = subkey(key, part);
    }
    return key;
}

RegistryKey* Registry::create(HKEY root, const std::u16string& path) {
    RegistryKey* key = rootKey(root);
    if (key == nullptr) return nullptr;
    for (auto& part : splitPath(path)) {
        RegistryKey* next = subkey(key, part);
        if (next == nullptr) {
            key->subkeys.push_back(std::make_unique<RegistryKey>());
            next = key->subkeys.back().get();
            next->name = part;
        }
        key = next;
    }
    return key;
}

void Registry::setValue(HKEY root, const std::u16string& path, const std::u16string& name, DWORD type,
                        std::vector<uint8_t> data) {
    RegistryKey* key = create(root, path);
    if (key == nullptr) return;
    for (auto& v : key->values) {
        if (sameName(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    key->values.push_back(RegistryValue{name, type, std::move(data)});
}

bool Registry::deleteValue(HKEY root, const std::u16string& path, const std::u16string& name) {
    RegistryKey* key = find(root, path);
    if (key == nullptr) return false;
    auto& vs = key->values;
    auto it = std::find_if(vs.begin(), vs.end(), [&](auto& v) { return sameName(v.name, name); });
    if (it == vs.end()) return false;
    vs.erase(it);
    return true;
}

bool Registry::deleteKey(HKEY root, const std::u16string& path) {
    auto parts = splitPath(path);
    if (parts.empty()) return false;
    RegistryKey* parent = rootKey(root);
    for (size_t i = 0; i + 1 < parts.size() && parent; ++i) parent = subkey(parent, parts[i]);
    if (parent == nullptr) return false;
    auto& ks = parent->subkeys;
    auto it = std::find_if(ks.begin(), ks.end(), [&](auto& k) { return sameName(k->name, parts.back()); });
    if (it == ks.end()) return false;
    ks.erase(it);
    return true;
}

Registry& registry() {
    static Registry r;
    return r;
}

namespace {
struct OpenKey : KernelObject {
    HKEY root = nullptr;
    std::u16string path;
};

// A key handle stays valid while its key exists; it is looked up afresh on each use.
RegistryKey* resolve(HKEY key) {
    if (registry().rootKey(key)) return registry().rootKey(key);
    auto* open = kernelObject<OpenKey>(reinterpret_cast<HANDLE>(key));
    return open ? registry().find(open->root, open->path) : nullptr;
}
}  // namespace

}  // namespace sim

using namespace sim;

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (shouldFail(Op::RegOpenKeyExW)) return ERROR_FILE_NOT_FOUND;
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryKey* base = resolve(root);
    if (base == nullptr) return ERROR_INVALID_HANDLE;
    HKEY baseRoot = root;
    std::u16string path = subKey ? std::u16string(subKey) : std::u16string();
    if (!registry().rootKey(root)) {
        auto* open = kernelObject<OpenKey>(reinterpret_cast<HANDLE>(root));
        baseRoot = open->root;
        path = open->path + u"\\" + path;
    }
    if (registry().find(baseRoot, path) == nullptr) return ERROR_FILE_NOT_FOUND;
    auto open = std::make_unique<OpenKey>();
    open->root = baseRoot;
    open->path = path;
    *result = reinterpret_cast<HKEY>(addKernelObject(std::move(open)));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (shouldFail(Op::RegQueryValueExW)) return ERROR_FILE_NOT_FOUND;
    RegistryKey* k = resolve(key);
    if (k == nullptr) return ERROR_INVALID_HANDLE;
    std::u16string wanted = name ? std::u16string(name) : std::u16string();
    const RegistryValue* value = nullptr;
    for (auto& v : k->values) {
        if (sameName(v.name, wanted)) value = &v;
    }
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    DWORD needed = static_cast<DWORD>(value->data.size());
    if (data == nullptr) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (registry().rootKey(key)) return ERROR_SUCCESS;
    if (kernelObject<OpenKey>(reinterpret_cast<HANDLE>(key)) == nullptr) return ERROR_INVALID_HANDLE;
    removeKernelObject(reinterpret_cast<HANDLE>(key));
    return ERROR_SUCCESS;
}
