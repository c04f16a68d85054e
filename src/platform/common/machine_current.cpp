// The machine in use, whichever backend provides the system's.
#include <atomic>

#include "platform/machine.h"

namespace wi::platform {
namespace {

std::atomic<Machine*> installedMachine{nullptr};

}  // namespace

Machine& CurrentMachine() {
    Machine* machine = installedMachine.load();
    return machine ? *machine : SystemMachine();
}

void SetMachine(Machine* machine) { installedMachine.store(machine); }

}  // namespace wi::platform
