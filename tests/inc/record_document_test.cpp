// The library's reader of record documents: every value back as the records hold it, the forms
// of the documents it meets, how bytes are decoded, and refusals that name the place, keep the
// list and bound what a document builds.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "platform/codepage.h"
#include "webinteractive/host.h"

namespace {

using ISoftInfoInc::_SoftInfo;

const char* reason = nullptr;

int Outcome(const std::string& bytes, std::list<_SoftInfo>& softs) {
    reason = nullptr;
    return IHostInc::ReadRecordDocument(bytes.data(), bytes.size(), softs, &reason);
}

std::string Reason() { return reason != nullptr ? reason : "(null)"; }

std::list<_SoftInfo> Read(const std::string& bytes) {
    std::list<_SoftInfo> softs;
    EXPECT_EQ(1, Outcome(bytes, softs)) << Reason();
    EXPECT_EQ(Reason(), "");
    return softs;
}

TEST(RecordDocument, ReadsTheUploadFormWithEveryKindOfValue) {
    const std::list<_SoftInfo> softs = Read(
        "<?xml version='1.0'?><softwares><software>"
        "<Baseinfo><GUID>{A}</GUID><Type>-3</Type><Name>n</Name><is_protected>1</is_protected>"
        "</Baseinfo>"
        "<Version><VersionInfo><GUID>{A}</GUID><Version>1</Version><Size>5000000000</Size>"
        "<language>2052</language><analyse_result>4</analyse_result></VersionInfo>"
        "<FileList><file><FID>f1</FID><Name>a.dll</Name><Type>0</Type><language>zh</language>"
        "<analyse_result>5</analyse_result><analyseFlag>1</analyseFlag><delFlag>0</delFlag></file>"
        "<file><SId>f2</SId><delFlag>1</delFlag></file></FileList>"
        "<Dependence><dep><SId/><Name>d.dll</Name><delflag>0</delflag>"
        "<special_code>sc</special_code></dep></Dependence>"
        "<Configration><cfg><CfgId/><Key>k</Key><Value>v</Value><Type>4</Type><delflag>0</delflag>"
        "<Action>2</Action></cfg></Configration></Version>"
        "<Version><VersionInfo><Version>2</Version></VersionInfo></Version>"
        "</software></softwares>");
    ASSERT_EQ(softs.size(), 2u);
    const _SoftInfo& first = softs.front();
    EXPECT_EQ(first.GUID, "{A}");
    EXPECT_EQ(first.Type, -3);
    EXPECT_EQ(first.is_protected, 1);
    EXPECT_EQ(first.Size, 5000000000LL);
    EXPECT_EQ(first.language, 2052);
    EXPECT_EQ(first.analyse_result, 4);
    ASSERT_EQ(first.files.size(), 2u);
    const IFileInfoInc::_FileInfo& file = *first.files.begin();
    EXPECT_EQ(file.SId, "f1");  // a downloaded list names it "FID"
    EXPECT_EQ(file.Type, 0);
    EXPECT_EQ(file.language, "zh");
    EXPECT_EQ(file.analyse_result, 5);
    EXPECT_EQ(file.analyseFlag, 1u);
    EXPECT_EQ(file.delFlag, 0u);
    EXPECT_EQ(first.files.rbegin()->delFlag, 1u);
    ASSERT_EQ(first.dependences.size(), 1u);
    EXPECT_FALSE(first.dependences.begin()->delflag);
    EXPECT_EQ(first.dependences.begin()->special_code, "sc");
    ASSERT_EQ(first.configs.size(), 1u);
    EXPECT_EQ(first.configs.begin()->Type, 4);
    EXPECT_EQ(first.configs.begin()->Action, 2);
    EXPECT_FALSE(first.configs.begin()->delflag);
    // The second version has the base information of its software and values of its own.
    EXPECT_EQ(softs.back().GUID, "{A}");
    EXPECT_EQ(softs.back().Name, "n");
    EXPECT_EQ(softs.back().Version, "2");
    EXPECT_EQ(softs.back().Size, 0);
    EXPECT_TRUE(softs.back().files.empty());
}

TEST(RecordDocument, MissingValuesKeepTheInitialOnesAndIdentitiesGiveOneRecordEach) {
    const std::list<_SoftInfo> softs = Read(
        "<softwares><software><BaseInfo><GUID>{A}</GUID><pn_name>p</pn_name>"
        "<pn_version>\n 7 \n</pn_version></BaseInfo></software>"
        "<other/><software><BaseInfo/><Version><VersionInfo><GUID>{B}</GUID>"
        "<WindowsVersion> </WindowsVersion></VersionInfo><FileList><file/></FileList>"
        "<Dependence><dep/></Dependence><Configration><cfg/></Configration></Version></software>"
        "</softwares>");
    ASSERT_EQ(softs.size(), 2u);
    EXPECT_EQ(softs.front().GUID, "{A}");
    EXPECT_EQ(softs.front().pn_name, "p");
    EXPECT_EQ(softs.front().pn_version, "\n 7 \n");  // texts are kept as they stand
    const _SoftInfo& second = softs.back();
    EXPECT_EQ(second.GUID, "{B}");  // from the version when the base information has none
    EXPECT_EQ(second.WindowsVersion, 2);
    ASSERT_EQ(second.files.size(), 1u);
    EXPECT_EQ(second.files.begin()->Type, 2);
    ASSERT_EQ(second.dependences.size(), 1u);
    EXPECT_TRUE(second.dependences.begin()->delflag);
    ASSERT_EQ(second.configs.size(), 1u);
    EXPECT_EQ(second.configs.begin()->Action, 1);
    EXPECT_TRUE(second.configs.begin()->delflag);
}

TEST(RecordDocument, RefusalsNameThePlaceAndKeepTheList) {
    const std::string version = "<softwares><software><BaseInfo><GUID>{A}</GUID></BaseInfo>"
                                "<Version><VersionInfo>";
    const struct {
        std::string document;
        std::string message;
    } cases[] = {
        {version + "<Size>5e9</Size></VersionInfo></Version></software></softwares>",
         "software 1, version 1: \"Size\" is not a 64-bit integer: \"5e9\""},
        {version + "<language>2147483648</language></VersionInfo></Version></software></softwares>",
         "software 1, version 1: \"language\" is not a 32-bit integer: \"2147483648\""},
        {version + "</VersionInfo><FileList><file/><file><delFlag>2</delFlag></file></FileList>"
                   "</Version></software></softwares>",
         "software 1, version 1, file 2: \"delFlag\" is not 0 or 1: \"2\""},
        {version + "<GUID>{B}</GUID></VersionInfo></Version></software></softwares>",
         "software 1, version 1: \"GUID\" \"{B}\" differs from that of its base information "
         "\"{A}\""},
        {"<Softwares/>", "the root element is \"Softwares\", not \"softwares\""},
        {"<softwares><software/><software><BaseInfo><Type>1\n2</Type></BaseInfo></software>"
         "</softwares>",
         "software 2: \"Type\" is not a 32-bit integer: \"1?2\""},
    };
    for (const auto& c : cases) {
        std::list<_SoftInfo> softs(1);
        EXPECT_EQ(-1, Outcome(c.document, softs));
        EXPECT_EQ(Reason(), c.message);
        EXPECT_EQ(softs.size(), 1u);
    }
}

// GB2312's bytes for 中 (D6 D0) are also valid UTF-8 (U+05D0): a file follows its declaration, not
// the narrow code page (UTF-8 under the C locale, code page 936 under Wine's Chinese locale).
TEST(RecordDocument, BytesAreDecodedByTheirDocumentBeforeTheNarrowCodePage) {
    std::string chinese;  // 中 in the narrow code page
    ASSERT_TRUE(wi::platform::Utf8ToNarrow("\xE4\xB8\xAD", chinese));
    std::list<_SoftInfo> softs = Read(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><softwares><software><BaseInfo>"
        "<Name>\xD6\xD0</Name></BaseInfo></software></softwares>");
    ASSERT_EQ(softs.size(), 1u);
    EXPECT_EQ(softs.front().Name, chinese);

    // UTF-16 and UTF-32 by their byte order marks, whichever byte order.
    const std::u32string text = U"\uFEFF<softwares><software><BaseInfo><Name>\u4E2D</Name>"
                                U"</BaseInfo></software></softwares>";
    std::string utf16le;
    std::string utf32be;
    for (const char32_t c : text) {
        utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        utf32be += {'\0', '\0', static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    for (const std::string& bytes : {utf16le, utf32be}) {
        softs = Read(bytes);
        ASSERT_EQ(softs.size(), 1u);
        EXPECT_EQ(softs.front().Name, chinese);
    }

    std::list<_SoftInfo> kept;
    EXPECT_EQ(0, Outcome("<?xml version=\"1.0\" encoding=\"gb2312\"?><softwares>\xFF\xFF</softwares>",
                         kept));
    EXPECT_EQ(Reason(), "the document is not valid \"gb2312\" or holds characters that " +
                            wi::platform::NarrowCodeset() + " cannot");
}

TEST(RecordDocument, DocumentsThatDoNotParseAreToldApartFromRecordsThatDoNotRead) {
    std::list<_SoftInfo> softs(1);
    EXPECT_EQ(0, Outcome("<softwares>\n  <software>\n  </softwar>\n", softs));
    // The position that follows comes from the XML library (the CLI's checks show it).
    EXPECT_EQ(0u, Reason().find("the document is not well-formed XML, declares entities or nests "
                                "too deep"))
        << Reason();
    EXPECT_EQ(0, Outcome(std::string(IHostInc::GetMaxDocumentBytes() + 1, ' '), softs));
    EXPECT_EQ(Reason(), "the document is larger than 32 MiB");
    EXPECT_EQ(0, IHostInc::ReadRecordDocument(nullptr, 1, softs, nullptr));
    EXPECT_EQ(softs.size(), 1u);
}

// A version copies its software's base information, and equal items fold into one: neither may
// make the records outgrow the bounds while the document stays small.
TEST(RecordDocument, WhatADocumentBuildsIsBounded) {
    std::string versions;
    for (int i = 0; i < 200; ++i) versions += "<Version/>";
    std::list<_SoftInfo> softs(1);
    EXPECT_EQ(-1, Outcome("<softwares><software><BaseInfo><Name>" + std::string(1 << 20, 'n') +
                              "</Name></BaseInfo>" + versions + "</software></softwares>",
                          softs));
    EXPECT_EQ(Reason(), "the document's versions copy more than 128 MiB of base information");

    const auto fileList = [](int files) {
        std::string document = "<softwares><software><Version><FileList>";
        for (int i = 0; i < files; ++i) document += "<file/>";
        return document + "</FileList></Version></software></softwares>";
    };
    EXPECT_EQ(-1, Outcome(fileList(250000), softs));  // and the version: one record more
    EXPECT_EQ(Reason(), "the document holds more than 250000 records");
    EXPECT_EQ(softs.size(), 1u);
    const std::list<_SoftInfo> read = Read(fileList(249999));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.front().files.size(), 1u);
}

}  // namespace
