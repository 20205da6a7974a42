#include "TestData.h"
#include "XmlTestSupport.h"

#include "xml/MRV_DOMParser.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_XmlParserError.h"
#include "xml/MRV_XmlString.h"

#include <QDir>
#include <QTemporaryDir>

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <gtest/gtest.h>

#include <thread>

namespace {

const QString Utf16Declaration = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16"?>)");

TEST(XmlParseString, DeclarationIsPutInFrontOnlyWhenNoneIsThere) {
    MRV_DOMParser p;
    // The error's column shows whether the 39-character declaration went in
    // front of the text: Xerces places a bad end tag at the character after
    // its name.
    EXPECT_FALSE(p.parseString(QStringLiteral("<r></x>")));
    EXPECT_EQ(firstErrorPosition(p.errorList()).second, Utf16Declaration.size() + 6);
    EXPECT_FALSE(p.parseString(QStringLiteral("<r>?XmL</x>")));
    EXPECT_EQ(firstErrorPosition(p.errorList()).second, 10);

    EXPECT_TRUE(p.parseString(QStringLiteral("<r>?XmL</r>")));
    EXPECT_EQ(p.nodeText(), QStringLiteral("?XmL"));
    EXPECT_TRUE(p.parseString(QStringLiteral("<?xml version='1.0'?>\n<r/>")));
    EXPECT_EQ(p.nodeName(), QStringLiteral("r"));
}

TEST(XmlParseString, TextIsUtf16WhateverTheDeclarationSays) {
    const QString text = QStringLiteral("Grüße 日本語 😀 ÿ");
    for (const char* encoding : {"UTF-8", "ISO-8859-1", "UTF-16", "utf-16be"}) {
        MRV_DOMParser p;
        const QString doc = QStringLiteral(R"(<?xml version="1.0" encoding="%1"?><r a="%2">%2</r>)")
                                .arg(QLatin1String(encoding), text);
        ASSERT_TRUE(p.parseString(doc)) << encoding << p.errorList().toStdString();
        EXPECT_EQ(p.nodeText(), text) << encoding;
        QString a;
        EXPECT_TRUE(p.getAttribute(QStringLiteral("a"), a));
        EXPECT_EQ(a, text) << encoding;
    }
    MRV_DOMParser p;
    EXPECT_TRUE(p.parseString(QChar(0xFEFF) + QStringLiteral("<r>x</r>")));
    EXPECT_EQ(p.nodeText(), QStringLiteral("x"));
}

TEST(XmlParseString, BadTextFailsCleanlyAndDropsTheOldDocument) {
    const QStringList bad = {QString(),
                             QStringLiteral("   "),
                             QStringLiteral("not xml"),
                             QStringLiteral("<r>a") + QChar(0) + QStringLiteral("b</r>"),
                             QStringLiteral("<r>\x01</r>"),
                             QStringLiteral("<r><a></r>"),
                             QStringLiteral("<r/><r/>"),
                             QStringLiteral("<r a='1' a='2'/>"),
                             QStringLiteral("<r>&undefined;</r>"),
                             QStringLiteral("<r>") + QChar(0xD800) + QStringLiteral("</r>")};
    for (const QString& text : bad) {
        MRV_DOMParser p;
        ASSERT_TRUE(p.parseString(QStringLiteral("<ok/>")));
        p.setSkip(false);
        EXPECT_FALSE(p.parseString(text)) << text.toStdString();
        EXPECT_TRUE(p.skip());
        EXPECT_FALSE(p.hasCurrent());
        EXPECT_EQ(p.serialize(true), QStringLiteral("ERROR"));
        EXPECT_NE(p.errorList(), QStringLiteral("<ErrorList></ErrorList>")) << text.toStdString();
    }
}

