// The CLI's JSON texts, its reading and drawing of the download's progress lines, and its
// reading of the library's status texts for their translation.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "json_output.h"
#include "platform/codepage.h"
#include "progress_line.h"
#include "status_translation.h"

namespace {

TEST(JsonOutput, ConvertsEveryTextAndKeepsTheMembersInOrder) {
    cli::json::Value document = cli::json::Value::object();
    document["path"] = cli::json::Text("C:\\dir\\\"a\"\tb\r\n\x01");
    std::string name;  // in the narrow code page: UTF-8, or code page 936 under Wine
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("金山词霸", name));
    document["name"] = cli::json::Text(name);
    // Bytes that are no character of the narrow code page (0xFF, a lead byte cut off by the end)
    // become U+FFFD; the characters around them stay.
    document["bad"] = cli::json::Text("a\xff\xff" "b\xe4");
    document["list"] = {-1, true, nullptr};
    document["path"] = "replaced, keeping its place";
    EXPECT_EQ("{\"path\":\"replaced, keeping its place\",\"name\":\"金山词霸\","
              "\"bad\":\"a\xEF\xBF\xBD\xEF\xBF\xBD" "b\xEF\xBF\xBD\","
              "\"list\":[-1,true,null]}",
              cli::json::Write(document));
    EXPECT_EQ("\"C:\\\\dir\\\\\\\"a\\\"\\tb\\r\\n\\u0001\"",
              cli::json::Write(cli::json::Text("C:\\dir\\\"a\"\tb\r\n\x01")));
}

TEST(ProgressLine, ReadsOnlyTheDownloadsLines) {
    cli::TransferProgress progress;
    ASSERT_TRUE(cli::ParseProgressLine(" setup.exe|1024|2048|4096", progress));
    EXPECT_EQ("setup.exe", progress.name);
    EXPECT_EQ(1024u, progress.speed);
    EXPECT_EQ(2048u, progress.received);
    EXPECT_EQ(4096u, progress.total);
    ASSERT_TRUE(cli::ParseProgressLine(" a|b.exe|0|0|10", progress));
    EXPECT_EQ("a|b.exe", progress.name);
    for (const char* other : {"setup.exe|1024|2048|4096", " setup.exe|1|2", " x|1|-2|3",
                              " x|1|2|", "开始下载文件 a 从 b...", ""}) {
        EXPECT_FALSE(cli::ParseProgressLine(other, progress)) << other;
    }

    std::string name;
    bool stored = false;
    ASSERT_TRUE(cli::ParseTransferEnd("setup.exe|1", name, stored));
    EXPECT_EQ("setup.exe", name);
    EXPECT_TRUE(stored);
    ASSERT_TRUE(cli::ParseTransferEnd("软件.exe|0", name, stored));
    EXPECT_FALSE(stored);
    for (const char* other : {"|1", "setup.exe|2", "setup.exe|10", " setup.exe|1", "no bar"}) {
        EXPECT_FALSE(cli::ParseTransferEnd(other, name, stored)) << other;
    }
}

