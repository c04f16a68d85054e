// What the RestoreConfig tests share: a software of three files, one dependence and two
// configuration entries, its protect and configuration documents put in the store, and a
// restore run with the log's operation type given. Values the restores set are removed after
// the test, so the system registry keeps nothing of it.
#pragma once

#include <initializer_list>
#include <list>
#include <string>

#include "store/protected_table.h"
#include "store_fixture.h"
#include "webinteractive/repair.h"
#include "webinteractive/store.h"

namespace wi::test {

class RestoreConfigFixture : public StoreTest {
protected:
    static constexpr const char* kProtectXml = "D:\\qel_protect\\software\\G1\\Protect.xml";
    // As protect_version_7.xml says.
    static constexpr const char* kStoredConfig = "D:\\store\\Config.xml";
    // The key of the entries of config_entries.xml.
    static constexpr const char* kEntriesKey =
        "HKEY_CURRENT_USER\\Software\\webinteractive-test\\App";

    void SetUp() override {
        StoreTest::SetUp();
        soft.GUID = "G1";
        for (const char* name : {"a", "b", "c"}) {
            IFileInfoInc::_FileInfo file;
            file.Name = name;
            soft.files.insert(file);
        }
        soft.dependences.insert(IDepInfoInc::_DepInfo());
        for (const char* key : {"x", "y"}) {
            IConfInfoInc::_ConfInfo config;
            config.Key = key;
            soft.configs.insert(config);
        }
    }
    void TearDown() override {
        for (const char* name : {"K1", "K2"}) {
            IConfInfoInc::_ConfInfo removal;
            removal.Source = kEntriesKey;
            removal.Key = name;
            removal.Action = 2;
            EXPECT_TRUE(ISoftRepairInc::InstallConf(removal)) << name;
        }
        IWebInteractive::GetLogInc()->SetParam("", "", "");
        StoreTest::TearDown();
    }
    void Protect(const std::string& protectFixture, const std::string& configFixture) {
        PutFixture(protectFixture, kProtectXml);
        if (!configFixture.empty()) PutFixture(configFixture, kStoredConfig);
        wi::store::RememberProtection("G1", kProtectXml);
    }
    // Restores with the log's operation type set to `type`; `entry` is then in UTF-8.
    int Restore(const char* type) {
        IWebInteractive::GetLogInc()->SetParam("<Logs/>", type, "test");
        entry = LogInfo();
        lines.clear();
        const int result = IWebInteractive::RestoreConfig(soft, entry);
        entry = Utf8(entry);
        return result;
    }
    static std::list<std::string> Details(std::initializer_list<const char*> details) {
        return {details.begin(), details.end()};
    }

    ISoftInfoInc::_SoftInfo soft;
    LogInfo entry;
};

}  // namespace wi::test
