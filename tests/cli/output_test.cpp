// The CLI's JSON writer and its reading and drawing of the download's progress lines.
#include <gtest/gtest.h>

#include <string>

#include "json_output.h"
#include "platform/codepage.h"
#include "progress_line.h"

namespace {

using cli::json::Value;

TEST(JsonOutput, EscapesAndConvertsEveryText) {
    Value document = Value::Object();
    document.Set("path", Value::Text("C:\\dir\\\"a\"\tb\r\n\x01\x7f"));
    std::string name;  // in the narrow code page: UTF-8, or code page 936 under Wine
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("金山词霸", name));
    document.Set("name", Value::Text(name));
    // Bytes that are no character of the narrow code page (0xFF, a lead byte cut off by the end)
    // become U+FFFD; the characters around them stay.
    document.Set("bad", Value::Text("a\xff\xff" "b\xe4"));
    Value& list = document.Set("list", Value::Array());
    list.Push(Value::Number(-1));
    list.Push(Value::Bool(true));
    list.Push(Value());
    document.Set("path", Value::Text("replaced, keeping its place"));
    EXPECT_EQ("{\"path\":\"replaced, keeping its place\",\"name\":\"金山词霸\","
              "\"bad\":\"a\xEF\xBF\xBD\xEF\xBF\xBD" "b\xEF\xBF\xBD\","
              "\"list\":[-1,true,null]}",
              document.Write());
    EXPECT_EQ("\"C:\\\\dir\\\\\\\"a\\\"\\tb\\r\\n\\u0001\\u007f\"",
              cli::json::Quote("C:\\dir\\\"a\"\tb\r\n\x01\x7f"));
    EXPECT_EQ("[]", Value::Array().Write());
    EXPECT_EQ(nullptr, document.Find("missing"));
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
    // The bar keeps its width while the numbers change, and fits a narrow terminal.
    const cli::TransferProgress start{"setup.exe", 0, 0, 10 * 1024 * 1024};
    EXPECT_EQ(bar.find(']'), cli::ProgressBar(start, 100).find(']'));
    EXPECT_NE(std::string::npos, cli::ProgressBar(start, 100).find("0 B/s  0 B of 10.0 MiB  --:-- left"));
    EXPECT_EQ(std::string::npos, cli::ProgressBar(half, 40).find('['));

    EXPECT_NE(std::string::npos, cli::FinishedBar(half, true, 100).find("100%  10.0 MiB  done"));
    EXPECT_NE(std::string::npos, cli::FinishedBar(half, false, 100).find("failed after 5.0 MiB"));
    EXPECT_NE(std::string::npos, cli::FinishedBar({"a.xml", 0, 0, 0}, true, 100).find("]  done"));

    EXPECT_EQ("1023 B", cli::FormatBytes(1023));
    EXPECT_EQ("1.5 GiB", cli::FormatBytes(1536ull * 1024 * 1024));
    EXPECT_EQ("1:02:03", cli::FormatDuration(3723));
}

}  // namespace
