// Configuration entries applied to the posix registry store: the store file's format, kept
// whole through damage, its atomic rewriting, its bound, and processes changing it at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <list>
#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "platform/posix/registry_store.h"
#include "repair/conf_entry.h"
#include "support/child_processes.h"
#include "support/gbk_locale.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/repair.h"

namespace {

using IConfInfoInc::_ConfInfo;
using wi::platform::posix::RegistryStore;
using wi::platform::posix::StoredValue;
using wi::test::TempMachine;
namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(WI_TEST_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

using wi::test::Entry;

std::list<_ConfInfo> Installed() {
    std::list<_ConfInfo> entries;
    EXPECT_TRUE(ISoftRepairInc::ListInstalledConf(entries));
    return entries;
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\n";
    return text;
}

TEST(RegistryStore, ReadsValuesAndKeepsEveryOtherLineOfADamagedFile) {
    const std::string text = Fixture("damaged.reg");
    RegistryStore store(text);
    EXPECT_EQ(text, store.Text());

    const std::vector<StoredValue> values = store.Values();
    ASSERT_EQ(3u, values.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\Vendor", values[0].key);
    EXPECT_EQ("Path", values[0].name);
    EXPECT_EQ("C:\\Program Files\\V", values[0].data);
    EXPECT_EQ("say \"hi\"\n", values[1].data);
    EXPECT_EQ("Count", values[2].name);
    EXPECT_EQ(4, values[2].type);

    // Setting a value rewrites its first line and drops its later ones; nothing else changes.
    ASSERT_TRUE(store.Set({"HKEY_LOCAL_MACHINE\\SOFTWARE\\VENDOR", "PATH", -2, "D:\\x\r"}));
    std::string expected = text;
    expected.replace(expected.find("\"Path\""), std::string("\"Path\"=type(1):\"C:\\\\Program Files\\\\V\"\r").size(),
                     "\"PATH\"=type(-2):\"D:\\\\x\\x0d\"");
    expected.erase(expected.find("\"path\""), std::string("\"path\"=type(1):\"older duplicate\"\r\n").size());
    EXPECT_EQ(expected, store.Text());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\Vendor", store.Values()[0].key);

    // A new value joins its key's section, a new key comes last; removal takes the value only.
    ASSERT_TRUE(store.Set({"HKEY_CURRENT_USER\\Empty", "", 1, "default"}));
    ASSERT_TRUE(store.Set({"HKEY_USERS\\New", "N", 1, "v"}));
    store.Remove("hkey_local_machine\\software\\vendor", "quote");
    store.Remove("HKEY_USERS\\New", "N");
    EXPECT_EQ(std::string::npos, store.Text().find("Quote"));
    EXPECT_NE(std::string::npos,
              store.Text().find("[HKEY_CURRENT_USER\\Empty]\r\n\"\"=type(1):\"default\"\n\n"
                                "[HKEY_USERS\\New]\n"));

    // Keys a line cannot hold are refused.
    const std::string before = store.Text();
    EXPECT_FALSE(store.Set({"", "N", 1, "v"}));
    EXPECT_FALSE(store.Set({"HKEY_USERS\\a\nb", "N", 1, "v"}));
    EXPECT_EQ(before, store.Text());
}

class RegistryFileTest : public testing::Test {
protected:
    std::string StorePath() const { return machine_.Prefix() + "/system.reg"; }
    TempMachine machine_;
};

TEST_F(RegistryFileTest, InstallConfSetsReplacesAndRemovesValues) {
    EXPECT_TRUE(Installed().empty());
    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry("HKEY_LOCAL_MACHINE\\Software\\V", "Dir", "C:\\V")));
    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry("HKEY_LOCAL_MACHINE\\Software\\V", "Runs", "3", 4)));
    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry("hkey_local_machine\\software\\v", "dir", "D:\\V")));
    EXPECT_EQ(Lines({"[HKEY_LOCAL_MACHINE\\Software\\V]", "\"dir\"=type(1):\"D:\\\\V\"",
                     "\"Runs\"=type(4):\"3\""}),
              TempMachine::ReadHostFile(StorePath()));

    std::list<_ConfInfo> entries = Installed();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\V", entries.front().Source);
    EXPECT_EQ("D:\\V", entries.front().Value);
    EXPECT_EQ(4, entries.back().Type);
    EXPECT_EQ(1, entries.back().Action);

    // Any action but 1 removes, also a value that is not there.
    EXPECT_TRUE(ISoftRepairInc::InstallConf(Entry("HKEY_LOCAL_MACHINE\\Software\\V", "DIR", "", 1, 2)));
    EXPECT_TRUE(ISoftRepairInc::InstallConf(Entry("HKEY_LOCAL_MACHINE\\Software\\V", "none", "", 1, 0)));
    entries = Installed();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("Runs", entries.front().Key);

    // Refused entries change nothing.
    const std::string before = TempMachine::ReadHostFile(StorePath());
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry("", "k", "v")));
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry("HKEY_USERS\\x", "k", "bad \xff byte")));
    EXPECT_EQ(before, TempMachine::ReadHostFile(StorePath()));
}

