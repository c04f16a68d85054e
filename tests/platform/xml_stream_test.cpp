// Streamed reads: the visitor's answers decide what is entered, collected or passed by, and the
// outcome; the inputs are decoded and refused as the DOM's.
#include "platform/xml_stream.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using wi::xml::Element;
using wi::xml::Stream;
using wi::xml::StreamResult;
using wi::xml::StreamSource;
using wi::xml::StreamStep;

// Answers Open by the element's name through `decide` (kSkip when it gives nothing else) and
// writes down every call: "open a 1", "collected a 1 <text>", "close a 1".
class Recorder : public wi::xml::StreamVisitor {
public:
    explicit Recorder(std::function<StreamStep(const std::string& name)> decide)
        : decide_(std::move(decide)) {}

    StreamStep Open(const Element& element, int depth) override {
        calls.push_back("open " + element.Name() + " " + std::to_string(depth));
        return decide_(element.Name());
    }
    StreamStep Collected(const Element& element, int depth) override {
        calls.push_back("collected " + element.Name() + " " + std::to_string(depth) + " " +
                        element.Text() + " " + std::to_string(element.Children().size()));
        return collectedAnswer;
    }
    StreamStep Close(const Element& element, int depth) override {
        calls.push_back("close " + element.Name() + " " + std::to_string(depth));
        return StreamStep::kEnter;
    }

    std::vector<std::string> calls;
    StreamStep collectedAnswer = StreamStep::kEnter;

private:
    std::function<StreamStep(const std::string&)> decide_;
};

StreamStep EnterListCollectItem(const std::string& name) {
    if (name == "list" || name == "part") return StreamStep::kEnter;
    return name == "item" ? StreamStep::kCollect : StreamStep::kSkip;
}

TEST(XmlStream, VisitsWhatTheVisitorAsksForInDocumentOrder) {
    Recorder recorder(EnterListCollectItem);
    const std::string document =
        "<list>text<item>a<b>b</b><![CDATA[<c>]]><!-- no --></item><skipped><item/></skipped>"
        "<part><item>x</item><other><item/></other></part></list>";
    EXPECT_EQ(StreamResult::kRead, Stream(StreamSource::kText, document, recorder));
    const std::vector<std::string> expected = {
        "open list 0",        "open item 1",  "collected item 1 ab<c> 1", "open skipped 1",
        "open part 1",        "open item 2",  "collected item 2 x 0",     "open other 2",
        "close part 1",       "close list 0"};
    EXPECT_EQ(expected, recorder.calls);
}

TEST(XmlStream, TheVisitorStopsOrRefusesAndAMalformedRestRefuses) {
    Recorder stopping([](const std::string& name) {
        return name == "stop" ? StreamStep::kStop : EnterListCollectItem(name);
    });
    EXPECT_EQ(StreamResult::kStopped,
              Stream(StreamSource::kText, "<list><item/><stop/><item/></list>", stopping));
    EXPECT_EQ(4u, stopping.calls.size());  // open list, open item, collected item, open stop

    Recorder refusing(EnterListCollectItem);
    refusing.collectedAnswer = StreamStep::kRefuse;
    EXPECT_EQ(StreamResult::kRefused,
              Stream(StreamSource::kText, "<list><item/><item/></list>", refusing));
    EXPECT_EQ(3u, refusing.calls.size());

    // Records already handed over do not make a document that breaks off later acceptable.
    Recorder reader(EnterListCollectItem);
    EXPECT_EQ(StreamResult::kRefused,
              Stream(StreamSource::kText, "<list><item>1</item><item>2</item>", reader));
    EXPECT_EQ(StreamResult::kRefused,
              Stream(StreamSource::kText, "<!DOCTYPE list [<!ENTITY e 'x'>]><list/>", reader));
}