TEST(XmlParseString, NestingIsCappedAtAThousandLevels) {
    const auto nested = [](int depth) {
        return QStringLiteral("<a>").repeated(depth) + QStringLiteral("<e/>x") +
               QStringLiteral("</a>").repeated(depth);
    };
    MRV_DOMParser p;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(p.parseString(nested(999))) << p.errorList().toStdString();
        EXPECT_EQ(p.find(QStringLiteral("a")), 998);
        EXPECT_TRUE(p.serialize(false).contains(QStringLiteral("<a><e/>x</a></a>")));
        // The declaration put in front, 1,000 times "<a>", then "<e/>": the
        // 1,001st level is refused.
        EXPECT_FALSE(p.parseString(nested(1000)));
        EXPECT_TRUE(
            p.errorList().contains(QStringLiteral("Line Number = 1, Column Number = 3044, "
                                                  "Description = elements are nested too deeply")));
    }
    EXPECT_FALSE(p.parseString(nested(300'000)));
}

TEST(XmlParseString, LargeDocument) {
    // About 50 MB of text in 100,000 elements.
    const QString filler = QStringLiteral("äbc&amp;").repeated(60);
    QString doc = QStringLiteral("<root>");
    doc.reserve(52'000'000);
    constexpr int Count = 100'000;
    for (int i = 0; i < Count; ++i)
        doc += QStringLiteral("<item id=\"%1\">%2</item>").arg(i).arg(filler);
    doc += QStringLiteral("<last/></root>");
    ASSERT_GT(doc.size() * 2, 50'000'000);

    // Its speed is watched by bench/xml_parse; here it must parse whole.
    MRV_DOMParser p;
    ASSERT_TRUE(p.parseString(doc));
    EXPECT_EQ(p.countElementChildren(), Count + 1);
    ASSERT_EQ(p.find(QStringLiteral("last")), 1);
    ASSERT_TRUE(p.step(1, false));
    QString id;
    EXPECT_TRUE(p.getAttribute(QStringLiteral("id"), id));
    EXPECT_EQ(id, QString::number(Count - 1));
    EXPECT_EQ(p.nodeText(), QStringLiteral("äbc&").repeated(60));
}

TEST(XmlParseString, TextPiecesJoinOnlyWithinOneNode) {
    MRV_DOMParser p;
    ASSERT_TRUE(p.parseString(
        QStringLiteral("<r>x&amp;&#x263A;&lt;y<![CDATA[<c>]]>z<!--n-->w<e>&gt;</e>v</r>")));
    EXPECT_EQ(p.nodeText(), QStringLiteral("x&☺<y"));
    p.setSkip(false);
    const QStringList kinds = {"#text", "#cdata-section", "#text", "#comment", "#text",
                               "e",     "#text"};
    ASSERT_TRUE(p.step(0, true));
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(p.nodeName(), kinds[i]);
        EXPECT_EQ(p.step(1, true), i + 1 < kinds.size());
    }
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeText(), QStringLiteral(">"));
}

TEST(XmlErrorList, EntriesNameLineAndColumnAndAreTakenOnce) {
    MRV_DOMParser p;
    EXPECT_EQ(p.errorList(), QStringLiteral("<ErrorList></ErrorList>"));
    EXPECT_FALSE(p.parseString(QStringLiteral("<r>\n  <a>\n</r>")));
    EXPECT_FALSE(p.parseString(QStringLiteral("<r>")));
    const QString list = p.errorList();
    EXPECT_TRUE(list.startsWith(QStringLiteral("<ErrorList><Error>System Id = MRV_XmlParser, "
                                               "Line Number = 3, Column Number = ")))
        << list.toStdString();
    EXPECT_EQ(list.count(QStringLiteral("<Error>")), 2) << list.toStdString();
    EXPECT_TRUE(list.endsWith(QStringLiteral("</Error></ErrorList>")));
    EXPECT_EQ(p.errorList(), QStringLiteral("<ErrorList></ErrorList>"));
}

TEST(XmlErrorList, StaysWellFormedWhateverThePathHolds) {
    const QString path = QStringLiteral("/nonexistent/a<b>&c %1%2.xml");
    MRV_DOMParser p;
    EXPECT_FALSE(p.parseFile(path));
    const QString list = p.errorList();

    MRV_DOMParser reader;
    ASSERT_TRUE(reader.parseString(list)) << list.toStdString();
    EXPECT_EQ(reader.countElementChildren(), 1);
    ASSERT_EQ(reader.find(QStringLiteral("Error")), 1);
    EXPECT_TRUE(reader.nodeText().startsWith(QStringLiteral("System Id = ") + path +
                                             QStringLiteral(", Line Number = ")))
        << reader.nodeText().toStdString();
}

