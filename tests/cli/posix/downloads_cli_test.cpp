// The host CLI's requests and single-file downloads run as a user would, against a local nginx:
// what they print, where the files land, and a failure told in one line with exit status 1.
#include <gtest/gtest.h>

#include <string>

#include "support/peers.h"
#include "support/temp_machine.h"

namespace {

using wi::test::TempMachine;

class DownloadsCliTest : public testing::Test {
protected:
    DownloadsCliTest() {
        web_.AddFile("softids", TempMachine::ReadHostFile(std::string(WI_SERVICE_FIXTURES) +
                                                          "/softid_list_gb2312.xml"));
        web_.AddFile("files/setup.exe", "the install file");
        web_.AddFile("locate", web_.Url("/files/setup.exe"));
    }
    // Runs the CLI on the test's machine: its standard output, then "exit=N" and what it wrote
    // to standard error.
    std::string Run(const std::string& arguments) const {
        const std::string errors = machine_.Root() + "/stderr.txt";
        const std::string out =
            wi::test::RunShell(std::string(WI_CLI) + " " + arguments + " --prefix '" +
                               machine_.Prefix() + "' 2>'" + errors + "'; echo \"exit=$?\"");
        return out + TempMachine::ReadHostFile(errors);
    }
    static bool Has(const std::string& out, const std::string& text) {
        return out.find(text) != std::string::npos;
    }

    TempMachine machine_;
    wi::test::NginxPeer web_;
};

TEST_F(DownloadsCliTest, ListsAndFilesArePrinted) {
    const std::string list = Run("softlist download --url " + web_.Url("/softids"));
    EXPECT_TRUE(Has(list, "software {8D2A1C40-0001} \"金山词霸\"\n")) << list;
    EXPECT_TRUE(Has(list, "4 softwares\nexit=0")) << list;

    // Text in the narrow code page (UTF-8 here): the GB2312 document itself is not.
    const std::string utf8 = machine_.Root() + "/utf8.xml";
    TempMachine::WriteHostFile(utf8,
                               "<softwares><software><BaseInfo><GUID>{U}</GUID>"
                               "<pn_name>软件</pn_name></BaseInfo></software></softwares>");
    EXPECT_TRUE(Has(Run("softlist parse --file '" + utf8 + "'"),
                    "software {U} \"软件\"\n1 softwares\nexit=0"));
    const std::string gb = Run(std::string("softlist parse --file ") + WI_SERVICE_FIXTURES +
                               "/softid_list_gb2312.xml");
    EXPECT_TRUE(Has(gb, "0 softwares\nexit=1\nwebinteractive: ParseSoftIDList read no softwares: "))
        << gb;

    const std::string install =
        Run("download install --url " + web_.Url("/locate") + " --subdir tools --name setup.exe");
    EXPECT_TRUE(Has(install,
                    "downloaded to C:\\ProgramData\\Microsoft\\Windows\\Templates\\tools\\"
                    "setup.exe\nexit=0"))
        << install;
    EXPECT_TRUE(Has(Run("download install-to --url " + web_.Url("/locate") +
                        " --subdir tools --name setup.exe --dir 'D:\\target\\'"),
                    "downloaded to D:\\target\\setup.exe\nexit=0"));
    EXPECT_EQ("the install file",
              TempMachine::ReadHostFile(machine_.HostPath("D:\\target\\setup.exe")));

    const std::string soft = Run("download soft --url " + web_.Url("/files/setup.exe") +
                                 " --guid G --soft-code S --file-code F01 --type 2");
    EXPECT_TRUE(Has(soft, "\\Templates\\DownFile")) << soft;
    EXPECT_TRUE(Has(Run("patch download --url " + web_.Url("/locate") + " --id P1"),
                    "\\Templates\\DownFile"));
    EXPECT_TRUE(Has(Run("size --url " + web_.Url("/locate") + " --name setup.exe"),
                    "size: 16 bytes\nexit=0"));
    EXPECT_TRUE(
        Has(Run("remove-info --url " + web_.Url("/locate") + " --guid G --version 1 --code C"),
            "exit=0"));
    EXPECT_EQ(1, web_.Requests().Count("GET /locate?GUID=G&Version=1&CharacterCode=C 200"));
}

TEST_F(DownloadsCliTest, FailuresAreOneLineAndExitOne) {
    const std::string gone = web_.Url("/gone");
    for (const std::string& command :
         {"softlist download --url " + gone, "patch download --url " + gone + " --id P",
          "download install --url " + gone + " --subdir t --name n",
          "download install-to --url " + web_.Url("/locate") + " --subdir t --name n --dir ''",
          "size --url " + gone + " --name n",
          "remove-info --url " + gone + " --guid G --version 1 --code C"}) {
        // Without the status lines, standard error holds the failure alone.
        const std::string out = Run(command + " --quiet");
        const std::string::size_type exit = out.find("exit=1\nwebinteractive: ");
        ASSERT_NE(std::string::npos, exit) << command << "\n" << out;
        EXPECT_EQ(out.size() - 1, out.find('\n', exit + 7)) << command << "\n" << out;
    }
    EXPECT_TRUE(Has(Run("download soft --url " + gone +
                        " --guid G --soft-code S --file-code F "
                        "--type x"),
                    "exit=2"));
}

}  // namespace