// A collected element holds at most kMaxCollectedElements elements; a skipped one is not counted.
TEST(XmlStream, ACollectedElementIsBoundedAndASkippedOneIsNot) {
    const auto document = [](const char* name, int elements) {
        std::string text = "<list><" + std::string(name) + ">";
        for (int i = 1; i < elements; ++i) text += "<a/>";
        return text + "</" + name + "></list>";
    };
    Recorder recorder(EnterListCollectItem);
    const int bound = wi::xml::kMaxCollectedElements;
    EXPECT_EQ(StreamResult::kRead, Stream(StreamSource::kText, document("item", bound), recorder));
    EXPECT_EQ(StreamResult::kRefused,
              Stream(StreamSource::kText, document("item", bound + 1), recorder));
    EXPECT_EQ(StreamResult::kRead,
              Stream(StreamSource::kText, document("other", 4 * bound), recorder));
}

TEST(XmlStream, InputsAreDecodedAsTheDomDecodesThem) {
    const std::string chinese = wi::test::Narrow("中文");
    const std::string gb2312 = "<?xml version='1.0' encoding='gb2312'?><list><item>\xD6\xD0\xCE\xC4"
                               "</item></list>";
    Recorder fromBytes(EnterListCollectItem);
    ASSERT_EQ(StreamResult::kRead, Stream(StreamSource::kBytes, gb2312, fromBytes));
    EXPECT_EQ("collected item 1 " + chinese + " 0", fromBytes.calls.at(2));

    wi::test::TempMachine machine;
    wi::test::TempMachine::WriteHostFile(machine.HostPath("C:\\list.xml"), gb2312);
    Recorder fromFile(EnterListCollectItem);
    ASSERT_EQ(StreamResult::kRead, Stream(StreamSource::kFile, "C:\\list.xml", fromFile));
    EXPECT_EQ(fromBytes.calls, fromFile.calls);
    EXPECT_EQ(StreamResult::kRefused, Stream(StreamSource::kFile, "C:\\none.xml", fromFile));

    Recorder fromText(EnterListCollectItem);
    ASSERT_EQ(StreamResult::kRead,
              Stream(StreamSource::kText, "<list><item>" + chinese + "</item></list>", fromText));
    EXPECT_EQ(fromBytes.calls, fromText.calls);
}

// A file is read and decoded in blocks: a character cut by a block's end reads whole, and a
// sequence that does not decode far into the file refuses it.
TEST(XmlStream, AFileDecodesAcrossItsBlocks) {
    const std::string start = "<?xml version='1.0' encoding='gb2312'?><list><!--";
    std::string items;
    for (int i = 0; i < 20000; ++i) items += "<item>\xD6\xD0</item>";  // "中"
    // The first "中" begins on the last byte of the first 64 KiB.
    const std::string filler(65535 - start.size() - 3 - 6, 'x');
    const std::string good = start + filler + "-->" + items + "</list>";
    ASSERT_EQ('\xD6', good[65535]);
    wi::test::TempMachine machine;
    wi::test::TempMachine::WriteHostFile(machine.HostPath("C:\\list.xml"), good);
    int collected = 0;
    Recorder recorder([&collected](const std::string& name) {
        return name == "list" ? StreamStep::kEnter : StreamStep::kCollect;
    });
    ASSERT_EQ(StreamResult::kRead, Stream(StreamSource::kFile, "C:\\list.xml", recorder));
    const std::string expected = "collected item 1 " + wi::test::Narrow("中") + " 0";
    for (const std::string& call : recorder.calls) collected += call == expected ? 1 : 0;
    EXPECT_EQ(20000, collected);

    std::string bad = good;
    bad.replace(bad.rfind("\xD6\xD0"), 2, "\xFF\xFF");
    wi::test::TempMachine::WriteHostFile(machine.HostPath("C:\\list.xml"), bad);
    EXPECT_EQ(StreamResult::kRefused, Stream(StreamSource::kFile, "C:\\list.xml", recorder));
}

}  // namespace
