#include "handles.h"

#include <map>

namespace sim {
namespace {
std::map<uintptr_t, std::unique_ptr<KernelObject>>& table() {
    static std::map<uintptr_t, std::unique_ptr<KernelObject>> t;
    return t;
}
uintptr_t gNext = 0x1000;
}  // namespace

HANDLE addKernelObject(std::unique_ptr<KernelObject> object) {
    uintptr_t value = gNext;
    gNext += 4;
    table()[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

KernelObject* findKernelObject(HANDLE handle) {
    auto it = table().find(reinterpret_cast<uintptr_t>(handle));
    return it == table().end() ? nullptr : it->second.get();
}

bool removeKernelObject(HANDLE handle) { return table().erase(reinterpret_cast<uintptr_t>(handle)) > 0; }

size_t liveKernelObjects() { return table().size(); }

void releaseProcessKernelObjects(Process* process) {
    for (auto it = table().begin(); it != table().end();) {
        if (it->second->owner == process) {
            it = table().erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace sim