TEST(XmlErrorList, HandlerEntryFormat) {
    MRV_DOMParser p; // starts Xerces for the exception below
    MRV_XmlParserError h;
    const xercesc::SAXParseException e(u"bad <x> & more", u"pub", u"file.xml", 4, 7);
    h.warning(e);
    EXPECT_TRUE(h.errors().isEmpty());
    EXPECT_EQ(h.warnings(), QStringLiteral("<Warning>System Id = file.xml, Line Number = 4, Column "
                                           "Number = 7, Description = bad &lt;x&gt; &amp; more"
                                           "</Warning>"));
    h.error(e);
    h.fatalError(e);
    const QString one =
        QStringLiteral("<Error>System Id = file.xml, Line Number = 4, Column Number "
                       "= 7, Description = bad &lt;x&gt; &amp; more</Error>");
    EXPECT_EQ(h.takeErrors(), one + one);
    EXPECT_TRUE(h.errors().isEmpty());
}

// A UTF-8 file here (UTF-16 files are read back where they are saved), and
// files that are missing or no file.
TEST(XmlParseFile, ReadsFilesInTheirOwnEncoding) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = QStringLiteral("Grüße 日本語 😀");
    const QString utf8 = dir.filePath(QStringLiteral("ü 8.xml"));
    ASSERT_TRUE(writeAll(utf8, (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>") +
                                text + QStringLiteral("</r>"))
                                   .toUtf8()));
    MRV_DOMParser p;
    for (const QString& path : {dir.filePath(QStringLiteral("missing.xml")), dir.path()}) {
        ASSERT_TRUE(p.parseFile(utf8)) << p.errorList().toStdString();
        EXPECT_EQ(p.nodeText(), text);
        // A document from an earlier parse must be let go exactly once.
        EXPECT_FALSE(p.parseFile(path));
        EXPECT_TRUE(p.errorList().contains(QStringLiteral("<Error>System Id = ")));
        EXPECT_FALSE(p.hasCurrent());
    }
}

// Records what a SAX reader reports.
class Collector : public xercesc::DefaultHandler {
public:
    void startElement(const XMLCh*, const XMLCh*, const XMLCh* qname,
                      const xercesc::Attributes& attrs) override {
        names << fromXmlCh(qname);
        if (fromXmlCh(qname) == QLatin1String("boom"))
            throw xercesc::SAXException(u"handler gave up");
        for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
            names << fromXmlCh(attrs.getQName(i)) + QLatin1Char('=') + fromXmlCh(attrs.getValue(i));
    }
    void characters(const XMLCh* chars, const XMLSize_t length) override {
        text += QString(reinterpret_cast<const QChar*>(chars), static_cast<qsizetype>(length));
    }
    void error(const xercesc::SAXParseException&) override { ++errors; }
    void fatalError(const xercesc::SAXParseException&) override { ++errors; }

    QStringList names;
    QString text;
    int errors = 0;
};

TEST(XmlSax, DrivesTheCallersHandler) {
    MRV_SAXParser p;
    Collector c;
    p.reader()->setContentHandler(&c);
    ASSERT_TRUE(p.parseString(QStringLiteral(
        R"(<?xml version="1.0" encoding="UTF-8"?><r k="ü"><a>日本</a><b>😀&amp;</b></r>)")));
    EXPECT_EQ(c.names, QStringList({"r", "k=ü", "a", "b"}));
    EXPECT_EQ(c.text, QStringLiteral("日本😀&"));
    EXPECT_EQ(p.serialize(true), QString());
    EXPECT_TRUE(p.initCursor());
    EXPECT_EQ(p.xmlDeclaration(), Utf16Declaration);

    EXPECT_FALSE(p.parseString(QStringLiteral("<r><boom/></r>")));
    EXPECT_TRUE(p.errorList().contains(QStringLiteral("handler gave up")));
    EXPECT_FALSE(p.parseString(QStringLiteral("<r>")));
    EXPECT_FALSE(p.parseFile(QStringLiteral("/nonexistent/x.xml")));
    EXPECT_EQ(p.errorList().count(QStringLiteral("<Error>")), 2);

    // With the caller's own error handler the result still says failure.
    p.reader()->setErrorHandler(&c);
    EXPECT_FALSE(p.parseString(QStringLiteral("<r></x>")));
    EXPECT_EQ(c.errors, 1);
}

