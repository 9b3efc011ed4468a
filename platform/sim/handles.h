// Kernel handles (files, searches, registry keys): small numbers standing for simulator objects.
#pragma once

#include <memory>

#include "sim_types.h"

namespace sim {

struct Process;

struct KernelObject {
    virtual ~KernelObject() = default;
    // The process whose handle this is, for the objects the platform closes when it ends.
    Process* owner = nullptr;
};

HANDLE addKernelObject(std::unique_ptr<KernelObject> object);
KernelObject* findKernelObject(HANDLE handle);
bool removeKernelObject(HANDLE handle);
size_t liveKernelObjects();
// Closes every handle the process still holds that the platform closes when a process ends
// (those made with an owner).
void releaseProcessKernelObjects(Process* process);

template <typename T>
T* kernelObject(HANDLE handle) {
    return dynamic_cast<T*>(findKernelObject(handle));
}

}  // namespace sim
