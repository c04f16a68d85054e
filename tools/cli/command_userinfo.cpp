// webinteractive config protect|restore, registry show, userinfo read|update.
#include "command_userinfo.h"

#include <cstdio>
#include <list>
#include <string>

#include "command_input.h"
#include "record_commands.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

void PrintRegistryValue(const IConfInfoInc::_ConfInfo& entry) {
    std::printf("%s\t%s\t%d\t%s\n", entry.Source.c_str(), entry.Key.c_str(), entry.Type,
                entry.Value.c_str());
}

}  // namespace

int RunConfigProtect(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const ISoftInfoInc::_SoftInfo* soft = ChooseRecord(arguments, softs);
    if (soft == nullptr) return kExitFailure;
    return RunWriter("ProtectConfig", [&] {
        const std::string path = IWebInteractive::ProtectConfig(soft->configs);
        if (path.empty()) {
            std::fprintf(stderr, "webinteractive: no configuration document could be made\n");
            return false;
        }
        std::printf("%s\n", path.c_str());
        return true;
    });
}

int RunConfigRestore(const Arguments& arguments) {
    const std::string type = arguments.Has("--type") ? arguments.Get("--type") : "restore";
    if (type != "repair" && type != "restore") {
        std::fprintf(stderr, "webinteractive: --type is repair or restore, not %s\n", type.c_str());
        return kExitUsage;
    }
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const ISoftInfoInc::_SoftInfo* soft = ChooseRecord(arguments, softs);
    if (soft == nullptr) return kExitFailure;
    return RunWriter("RestoreConfig", [&] {
        // Without service addresses: the drive list and the protected softwares of the store.
        IWebInteractive::Init("<Config/>");
        IWebInteractive::GetLogInc()->SetParam("<Logs/>", type.c_str(), "webinteractive");
        LogInfo entry;
        const int result = IWebInteractive::RestoreConfig(*soft, entry);
        for (const std::string& detail : entry.details) std::printf("%s\n", detail.c_str());
        std::printf("RestoreConfig: %d\n", result);
        if (result != 1) {
            std::fprintf(stderr, "webinteractive: the configuration of %s was not fully restored\n",
                         soft->GUID.c_str());
        }
        return result == 1;
    });
}

int RunRegistryShow(const Arguments&) {
    std::list<IConfInfoInc::_ConfInfo> entries;
    if (!ISoftRepairInc::ListInstalledConf(entries)) {
        std::fprintf(stderr, "webinteractive: the registry store cannot be read\n");
        return kExitFailure;
    }
    for (const IConfInfoInc::_ConfInfo& entry : entries) PrintRegistryValue(entry);
    return kExitOk;
}

int RunRegistrySet(const Arguments& arguments) {
    IConfInfoInc::_ConfInfo entry;
    if (!ReadIntOption(arguments, "--type", entry.Type)) return kExitUsage;
    entry.Source = arguments.Get("--key");
    entry.Key = arguments.Get("--name");
    entry.Value = arguments.Get("--data");
    entry.Action = 1;
    if (!ISoftRepairInc::InstallConf(entry)) {
        std::fprintf(stderr,
                     "webinteractive: the registry store refused the value: give a non-empty "
                     "--key without control characters, and check that %s/system.reg is "
                     "writable\n",
                     IHostInc::GetMachinePrefix());
        return kExitFailure;
    }
    PrintRegistryValue(entry);
    return kExitOk;
}

int RunUserInfoRead(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    return RunWriter("ReadUserInfo", [] {
        const std::string path = IWebInteractive::ReadUserInfo();
        if (path.empty()) {
            std::fprintf(stderr, "webinteractive: the service gave no user-document path\n");
            return false;
        }
        std::printf("%s\n", path.c_str());
        return true;
    });
}

int RunUserInfoUpdate(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    return RunWriter("UpdateUserInfo", [] {
        const int result = IWebInteractive::UpdateUserInfo();
        std::printf("\nUpdateUserInfo: %d\n", result);
        if (result != 1) {
            std::fprintf(stderr, "webinteractive: the service did not accept the user-document path\n");
        }
        return result == 1;
    });
}

}  // namespace cli
