// The default device's readings, which every runner of scenarios starts from and the scenario's
// device commands (`battery`, `memory`, `storage`, `display-off-support`) change.
#pragma once

#include <cstdint>

namespace scenario {

struct DeviceReadings {
    uint8_t batteryPercent = 80;
    uint8_t batteryFlag = 1;
    uint32_t memoryAvailable = 12582912;
    uint32_t memoryTotal = 33554432;
    uint32_t storageFree = 20971520;
    uint32_t storageTotal = 67108864;
    bool displayOffSupport = true;
};

}  // namespace scenario