TEST(ProgressLine, BarShowsShareSpeedSizesAndTimeLeftInItsWidth) {
    const cli::TransferProgress half{"setup.exe", 512 * 1024, 5 * 1024 * 1024, 10 * 1024 * 1024};
    const std::string bar = cli::ProgressBar(half, 100);
    EXPECT_EQ(0u, bar.find("setup.exe [")) << bar;
    EXPECT_NE(std::string::npos, bar.find("]   50%  512.0 KiB/s  5.0 MiB of 10.0 MiB  0:10 left"))
        << bar;
    EXPECT_LT(bar.size(), 100u);
    // The bar keeps its width while the numbers change.
    const cli::TransferProgress start{"setup.exe", 0, 0, 10 * 1024 * 1024};
    EXPECT_EQ(bar.find(']'), cli::ProgressBar(start, 100).find(']'));
    EXPECT_NE(std::string::npos, cli::ProgressBar(start, 100).find("0 B/s  0 B of 10.0 MiB  --:-- left"));

    EXPECT_NE(std::string::npos, cli::FinishedBar(half, true, 100).find("100%  10.0 MiB  done"));
    EXPECT_NE(std::string::npos, cli::FinishedBar(half, false, 100).find("failed after 5.0 MiB"));
    EXPECT_NE(std::string::npos, cli::FinishedBar({"a.xml", 0, 0, 0}, true, 100).find("]  done"));
    EXPECT_EQ("setup.exe: done, 10.0 MiB", cli::FinishedLine(half, true));
    EXPECT_EQ("setup.exe: failed after 5.0 MiB of 10.0 MiB", cli::FinishedLine(half, false));
    EXPECT_EQ("a.xml: failed", cli::FinishedLine({"a.xml", 0, 0, 0}, false));

    EXPECT_EQ("1023 B", cli::FormatBytes(1023));
    EXPECT_EQ("1.5 GiB", cli::FormatBytes(1536ull * 1024 * 1024));
    EXPECT_EQ("1:02:03", cli::FormatDuration(3723));
}

TEST(ProgressLine, NarrowTerminalsGetTheShareAndAsMuchAsFits) {
    std::string chinese;  // two columns a character
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("金山词霸2009安装包.exe", chinese));
    for (const std::string& name : {std::string("PW2009-SP1.exe"), chinese,
                                    std::string(70, 'n')}) {
        const cli::TransferProgress progress{name, 1536 * 1024, 3 << 20, 6 << 20};
        for (int columns = 1; columns <= 120; ++columns) {
            for (const std::string& line :
                 {cli::ProgressBar(progress, columns), cli::FinishedBar(progress, true, columns),
                  cli::FinishedBar(progress, false, columns)}) {
                EXPECT_LT(cli::DisplayWidth(line), std::max(columns, 2)) << columns << ": " << line;
            }
        }
    }
    // At 30 columns the share and the time left stay, the name shortened to make room.
    const cli::TransferProgress long_name{std::string(40, 'n'), 1024, 512, 2048};
    EXPECT_EQ(std::string(10, 'n') + "~   25%  0:02 left", cli::ProgressBar(long_name, 30));
    EXPECT_EQ("setup.exe   25%  1.0 KiB/s  0:02 left",
              cli::ProgressBar({"setup.exe", 1024, 512, 2048}, 50));
}

TEST(StatusTranslation, ReadsTheValuesOfALibraryText) {
    std::vector<std::string> values;
    ASSERT_TRUE(cli::MatchFormat("开始下载文件 %s 从 %s...", "开始下载文件 a b 从 http://x/y...",
                                 values));
    EXPECT_EQ((std::vector<std::string>{"a b", "http://x/y"}), values);
    // A path that holds the separator itself: the earlier value takes the longest reading.
    ASSERT_TRUE(cli::MatchFormat("保护文件：%s...%s", "保护文件：D:\\a...b\\c.exe...成功", values));
    EXPECT_EQ((std::vector<std::string>{"D:\\a...b\\c.exe", "成功"}), values);
    ASSERT_TRUE(cli::MatchFormat("正在恢复注册表项:%s...%d of %d", "正在恢复注册表项:Key...-3 of 12",
                                 values));
    EXPECT_EQ((std::vector<std::string>{"Key", "-3", "12"}), values);
    EXPECT_EQ("Restoring Key: 3 of 12", cli::FillFormat("Restoring %s: %d of %d", {"Key", "3", "12"}));
    for (const char* other : {"正在恢复注册表项:Key...x of 12", "保护文件：D:\\a", "保护成功!", ""}) {
        EXPECT_FALSE(cli::MatchFormat("正在恢复注册表项:%s...%d of %d", other, values)) << other;
        EXPECT_FALSE(cli::MatchFormat("保护文件：%s...%s", other, values)) << other;
        EXPECT_TRUE(values.empty());
    }
}

}  // namespace