TEST_F(RegistryFileTest, TheStoreIsReplacedWholeOrNotAtAll) {
    const std::string damaged = Fixture("damaged.reg");
    TempMachine::WriteHostFile(StorePath(), damaged);
    fs::create_hard_link(StorePath(), machine_.Root() + "/before.reg");

    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry("HKEY_CURRENT_USER\\Empty", "k", "v")));
    const std::string after = TempMachine::ReadHostFile(StorePath());
    EXPECT_EQ(damaged + "\"k\"=type(1):\"v\"\n", after);
    // A new file took the old one's place: the old content is still whole under its other name.
    EXPECT_EQ(damaged, TempMachine::ReadHostFile(machine_.Root() + "/before.reg"));

    // A store that cannot be replaced (read-only) or read (too large) is left as it is, and no
    // temporary file stays behind.
    fs::permissions(StorePath(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry("HKEY_CURRENT_USER\\Empty", "k", "w")));
    EXPECT_EQ(after, TempMachine::ReadHostFile(StorePath()));
    fs::permissions(StorePath(), fs::perms::owner_write, fs::perm_options::add);

    const std::string huge(wi::platform::posix::kMaxRegistryStoreBytes + 1, ';');
    TempMachine::WriteHostFile(StorePath(), huge);
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry("HKEY_CURRENT_USER\\Empty", "k", "w")));
    std::list<_ConfInfo> entries;
    EXPECT_FALSE(ISoftRepairInc::ListInstalledConf(entries));
    EXPECT_EQ(huge.size(), fs::file_size(StorePath()));
    // A pipe in the store's place is refused at once, not waited on.
    fs::remove(StorePath());
    wi::test::RunShell("mkfifo '" + StorePath() + "'");
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry("HKEY_CURRENT_USER\\Empty", "k", "w")));
    EXPECT_FALSE(ISoftRepairInc::ListInstalledConf(entries));
    EXPECT_TRUE(fs::is_fifo(StorePath()));
    for (const fs::directory_entry& entry : fs::directory_iterator(machine_.Prefix())) {
        EXPECT_NE(0u, entry.path().filename().string().rfind(".~wi", 0)) << entry.path();
    }
}

TEST_F(RegistryFileTest, AChangePastTheReadersBoundIsRefusedAndTheStoreKept) {
    const std::string key = "HKEY_CURRENT_USER\\Big";
    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry(key, "earlier", "kept")));
    const std::string before = TempMachine::ReadHostFile(StorePath());
    // The value line of "big" with data of n bytes fills the store to exactly its bound.
    const std::size_t n = wi::platform::posix::kMaxRegistryStoreBytes - before.size() -
                          std::string("\"big\"=type(1):\"\"\n").size();

    // (Sizes compared first: a failure would otherwise print megabytes.)
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry(key, "big", std::string(n + 1, 'x'))));
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry(key, "big", std::string(17u << 20, 'x'))));
    ASSERT_EQ(before.size(), fs::file_size(StorePath()));
    EXPECT_EQ(before, TempMachine::ReadHostFile(StorePath()));

    // Up to the bound the store takes the value and still reads back whole.
    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry(key, "big", std::string(n, 'x'))));
    EXPECT_EQ(wi::platform::posix::kMaxRegistryStoreBytes, fs::file_size(StorePath()));
    const std::list<_ConfInfo> entries = Installed();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("kept", entries.front().Value);
    EXPECT_EQ(n, entries.back().Value.size());
    // A removal still goes through; a value that would grow the full store does not.
    EXPECT_FALSE(ISoftRepairInc::InstallConf(Entry(key, "more", "1")));
    EXPECT_TRUE(ISoftRepairInc::InstallConf(Entry(key, "big", "", 1, 0)));
    ASSERT_EQ(before.size(), fs::file_size(StorePath()));
    EXPECT_EQ(before, TempMachine::ReadHostFile(StorePath()));
}

TEST_F(RegistryFileTest, ProcessesSettingValuesAtOnceKeepEveryValue) {
    constexpr int kProcesses = 2, kValuesEach = 300;
    const bool done = wi::test::RunInChildProcesses(kProcesses, [](int process) {
        for (int i = 0; i < kValuesEach; ++i) {
            const std::string name = std::to_string(process) + "-" + std::to_string(i);
            if (!ISoftRepairInc::InstallConf(Entry("HKEY_LOCAL_MACHINE\\Software\\Race", name, name))) {
                return false;
            }
        }
        return true;
    });
    EXPECT_TRUE(done);
    const std::list<_ConfInfo> entries = Installed();
    EXPECT_EQ(static_cast<std::size_t>(kProcesses * kValuesEach), entries.size());
    for (const _ConfInfo& entry : entries) EXPECT_EQ(entry.Key, entry.Value);
}

TEST_F(RegistryFileTest, NarrowTextsAreStoredAsUtf8) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    std::string key, data;
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("HKEY_CURRENT_USER\\软件", key));
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("数据", data));

    ASSERT_TRUE(ISoftRepairInc::InstallConf(Entry(key, "n", data)));
    EXPECT_EQ(Lines({"[HKEY_CURRENT_USER\\软件]", "\"n\"=type(1):\"数据\""}),
              TempMachine::ReadHostFile(StorePath()));
    const std::list<_ConfInfo> entries = Installed();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(key, entries.front().Source);
    EXPECT_EQ(data, entries.front().Value);
}

}  // namespace
