// The attribute bound checked piece by piece gives the whole text's answer wherever the text is
// cut: the place in a tag, a quote and the count carry from one piece to the next.
#include "platform/posix/xml_bounds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using wi::xml::libxml2::AttributeCountsWithin;
using wi::xml::libxml2::AttributeScan;

TEST(XmlAttributeScan, PiecesGiveTheWholeTextsAnswer) {
    const std::string texts[] = {
        "<a x='1' y=\"2\" z=3/>",           // three: beyond a bound of two
        "<a x='1=2=3' y=\"=\"/><b/>",      // '=' in quotes do not count
        "<!-- <a x=1 y=2 z=3> --><a/>",    // a comment's start-tag-like text counts too
        "<a x=1 y=2 <b z=3 w=4>",          // a '<' ends the tag, even unquoted
        "<a x='1 <b y=2 z=3>",             // ... and inside a quote
        "</a x=1 y=2 z=3><?p x=1 y=2 z=3?><",
    };
    for (const std::string& text : texts) {
        const bool whole = AttributeCountsWithin(text, 2);
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            for (std::size_t second = cut; second <= text.size(); ++second) {
                AttributeScan scan(2);
                const bool within = scan.Feed(text.data(), cut) &&
                                    scan.Feed(text.data() + cut, second - cut) &&
                                    scan.Feed(text.data() + second, text.size() - second);
                ASSERT_EQ(whole, within) << text << " cut at " << cut << " and " << second;
            }
        }
    }
    EXPECT_FALSE(AttributeCountsWithin(texts[0], 2));
    EXPECT_TRUE(AttributeCountsWithin(texts[1], 2));
    EXPECT_FALSE(AttributeCountsWithin(texts[2], 2));
    EXPECT_TRUE(AttributeCountsWithin(texts[3], 2));
    EXPECT_TRUE(AttributeCountsWithin(texts[4], 2));
    EXPECT_TRUE(AttributeCountsWithin(texts[5], 2));
}

}  // namespace
