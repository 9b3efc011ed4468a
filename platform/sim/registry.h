// The simulated registry: keys and value names compared without regard to case.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim_types.h"

namespace sim {

struct RegistryValue {
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

struct RegistryKey {
    std::u16string name;
    std::vector<RegistryValue> values;
    std::vector<std::unique_ptr<RegistryKey>> subkeys;
};

class Registry {
public:
    Registry();
    RegistryKey* rootKey(HKEY root);
    RegistryKey* find(HKEY root, const std::u16string& path);
    RegistryKey* create(HKEY root, const std::u16string& path);
    void setValue(HKEY root, const std::u16string& path, const std::u16string& name, DWORD type,
                  std::vector<uint8_t> data);
    bool deleteValue(HKEY root, const std::u16string& path, const std::u16string& name);
    bool deleteKey(HKEY root, const std::u16string& path);

private:
    RegistryKey currentUser_;
    RegistryKey localMachine_;
    RegistryKey classesRoot_;
};

Registry& registry();

}  // namespace sim