// A document from elsewhere reads nothing but itself: any document type
// declaration is refused where it stands, before it could declare an entity
// naming a local file, fetch a DTD from the network or expand entities
// without end; a URL handed to parseFile is a file name, never fetched.
TEST(XmlHostileDocuments, DoctypesAreRefusedAndNothingElseIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString secret = dir.filePath(QStringLiteral("secret.txt"));
    ASSERT_TRUE(writeAll(secret, "top secret"));
    QString laughs = QStringLiteral("<!DOCTYPE r [<!ENTITY e0 'xxxxxxxxxx'>");
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY e%1 '%2'>")
                      .arg(i)
                      .arg(QStringLiteral("&e%1;").arg(i - 1).repeated(10));
    laughs += QStringLiteral("]><r>&e9;</r>");
    const QString prolog = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    const QStringList hostile{
        prolog +
            QStringLiteral("<!DOCTYPE r [<!ENTITY e SYSTEM \"file://%1\">]><r>&e;</r>").arg(secret),
        prolog + QStringLiteral("<!DOCTYPE r SYSTEM \"http://127.0.0.1:1/x.dtd\"><r/>"),
        prolog + QStringLiteral("<!DOCTYPE r PUBLIC \"-//x//y\" \"file://%1\"><r/>").arg(secret),
        prolog + QStringLiteral("<!DOCTYPE r><r/>"),
        prolog + laughs,
    };
    for (const QString& doc : hostile) {
        const QString file = dir.filePath(QStringLiteral("hostile.xml"));
        ASSERT_TRUE(writeAll(file, doc.toUtf8()));
        MRV_DOMParser dom;
        MRV_SAXParser sax;
        Collector seen;
        sax.reader()->setContentHandler(&seen);
        for (MRV_XmlParser* p : std::initializer_list<MRV_XmlParser*>{&dom, &sax}) {
            for (const bool fromFile : {false, true}) {
                EXPECT_FALSE(fromFile ? p->parseFile(file) : p->parseString(doc))
                    << doc.toStdString();
                const QString list = p->errorList();
                EXPECT_EQ(list.count(QStringLiteral("<Error>")), 1) << list.toStdString();
                EXPECT_TRUE(list.contains(QStringLiteral("(DOCTYPE) is not allowed")))
                    << list.toStdString();
                // Where: the declaration's line, in the file that holds it.
                EXPECT_EQ(firstErrorPosition(list).first, 2) << list.toStdString();
                if (fromFile) {
                    EXPECT_TRUE(list.contains(file)) << list.toStdString();
                }
            }
        }
        EXPECT_FALSE(seen.text.contains(QStringLiteral("secret")));
        EXPECT_FALSE(dom.hasCurrent());
    }

    // A schema named by the document is never loaded, and a URL given as
    // the file is no more than a file name.
    MRV_SAXParser sax;
    Collector seen;
    sax.reader()->setContentHandler(&seen);
    EXPECT_TRUE(sax.parseString(
        QStringLiteral(R"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
                       R"(xsi:schemaLocation="urn:x http://127.0.0.1:1/x.xsd">ok</r>)")))
        << sax.errorList().toStdString();
    EXPECT_EQ(seen.text, QStringLiteral("ok"));
    MRV_DOMParser dom;
    for (const char* url : {"http://127.0.0.1:1/x.xml", "ftp://127.0.0.1:1/x.xml"}) {
        EXPECT_FALSE(dom.parseFile(QLatin1String(url)));
        EXPECT_EQ(dom.errorList().count(QStringLiteral("<Error>")), 1) << url;
    }
    const QString good = dir.filePath(QStringLiteral("good.xml"));
    ASSERT_TRUE(writeAll(good, "<r>fine</r>"));
    ASSERT_TRUE(dom.parseFile(QStringLiteral("file://") + good)) << dom.errorList().toStdString();
    EXPECT_EQ(dom.nodeText(), QStringLiteral("fine"));
}

TEST(XmlPlatform, WrappersInParallelThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < 30; ++i) {
                MRV_DOMParser p;
                const QString value = QStringLiteral("%1-%2").arg(t).arg(i);
                if (p.parseString(QStringLiteral("<r>%1</r>").arg(value)) && p.nodeText() == value)
                    ++good;
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(good.load(), 8 * 30);
}

} // namespace
