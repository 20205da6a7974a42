// The plain reader must never read a document differently from the full
// parser: whatever it accepts, the parser accepts with the same elements
// and text; whatever the parser refuses, it declines.
#include "TestData.h"
#include "XmlEvents.h"
#include "host/objects/LLXmlText.h"

#include <optional>

namespace {

using xmlevents::parsed;
using xmlevents::plain;

const QString Declaration = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16"?>)");

QString record(const QString& value) {
    QString xml = Declaration + QStringLiteral("<BOM><BO><AdmInfo><Object>4</Object></AdmInfo>"
                                               "<OITM><row>");
    LLAppendXmlElement(xml, u"ItemName", value);
    return xml + QStringLiteral("<Empty/></row></OITM></BO></BOM>");
}

struct Case {
    const char* what;
    QString xml;
    bool plain;
};

class PlainXmlDocuments : public testing::TestWithParam<Case> {};

TEST_P(PlainXmlDocuments, AreReadAsTheParserReadsThemOrLeftToIt) {
    const Case& c = GetParam();
    const std::optional<QString> fast = plain(c.xml);
    EXPECT_EQ(fast.has_value(), c.plain) << c.what;
    if (fast) {
        EXPECT_EQ(fast, parsed(c.xml)) << c.what;
    }
}

QString nested(int depth) {
    return QStringLiteral("<a>").repeated(depth) + QStringLiteral("</a>").repeated(depth);
}

QString wrapped(const char* body) {
    return Declaration + QString::fromUtf8(body);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PlainXmlDocuments,
    testing::Values(
        Case{"record", record(QStringLiteral("Bolt & <nut> \"x\" 'y'")), true},
        Case{"no declaration", QStringLiteral("<a><b>t</b></a>"), true},
        Case{"declaration with a blank",
             QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16" ?>)"
                            "\n<a>t</a>\n"),
             true},
        Case{"byte-order mark", QChar(0xFEFF) + QStringLiteral("<a>t</a>"), true},
        Case{"references", wrapped("<a>&#65;&#x42;&#x1F600;&#13;&quot;&apos;&gt;&lt;&amp;</a>"),
             true},
        Case{"pair of surrogates", wrapped("<a>\xF0\x9F\x98\x80</a>"), true},
        Case{"whitespace between elements", wrapped("<a>\n\t<b> x </b>\n</a>"), true},
        Case{"empty element", wrapped("<a><b/></a>"), true},
        Case{"nested 200 deep", nested(200), true},
        // Everything below is the full parser's to accept or refuse.
        Case{"attribute", wrapped(R"(<a k="v">t</a>)"), false},
        Case{"comment", wrapped("<a><!-- c --></a>"), false},
        Case{"CDATA", wrapped("<a><![CDATA[<b>]]></a>"), false},
        Case{"document type", wrapped("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>"), false},
        Case{"declared entity", wrapped("<a>&e;</a>"), false},
        Case{"instruction", wrapped("<a><?pi x?></a>"), false},
        Case{"other declaration", QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?><a/>)"),
             false},
        Case{"carriage return", wrapped("<a>x\r\ny</a>"), false},
        Case{"mismatched end", wrapped("<a><b>t</a></b>"), false},
        Case{"unclosed", wrapped("<a><b>t</b>"), false},
        Case{"text after the root", wrapped("<a/>x"), false},
        Case{"second root", wrapped("<a/><b/>"), false},
        Case{"end tag with a blank", wrapped("<a>t</a >"), false},
        Case{"prefixed name", wrapped("<p:a>t</p:a>"), false},
        Case{"name beyond ASCII", wrapped("<\xC3\xA9>t</\xC3\xA9>"), false},
        Case{"control character", wrapped("<a>\x01</a>"), false},
        Case{"reference to a control character", wrapped("<a>&#1;</a>"), false},
        Case{"reference past Unicode", wrapped("<a>&#x110000;</a>"), false},
        Case{"bare ampersand", wrapped("<a>x & y</a>"), false},
        Case{"unterminated reference", wrapped("<a>&amp</a>"), false},
        Case{"CDATA end in text", wrapped("<a>]]></a>"), false},
        Case{"lone surrogate",
             Declaration + QStringLiteral("<a>") + QChar(0xD800) + QStringLiteral("</a>"), false},
        Case{"not a character",
             Declaration + QStringLiteral("<a>") + QChar(0xFFFE) + QStringLiteral("</a>"), false},
        Case{"nested 300 deep", nested(300), false}, Case{"empty", QString(), false}));

TEST(PlainXmlReader, CarriesEveryHostileValueAsTheParserDoes) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 50);
    int accepted = 0;
    for (const QString& value : nasty) {
        const QString xml = record(value);
        const std::optional<QString> fast = plain(xml), full = parsed(xml);
        // A value XML cannot carry at all leaves both to refuse it.
        if (fast) {
            EXPECT_EQ(fast, full) << value.toStdString();
        } else {
            EXPECT_FALSE(full.has_value()) << value.toStdString();
        }
        accepted += fast ? 1 : 0;
    }
    EXPECT_GT(accepted, nasty.size() * 9 / 10);
}

} // namespace
