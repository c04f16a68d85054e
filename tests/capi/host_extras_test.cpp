// The host extras of the C interface that reach the machine's files, the resolver, the reader of
// record documents and the narrow code page.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/sibling_name.h"
#include "support/gbk_locale.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"
#include "webinteractive/webinteractive_c.h"

namespace {

using wi::test::Narrow;
using wi::test::TempMachine;

std::string ReadBack(const char* path) {
    const char* bytes = nullptr;
    size_t size = 0;
    if (wi_read_machine_file(path, &bytes, &size) != WI_OK) return "(unreadable)";
    return std::string(bytes, size);
}

TEST(HostExtras, PartialFilesOfThisProcessGoFolderByFolderOrWithTheTree) {
    TempMachine machine;
    ASSERT_EQ(WI_OK, wi_insure_directory_exist("D:\\partial\\sub\\"));
    const std::string own = std::to_string(wi::platform::CurrentProcessId());
    const std::string top = "D:\\partial\\.~wi" + own + "-1";
    const std::string below = "D:\\partial\\sub\\.~wi" + own + "-2";
    TempMachine::WriteHostFile(machine.HostPath(top), "top");
    TempMachine::WriteHostFile(machine.HostPath(below), std::string("a\0b", 3));

    int removed = -1;
    ASSERT_EQ(WI_OK, wi_remove_partial_files("D:\\partial", 0, 1, &removed));
    EXPECT_EQ(1, removed);
    EXPECT_EQ("(unreadable)", ReadBack(top.c_str()));
    EXPECT_EQ(std::string("a\0b", 3), ReadBack(below.c_str()));  // every byte, NUL too

    ASSERT_EQ(WI_OK, wi_remove_partial_files("D:\\partial\\", 1, 1, &removed));
    EXPECT_EQ(1, removed);
    const char* bytes = nullptr;
    size_t size = 0;
    EXPECT_EQ(WI_FAILED, wi_read_machine_file(below.c_str(), &bytes, &size));
    EXPECT_EQ(WI_MISUSE, wi_remove_partial_files("D:\\partial", 1, 1, nullptr));
}

TEST(HostExtras, AMachineFileIsReadIntoTheKeptBufferUpTo128MiB) {
    TempMachine machine;
    // Longer than a string keeps in itself, so that the bytes live in the buffer's own storage.
    const std::string first(64, 'f'), second(48, 's');
    TempMachine::WriteHostFile(machine.HostPath("D:\\first.txt"), first);
    TempMachine::WriteHostFile(machine.HostPath("D:\\second.txt"), second);
    const char* kept = nullptr;
    size_t size = 0;
    ASSERT_EQ(WI_OK, wi_read_machine_file("D:\\first.txt", &kept, &size));
    const char* bytes = nullptr;
    ASSERT_EQ(WI_OK, wi_read_machine_file("D:\\second.txt", &bytes, &size));
    EXPECT_EQ(bytes, kept);  // a pointer a host kept shows the latest bytes
    EXPECT_EQ(std::string(kept, size), second);

    std::filesystem::resize_file(machine.HostPath("D:\\second.txt"), (size_t{128} << 20) + 1);
    EXPECT_EQ(WI_FAILED, wi_read_machine_file("D:\\second.txt", &bytes, &size));
}

TEST(HostExtras, HostNamesResolveAsTheTransfersLookThemUp) {
    int resolved = -2;
    const char* host = nullptr;
    ASSERT_EQ(WI_OK, wi_resolve_host_name("http://user:pw@127.0.0.1:1/x", &resolved, &host));
    EXPECT_EQ(1, resolved);
    EXPECT_STREQ("127.0.0.1", host);
    ASSERT_EQ(WI_OK, wi_resolve_host_name("http://no-such-host.invalid/x", &resolved, &host));
    EXPECT_EQ(0, resolved);
    EXPECT_STREQ("no-such-host.invalid", host);
    for (const char* nothing : {"ftp://example.com/", "http://[::1]:80/", "no address"}) {
        ASSERT_EQ(WI_OK, wi_resolve_host_name(nothing, &resolved, &host));
        EXPECT_EQ(-1, resolved) << nothing;
        EXPECT_STREQ("", host);
    }
}

TEST(HostExtras, RecordDocumentsAreReadFromTheirBytes) {
    // Not terminated: the bytes are read by their count.
    const std::string document =
        "<softwares><software><BaseInfo><GUID>{A}</GUID></BaseInfo><Version><VersionInfo>"
        "<Size>5000000000</Size></VersionInfo><FileList><file><SId>f</SId></file></FileList>"
        "</Version><Version/></software></softwares>trailing";
    wi_list* softs = nullptr;
    ASSERT_EQ(WI_OK, wi_read_record_document(document.data(), document.size() - 8, &softs))
        << wi_last_error();
    int64_t count = 0;
    ASSERT_EQ(WI_OK, wi_list_count(softs, &count));
    ASSERT_EQ(2, count);
    const wi_record* soft = nullptr;
    ASSERT_EQ(WI_OK, wi_list_get(softs, 0, &soft));
    int64_t size = 0;
    ASSERT_EQ(WI_OK, wi_record_get_int(soft, "Size", &size));
    EXPECT_EQ(5000000000, size);
    wi_list* files = nullptr;
    ASSERT_EQ(WI_OK, wi_record_get_list(soft, "files", &files));
    ASSERT_EQ(WI_OK, wi_list_count(files, &count));
    EXPECT_EQ(1, count);
    wi_list_free(files);
    wi_list_free(softs);

    softs = nullptr;
    EXPECT_EQ(WI_FAILED, wi_read_record_document(document.data(), document.size(), &softs));
    EXPECT_NE(nullptr, std::strstr(wi_last_error(), "is not well-formed XML")) << wi_last_error();
    const std::string guids = "<softwares><software><BaseInfo><GUID>{A}</GUID></BaseInfo>"
                              "<Version><VersionInfo><GUID>{B}</GUID></VersionInfo></Version>"
                              "</software></softwares>";
    EXPECT_EQ(WI_FAILED, wi_read_record_document(guids.data(), guids.size(), &softs));
    EXPECT_STREQ("software 1, version 1: \"GUID\" \"{B}\" differs from that of its base "
                 "information \"{A}\"",
                 wi_last_error());
    EXPECT_EQ(nullptr, softs);
    EXPECT_EQ(WI_MISUSE, wi_read_record_document(nullptr, 1, &softs));
    EXPECT_EQ(size_t{32} << 20, wi_max_document_bytes());
}

TEST(HostExtras, TextsConvertBetweenTheNarrowCodePageAndUtf8) {
    wi::test::GbkLocale gbk;  // a double-byte narrow code page
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::string narrow = Narrow("中文 x");
    const char* converted = nullptr;
    ASSERT_EQ(WI_OK, wi_narrow_to_utf8(narrow.c_str(), &converted));
    EXPECT_STREQ("中文 x", converted);
    ASSERT_EQ(WI_OK, wi_utf8_to_narrow("中文 x", &converted));
    EXPECT_EQ(narrow, converted);
    EXPECT_EQ(WI_FAILED, wi_utf8_to_narrow("\xff", &converted));

    size_t length = 9;
    ASSERT_EQ(WI_OK, wi_narrow_char_length(narrow.c_str(), narrow.size(), &length));
    EXPECT_EQ(2u, length);
    ASSERT_EQ(WI_OK, wi_narrow_char_length(narrow.c_str(), 1, &length));  // cut off: one byte
    EXPECT_EQ(1u, length);
    ASSERT_EQ(WI_OK, wi_narrow_char_length("", 0, &length));
    EXPECT_EQ(0u, length);
}

}  // namespace
