// webinteractive config protect|restore, registry show, userinfo read|update.
#include "command_userinfo.h"

#include <cstdio>
#include <list>
#include <string>

#include "command_input.h"
#include "failure_cause.h"
#include "record_commands.h"
#include "record_json.h"
#include "report.h"
#include "status_display.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

// A posix host keeps the registry in a store file of its machine prefix; Windows, which has no
// prefix, has the system's registry itself.
bool RegistryIsTheSystems() { return *IHostInc::GetMachinePrefix() == '\0'; }

void PrintRegistryValue(const IConfInfoInc::_ConfInfo& entry) {
    Print("%s\t%s\t%d\t%s\n", entry.Source.c_str(), entry.Key.c_str(), entry.Type,
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
            Fail("no configuration document could be made: the temporary folder of the machine "
                 "is not writable");
            return false;
        }
        Print("%s\n", path.c_str());
        Result()["path"] = json::Text(path);
        return true;
    });
}

int RunConfigRestore(const Arguments& arguments) {
    const std::string type = arguments.Has("--type") ? arguments.Get("--type") : "restore";
    if (type != "repair" && type != "restore") {
        FailInput("--type is repair or restore, not %s", type.c_str());
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
        json::Value details = json::Value::array();
        for (const std::string& detail : entry.details) {
            Print("%s\n", detail.c_str());
            details.push_back(json::Text(detail));
        }
        Print("RestoreConfig: %d\n", result);
        Result()["result"] = result;
        Result()["details"] = std::move(details);
        if (result != 1) {
            Fail("the configuration of %s was not fully restored: is it protected "
                 "(webinteractive query xml --guid %s)?", soft->GUID.c_str(), soft->GUID.c_str());
        }
        return result == 1;
    });
}

int RunRegistryShow(const Arguments&) {
    std::list<IConfInfoInc::_ConfInfo> entries;
    if (!ISoftRepairInc::ListInstalledConf(entries)) {
        if (RegistryIsTheSystems()) {
            Fail("the system registry is not listed here: look at a key with reg query KEY");
        } else {
            Fail("the registry store %s/system.reg cannot be read: check its permissions",
                 IHostInc::GetMachinePrefix());
        }
        return kExitFailure;
    }
    json::Value values = json::Value::array();
    for (const IConfInfoInc::_ConfInfo& entry : entries) {
        PrintRegistryValue(entry);
        values.push_back(ConfInfoJson(entry));
    }
    Result()["values"] = std::move(values);
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
        if (RegistryIsTheSystems()) {
            Fail("the registry refused the value: give a --key under a root key "
                 "(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER ...) that this user may write, --data "
                 "that fits --type, and texts valid in the narrow code page");
        } else {
            Fail("the registry store refused the value: give a non-empty --key without control "
                 "characters and texts valid in the narrow code page, and check that "
                 "%s/system.reg is writable",
                 IHostInc::GetMachinePrefix());
        }
        return kExitFailure;
    }
    PrintRegistryValue(entry);
    Result()["value"] = ConfInfoJson(entry);
    return kExitOk;
}

int RunUserInfoRead(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    NameTransfers("user information", "user information");
    return RunWriter("ReadUserInfo", [] {
        const std::string path = IWebInteractive::ReadUserInfo();
        if (path.empty() && *IHostInc::GetConfigValue("UpUserUrl") == '\0') {
            Fail("no user-document path: the configuration names no UpUserUrl, and without it "
                 "the user information is not read");
            return false;
        }
        if (path.empty()) {
            Fail("the service gave no user-document path at ReadUserUrl %s: run userinfo update "
                 "first", IHostInc::GetConfigValue("ReadUserUrl"));
            return false;
        }
        Print("%s\n", path.c_str());
        Result()["path"] = json::Text(path);
        return true;
    });
}

int RunUserInfoUpdate(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    return RunWriter("UpdateUserInfo", [] {
        const int result = IWebInteractive::UpdateUserInfo();
        Print("UpdateUserInfo: %d\n", result);
        Result()["result"] = result;
        const bool accepted =
            CheckUploadAnswer(IHostInc::GetConfigValue("UpUserUrl")) && result == 1;
        if (!accepted) {
            Fail("the service did not accept the user-document path at UpUserUrl %s",
                 IHostInc::GetConfigValue("UpUserUrl"));
        }
        return accepted;
    });
}

}  // namespace cli
