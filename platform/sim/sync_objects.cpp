// Named mutexes: what a program uses to be sure that it runs once, whatever starts at once.
#include <map>
#include <memory>

#include "handles.h"
#include "sim_api.h"
#include "world.h"

namespace sim {
namespace {

struct NamedMutex {};

struct MutexHandle : KernelObject {
    std::shared_ptr<NamedMutex> mutex;
};

// A name lives as long as a handle to its mutex does.
std::map<std::u16string, std::weak_ptr<NamedMutex>>& names() {
    static std::map<std::u16string, std::weak_ptr<NamedMutex>> table;
    return table;
}

}  // namespace
}  // namespace sim

using namespace sim;

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR name) {
    if (shouldFail(Op::CreateMutexW)) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto handle = std::make_unique<MutexHandle>();
    handle->owner = currentProcess();
    DWORD error = 0;
    if (name != nullptr && name[0] != 0) {
        std::weak_ptr<NamedMutex>& entry = names()[name];
        handle->mutex = entry.lock();
        if (handle->mutex) {
            error = ERROR_ALREADY_EXISTS;
        } else {
            handle->mutex = std::make_shared<NamedMutex>();
            entry = handle->mutex;
        }
    } else {
        handle->mutex = std::make_shared<NamedMutex>();
    }
    HANDLE made = addKernelObject(std::move(handle));
    setError(error);
    return made;
}
