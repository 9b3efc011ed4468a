// Kernel handles (files, searches, registry keys): small numbers standing for simulator objects.
#pragma once

#include <memory>

#include "sim_types.h"

namespace sim {

struct KernelObject {
    virtual ~KernelObject() = default;
};

HANDLE addKernelObject(std::unique_ptr<KernelObject> object);
KernelObject* findKernelObject(HANDLE handle);
bool removeKernelObject(HANDLE handle);
size_t liveKernelObjects();

template <typename T>
T* kernelObject(HANDLE handle) {
    return dynamic_cast<T*>(findKernelObject(handle));
}

}  // namespace sim
