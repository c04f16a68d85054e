// The host CLI's list downloads run as a user would, against a local nginx serving the service
// tests' fixture documents: one line per version, the locked value, the records saved.
#include <gtest/gtest.h>

#include <string>

#include "support/peers.h"
#include "support/temp_machine.h"

namespace {

using wi::test::TempMachine;

class ListsDownloadCliTest : public testing::Test {
protected:
    std::string Serve(const std::string& fixture) {
        web_.AddFile(fixture, TempMachine::ReadHostFile(std::string(WI_SERVICE_FIXTURES) + "/" +
                                                        fixture));
        return web_.Url("/" + fixture);
    }
    // Runs the CLI on the test's machine; its results.
    std::string Run(const std::string& arguments) const {
        return wi::test::RunShell(std::string(WI_CLI) + " " + arguments + " --prefix '" +
                                  machine_.Prefix() + "'");
    }

    TempMachine machine_;
    wi::test::NginxPeer web_;
};

TEST_F(ListsDownloadCliTest, PrintsAndSavesTheVersionsRead) {
    const std::string out = Run("filelist download --url " + Serve("filelist_gb2312.xml") +
                                " --guid '{A1B2}' --special-code SC --save 'C:\\files.xml'");
    EXPECT_NE(std::string::npos, out.find("locked: 1\n")) << out;
    EXPECT_NE(std::string::npos,
              out.find("software {A1B2} \"金山词霸\" version \"2.0\": 2 files, 2 dependences, "
                       "2 configuration entries, 0 patches\n"))
        << out;
    EXPECT_NE(std::string::npos, out.find("saved 3 records to C:\\files.xml")) << out;
    EXPECT_NE(std::string::npos,
              TempMachine::ReadHostFile(machine_.HostPath("C:\\files.xml"))
                  .find("<Name>\xbd\xf0\xc9\xbd\xb4\xca\xb0\xd4</Name>"));  // GB2312

    const std::string certain = Run("certain --url " + Serve("certain_gb2312.xml") +
                                    " --guid '{R1}' --version -1");
    EXPECT_NE(std::string::npos,
              certain.find("software {R1} \"瑞星杀毒\" version \"2.0\": 2 files, 1 dependences, "
                           "1 configuration entries, 2 patches\n"))
        << certain;
    EXPECT_EQ(1, web_.Requests().Count("GET /certain_gb2312.xml?guid=%7bR1%7d&version=-1 200"));
}

TEST_F(ListsDownloadCliTest, PatchListIsFetchedOnceAndItsTemporaryDocumentRemoved) {
    const std::string url = Serve("patch_list_gb2312.xml") + "?guid=%7bBASE%7d";
    const std::string out = Run("patch parse --url '" + url + "'");
    EXPECT_NE(std::string::npos,
              out.find("software {BASE} \"补丁软件\" version \"3.0\": 0 files, 0 dependences, 0 "
                       "configuration entries, 2 patches\n"))
        << out;
    const wi::test::SettledLog requests = web_.Requests();
    EXPECT_EQ(1, requests.Count("GET /patch_list_gb2312.xml?guid=%7bBASE%7d 200"));
    EXPECT_EQ(1, requests.Count("")) << "one request, not more:\n" << requests.Text();
    EXPECT_EQ("", wi::test::RunShell("ls '" + machine_.HostPath("C:\\users\\Public\\Documents") +
                                     "' | grep patchList || true"));

    // No document at the address: one line, exit status 1.
    const std::string missing = wi::test::RunShell(
        std::string(WI_CLI) + " patch parse --quiet --url " + web_.Url("/none.xml") +
        " --prefix '" + machine_.Prefix() + "' 2>&1 >/dev/null; echo \"exit=$?\"");
    EXPECT_EQ("webinteractive: the service answered 404 Not Found at " + web_.Url("/none.xml") +
                  ": check the address\nexit=1\n",
              missing);
}

}  // namespace
