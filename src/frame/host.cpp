// What a host needs beyond the exported operations: the machine and cancel events.
#include <string>

#include "frame/config.h"
#include "frame/drives.h"
#include "frame/text.h"
#include "platform/events.h"
#include "platform/machine.h"
#include "webinteractive/host.h"

namespace IHostInc {

void SetMachinePrefix(const char* prefix) {
    wi::platform::SetMachinePrefix(wi::frame::OrEmpty(prefix));
}

const char* GetMachinePrefix() {
    thread_local std::string result;
    return wi::frame::Refill(result, wi::platform::MachinePrefix());
}

void* CreateCancelEvent(bool manualReset) {
    return wi::platform::CreateEventObject(manualReset, false);
}

void SignalCancelEvent(void* event) { wi::platform::SetEventObject(event); }

void ResetCancelEvent(void* event) { wi::platform::ResetEventObject(event); }

void FreeCancelEvent(void* event) { wi::platform::CloseEventObject(event); }

const char* GetSpecialFolderPath(int id) {
    thread_local std::string result;
    std::string path;
    if (!wi::platform::CurrentMachine().GetSpecialFolder(id, path)) path.clear();
    return wi::frame::Refill(result, path);
}

const char* GetFixedDrives() {
    thread_local std::string result;
    result.clear();
    for (const std::string& drive : wi::frame::QueryFixedDrives()) {
        if (!result.empty()) result += ' ';
        result += drive;
    }
    return result.c_str();
}

const char* GetConfigValue(const char* key) {
    // A copy per thread: a later Init on another thread cannot free the text under the caller.
    thread_local std::string result;
    wi::frame::Configuration config = wi::frame::Config();
    const std::string* value = wi::frame::ConfigValue(config, wi::frame::OrEmpty(key));
    return wi::frame::Refill(result, value != nullptr ? *value : std::string());
}

}  // namespace IHostInc
