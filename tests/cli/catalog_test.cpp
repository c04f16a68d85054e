// The CLI's message catalog translates every status line the library sends: each Chinese text in
// the library's sources is in the catalog, or is one the library never sends as a status line
// (log details, report lines, error texts).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "status_translation.h"
#include "support/temp_machine.h"

namespace {

// Texts of the library that are log details, report lines or error texts.
const std::set<std::string> kNoStatusLines = {
    "软件正常", "软件被修改", "软件被破坏", "软件可升级", "软件被升级到新的版本",
    "文件%s 正常", "文件%s 被修改", "文件%s 被破坏", "文件%s 缺少依赖文件",
    "文件%s 依赖文件缺少需要的函数", "文件%s 没有注册", "文件%s 可升级", "文件%s 被删除",
    "文件%s 被升级到新的版本", "修复成功", "修复失败", "恢复成功", "恢复失败", "配置项",
    "错误的文件名或路径名", "未知错误", "磁盘空间不足，无法保护！",
};

TEST(StatusCatalog, HoldsEveryStatusTextOfTheLibrary) {
    const std::filesystem::path sources =
        std::filesystem::path(WI_TEST_FIXTURES).parent_path().parent_path().parent_path() / "src";
    ASSERT_TRUE(std::filesystem::is_directory(sources)) << sources;
    const std::regex narrowed("NarrowFromUtf8\\(\\s*\"([^\"]*)\"");
    const std::set<std::string> catalog(cli::CatalogTexts().begin(), cli::CatalogTexts().end());
    std::size_t found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sources)) {
        if (entry.path().extension() != ".cpp") continue;
        const std::string text = wi::test::TempMachine::ReadHostFile(entry.path().string());
        for (std::sregex_iterator it(text.begin(), text.end(), narrowed), end; it != end; ++it) {
            const std::string literal = (*it)[1];
            if (std::all_of(literal.begin(), literal.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                continue;
            }
            ++found;
            EXPECT_TRUE(catalog.count(literal) != 0 || kNoStatusLines.count(literal) != 0)
                << literal << " (" << entry.path().filename().string()
                << ") is in neither the catalog nor the list of texts that are no status lines";
        }
    }
    EXPECT_GT(found, 50u);
}

}  // namespace
