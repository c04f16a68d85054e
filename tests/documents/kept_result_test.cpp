// A host may keep the pointer a text operation returned: after the next call of an operation that
// shares the result, the kept pointer shows the new text (it is refilled in place, never handed
// new storage), also when the text passes through a double-byte code page.
#include <gtest/gtest.h>
#include <list>
#include <set>
#include <string>

#include "support/gbk_locale.h"
#include "support/narrow_literal.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"

namespace {

// A Chinese name makes the text pass through the code page conversion.
ISoftInfoInc::_SoftID Id(const std::string& guid) {
    ISoftInfoInc::_SoftID id;
    id.GUID = guid;
    id.pn_name = wi::test::Narrow("金山词霸");
    return id;
}

ISoftInfoInc::_SoftInfo Soft(const std::string& guid) {
    ISoftInfoInc::_SoftInfo soft;
    soft.GUID = guid;
    soft.Version = "1";
    return soft;
}

void ExpectKeptPointersFollow() {
    const char* kept = IWebInteractive::CreateSoftListXml({Id("{AAAA}")});
    const std::string first = kept;
    const char* second = IWebInteractive::CreateSoftListXml({Id("{BBBB}")});
    EXPECT_EQ(kept, second);
    EXPECT_NE(std::string(kept).find("{BBBB}"), std::string::npos) << first;
    // The file list shares the result with the software list.
    const char* third = IWebInteractive::CreateFileListXml({Soft("{CCCC}")});
    if (std::string(third).size() <= first.size()) {
        EXPECT_EQ(kept, third);
    }
}

TEST(KeptResult, TheSoftwareAndFileListsRefillTheirSharedText) { ExpectKeptPointersFollow(); }

TEST(KeptResult, TheSharedTextIsRefilledInADoubleByteCodePage) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    ExpectKeptPointersFollow();
}

TEST(KeptResult, PerThreadResultsAreRefilledInPlace) {
    std::string text = "a\tb";
    const char* cleaned = IWebInteractive::CleanString(text);
    text = "cd";
    EXPECT_EQ(cleaned, IWebInteractive::CleanString(text));
    EXPECT_STREQ(cleaned, "cd");

    // A longer name first: a result longer than the storage has to move.
    const char* path = IWebInteractive::GetTempXmlFilePath("KeptTemporaryDocument");
    const std::string firstPath = path;
    EXPECT_EQ(path, IWebInteractive::GetTempXmlFilePath("KeptTemp"));
    EXPECT_NE(firstPath, path);  // a new unique path, in the same buffer
}

}  // namespace
