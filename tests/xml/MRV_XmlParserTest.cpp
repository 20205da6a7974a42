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

#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString Utf16Declaration = uR"(<?xml version="1.0" encoding="UTF-16"?>)"_s;

// text as a file holds it in UTF-16, little-endian, after its byte-order mark.
QByteArray utf16File(const QString& text) {
    QByteArray bytes{"\xFF\xFE"};
    for (const QChar c : text)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

TEST(XmlParseString, DeclarationIsPutInFrontOnlyWhenNoneIsThere) {
    MRV_DOMParser p;
    // The error's column shows whether the 39-character declaration went in
    // front of the text: Xerces places a bad end tag at the character after
    // its name.
    EXPECT_FALSE(p.parseString(u"<r></x>"_s));
    EXPECT_EQ(firstErrorPosition(p.errorList()).second, Utf16Declaration.size() + 6);
    EXPECT_FALSE(p.parseString(u"<r>?XmL</x>"_s));
    EXPECT_EQ(firstErrorPosition(p.errorList()).second, 10);

    EXPECT_TRUE(p.parseString(u"<r>?XmL</r>"_s));
    EXPECT_EQ(p.nodeText(), u"?XmL"_s);
    EXPECT_TRUE(p.parseString(u"<?xml version='1.0'?>\n<r/>"_s));
    EXPECT_EQ(p.nodeName(), u"r"_s);
}

TEST(XmlParseString, TextIsUtf16WhateverTheDeclarationSays) {
    const QString text = u"Grüße 日本語 😀 ÿ"_s;
    for (const char* encoding : {"UTF-8", "ISO-8859-1", "UTF-16", "utf-16be"}) {
        MRV_DOMParser p;
        const QString doc = uR"(<?xml version="1.0" encoding="%1"?><r a="%2">%2</r>)"_s.arg(
            QLatin1String(encoding), text);
        ASSERT_TRUE(p.parseString(doc)) << encoding << p.errorList().toStdString();
        EXPECT_EQ(p.nodeText(), text) << encoding;
        EXPECT_EQ(attribute(p, u"a"_s), text) << encoding;
    }
    MRV_DOMParser p;
    EXPECT_TRUE(p.parseString(QChar(0xFEFF) + u"<r>x</r>"_s));
    EXPECT_EQ(p.nodeText(), u"x"_s);
}

TEST(XmlParseString, BadTextFailsCleanlyAndDropsTheOldDocument) {
    const QStringList bad = {QString(),
                             u"   "_s,
                             u"not xml"_s,
                             u"<r>a"_s + QChar(0) + u"b</r>"_s,
                             u"<r>\x01</r>"_s,
                             u"<r><a></r>"_s,
                             u"<r/><r/>"_s,
                             u"<r a='1' a='2'/>"_s,
                             u"<r>&undefined;</r>"_s,
                             u"<r>"_s + QChar(0xD800) + u"</r>"_s};
    for (const QString& text : bad) {
        MRV_DOMParser p;
        ASSERT_TRUE(p.parseString(u"<ok/>"_s));
        p.setSkip(false);
        EXPECT_FALSE(p.parseString(text)) << text.toStdString();
        EXPECT_TRUE(p.skip());
        EXPECT_FALSE(p.hasCurrent());
        EXPECT_EQ(p.serialize(true), u"ERROR"_s);
        EXPECT_NE(p.errorList(), u"<ErrorList></ErrorList>"_s) << text.toStdString();
    }
}

TEST(XmlParseString, NestingIsCappedAtAThousandLevels) {
    const auto nested = [](int depth) {
        return u"<a>"_s.repeated(depth) + u"<e/>x"_s + u"</a>"_s.repeated(depth);
    };
    MRV_DOMParser p;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(p.parseString(nested(999))) << p.errorList().toStdString();
        EXPECT_EQ(p.find(u"a"_s), 998);
        EXPECT_TRUE(p.serialize(false).contains(u"<a><e/>x</a></a>"_s));
        // The declaration put in front, 1,000 times "<a>", then "<e/>": the
        // 1,001st level is refused.
        EXPECT_FALSE(p.parseString(nested(1000)));
        EXPECT_TRUE(p.errorList().contains(u"Line Number = 1, Column Number = 3044, "
                                           "Description = elements are nested too deeply"_s));
    }
    EXPECT_FALSE(p.parseString(nested(300'000)));
}

TEST(XmlParseString, LargeDocument) {
    // About 50 MB of text in 100,000 elements.
    const QString filler = u"äbc&amp;"_s.repeated(60);
    QString doc = u"<root>"_s;
    doc.reserve(52'000'000);
    constexpr int Count = 100'000;
    for (int i = 0; i < Count; ++i)
        doc += u"<item id=\"%1\">%2</item>"_s.arg(i).arg(filler);
    doc += u"<last/></root>"_s;
    ASSERT_GT(doc.size() * 2, 50'000'000);

    // Its speed is watched by bench/xml_parse; here it must parse whole.
    MRV_DOMParser p;
    ASSERT_TRUE(p.parseString(doc));
    EXPECT_EQ(p.countElementChildren(), Count + 1);
    ASSERT_EQ(p.find(u"last"_s), 1);
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(attribute(p, u"id"_s), QString::number(Count - 1));
    EXPECT_EQ(p.nodeText(), u"äbc&"_s.repeated(60));

    // The SAX reader takes it whole too, and a file of as many references
    // in UTF-8 and in UTF-16: references of plain text count against no cap,
    // whichever scanner reads them.
    MRV_SAXParser sax;
    EXPECT_TRUE(sax.parseString(doc)) << sax.firstError().toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString many = u"<r>"_s + u"<a>x&amp;y</a>"_s.repeated(60'000) + u"</r>"_s;
    for (const QByteArray& bytes : {many.toUtf8(), utf16File(Utf16Declaration + many)}) {
        const QString file = dir.filePath(u"many.xml"_s);
        ASSERT_TRUE(writeBytes(file, bytes));
        EXPECT_TRUE(sax.parseFile(file)) << sax.firstError().toStdString();
    }
}

TEST(XmlParseString, TextPiecesJoinOnlyWithinOneNode) {
    MRV_DOMParser p;
    ASSERT_TRUE(
        p.parseString(u"<r>x&amp;&#x263A;&lt;y<![CDATA[<c>]]>z<!--n-->w<e>&gt;</e>v</r>"_s));
    EXPECT_EQ(p.nodeText(), u"x&☺<y"_s);
    p.setSkip(false);
    const QStringList kinds = {"#text", "#cdata-section", "#text", "#comment", "#text",
                               "e",     "#text"};
    ASSERT_TRUE(p.step(0, true));
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(p.nodeName(), kinds[i]);
        EXPECT_EQ(p.step(1, true), i + 1 < kinds.size());
    }
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeText(), u">"_s);
}

TEST(XmlErrorList, EntriesNameLineAndColumnAndAreTakenOnce) {
    MRV_DOMParser p;
    EXPECT_EQ(p.errorList(), u"<ErrorList></ErrorList>"_s);
    EXPECT_FALSE(p.parseString(u"<r>\n  <a>\n</r>"_s));
    EXPECT_FALSE(p.parseString(u"<r>"_s));
    const QString list = p.errorList();
    EXPECT_TRUE(list.startsWith(u"<ErrorList><Error>System Id = MRV_XmlParser, "
                                "Line Number = 3, Column Number = "_s))
        << list.toStdString();
    EXPECT_EQ(list.count(u"<Error>"_s), 2) << list.toStdString();
    EXPECT_TRUE(list.endsWith(u"</Error></ErrorList>"_s));
    EXPECT_EQ(p.errorList(), u"<ErrorList></ErrorList>"_s);
}

TEST(XmlErrorList, StaysWellFormedWhateverThePathHolds) {
    const QString path = u"/nonexistent/a<b>&c %1%2.xml"_s;
    MRV_DOMParser p;
    EXPECT_FALSE(p.parseFile(path));
    const QString list = p.errorList();

    MRV_DOMParser reader;
    ASSERT_TRUE(reader.parseString(list)) << list.toStdString();
    EXPECT_EQ(reader.countElementChildren(), 1);
    ASSERT_EQ(reader.find(u"Error"_s), 1);
    EXPECT_TRUE(reader.nodeText().startsWith(u"System Id = "_s + path + u", Line Number = "_s))
        << reader.nodeText().toStdString();
}

TEST(XmlErrorList, HandlerEntryFormat) {
    MRV_DOMParser p; // starts Xerces for the exception below
    MRV_XmlParserError h;
    const xercesc::SAXParseException e(u"bad <x> & more", u"pub", u"file.xml", 4, 7);
    h.warning(e);
    EXPECT_TRUE(h.errors().isEmpty());
    EXPECT_EQ(h.warnings(), u"<Warning>System Id = file.xml, Line Number = 4, Column "
                            "Number = 7, Description = bad &lt;x&gt; &amp; more"
                            "</Warning>"_s);
    h.error(e);
    h.fatalError(e);
    const QString one = u"<Error>System Id = file.xml, Line Number = 4, Column Number "
                        "= 7, Description = bad &lt;x&gt; &amp; more</Error>"_s;
    EXPECT_EQ(h.takeErrors(), one + one);
    EXPECT_TRUE(h.errors().isEmpty());
}

// A UTF-8 file here (UTF-16 files are read back where they are saved), and
// files that are missing or no file.
TEST(XmlParseFile, ReadsFilesInTheirOwnEncoding) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = u"Grüße 日本語 😀"_s;
    const QString utf8 = dir.filePath(u"ü 8.xml"_s);
    ASSERT_TRUE(writeBytes(
        utf8, (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>"_s + text + u"</r>"_s).toUtf8()));
    MRV_DOMParser p;
    for (const QString& path : {dir.filePath(u"missing.xml"_s), dir.path()}) {
        ASSERT_TRUE(p.parseFile(utf8)) << p.errorList().toStdString();
        EXPECT_EQ(p.nodeText(), text);
        // A document from an earlier parse must be let go exactly once.
        EXPECT_FALSE(p.parseFile(path));
        EXPECT_TRUE(p.errorList().contains(u"<Error>System Id = "_s));
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
    ASSERT_TRUE(p.parseString(
        uR"(<?xml version="1.0" encoding="UTF-8"?><r k="ü"><a>日本</a><b>😀&amp;</b></r>)"_s));
    EXPECT_EQ(c.names, QStringList({"r", "k=ü", "a", "b"}));
    EXPECT_EQ(c.text, u"日本😀&"_s);
    EXPECT_EQ(p.serialize(true), QString());
    EXPECT_TRUE(p.initCursor());
    EXPECT_EQ(p.xmlDeclaration(), Utf16Declaration);

    EXPECT_FALSE(p.parseString(u"<r><boom/></r>"_s));
    EXPECT_TRUE(p.errorList().contains(u"handler gave up"_s));
    EXPECT_FALSE(p.parseString(u"<r>"_s));
    EXPECT_FALSE(p.parseFile(u"/nonexistent/x.xml"_s));
    EXPECT_EQ(p.errorList().count(u"<Error>"_s), 2);

    // With the caller's own error handler the result still says failure.
    p.reader()->setErrorHandler(&c);
    EXPECT_FALSE(p.parseString(u"<r></x>"_s));
    EXPECT_EQ(c.errors, 1);
}

// A document from elsewhere reads nothing but itself: any document type
// declaration is refused where it stands, before it could declare an entity
// naming a local file, fetch a DTD from the network or expand entities
// without end; a URL handed to parseFile is a file name, never fetched.
TEST(XmlHostileDocuments, DoctypesAreRefusedAndNothingElseIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString secret = dir.filePath(u"secret.txt"_s);
    ASSERT_TRUE(writeBytes(secret, "top secret"));
    QString laughs = u"<!DOCTYPE r [<!ENTITY e0 'xxxxxxxxxx'>"_s;
    for (int i = 1; i < 10; ++i)
        laughs += u"<!ENTITY e%1 '%2'>"_s.arg(i).arg(u"&e%1;"_s.arg(i - 1).repeated(10));
    laughs += u"]><r>&e9;</r>"_s;
    const QString prolog = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"_s;
    const QStringList hostile{
        prolog + u"<!DOCTYPE r [<!ENTITY e SYSTEM \"file://%1\">]><r>&e;</r>"_s.arg(secret),
        prolog + u"<!DOCTYPE r SYSTEM \"http://127.0.0.1:1/x.dtd\"><r/>"_s,
        prolog + u"<!DOCTYPE r PUBLIC \"-//x//y\" \"file://%1\"><r/>"_s.arg(secret),
        prolog + u"<!DOCTYPE r><r/>"_s,
        prolog + laughs,
        // Behind what else a prolog may hold, which must not hide it.
        prolog + u"<!-- <r> --> <?pi <!DOCTYPE?>\t<!DOCTYPE r [<!ENTITY e 'x'>]><r>&e;</r>"_s,
    };
    for (const QString& doc : hostile) {
        const QString file = dir.filePath(u"hostile.xml"_s);
        ASSERT_TRUE(writeBytes(file, doc.toUtf8()));
        MRV_DOMParser dom;
        MRV_SAXParser sax;
        Collector seen;
        sax.reader()->setContentHandler(&seen);
        for (MRV_XmlParser* p : std::initializer_list<MRV_XmlParser*>{&dom, &sax}) {
            for (const bool fromFile : {false, true}) {
                // Plain text goes to a cheaper scanner; what follows it must
                // still meet the strict one, and an undeclared entity is an
                // error on both.
                EXPECT_TRUE(p->parseString(u"<r>plain &amp; simple</r>"_s));
                EXPECT_FALSE(p->parseString(u"<r>&e;</r>"_s));
                p->errorList();
                EXPECT_FALSE(fromFile ? p->parseFile(file) : p->parseString(doc))
                    << doc.toStdString();
                const QString list = p->errorList();
                EXPECT_EQ(list.count(u"<Error>"_s), 1) << list.toStdString();
                EXPECT_TRUE(list.contains(u"(DOCTYPE) is not allowed"_s)) << list.toStdString();
                // Where: the declaration's line, in the file that holds it.
                EXPECT_EQ(firstErrorPosition(list).first, 2) << list.toStdString();
                if (fromFile) {
                    EXPECT_TRUE(list.contains(file)) << list.toStdString();
                }
            }
        }
        EXPECT_FALSE(seen.text.contains(u"secret"_s));
        EXPECT_FALSE(dom.hasCurrent());
    }

    // A file goes to the cheaper scanner only when its first bytes are a
    // prolog of plain ASCII in an encoding that reads them so; in any other
    // encoding, or behind other bytes, the declaration is still refused.
    for (const QByteArray& bytes :
         {utf16File(u"<!DOCTYPE r [<!ENTITY e 'x'>]><r>&e;</r>"_s),
          u"<?xml version=\"1.0\"?><!-- caf\u00e9 --><!DOCTYPE r><r/>"_s.toUtf8(),
          QByteArray("<?xml version='1.0' encoding='ISO-8859-15'?><!DOCTYPE r><r/>"),
          QByteArray("\xEF\xBB\xBF<!-- x --> <?pi?><!DOCTYPE r><r/>"),
          // "<!DOCTYPE r>" in UTF-7, which reads ASCII letters as markup.
          QByteArray("<?xml version=\"1.0\" encoding=\"UTF-7\"?>+ADwAIQ-DOCTYPE r+AD4-<r/>")}) {
        const QString file = dir.filePath(u"encoded.xml"_s);
        ASSERT_TRUE(writeBytes(file, bytes));
        MRV_SAXParser sax;
        ASSERT_TRUE(sax.parseString(u"<r/>"_s));
        EXPECT_FALSE(sax.parseFile(file)) << bytes.toHex().toStdString();
        EXPECT_TRUE(sax.errorList().contains(u"(DOCTYPE) is not allowed"_s))
            << bytes.toHex().toStdString();
    }

    // A schema named by the document is never loaded, and a URL given as
    // the file is no more than a file name.
    MRV_SAXParser sax;
    Collector seen;
    sax.reader()->setContentHandler(&seen);
    EXPECT_TRUE(sax.parseString(uR"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
                                R"(xsi:schemaLocation="urn:x http://127.0.0.1:1/x.xsd">ok</r>)"_s))
        << sax.errorList().toStdString();
    EXPECT_EQ(seen.text, u"ok"_s);
    MRV_DOMParser dom;
    for (const char* url : {"http://127.0.0.1:1/x.xml", "ftp://127.0.0.1:1/x.xml"}) {
        EXPECT_FALSE(dom.parseFile(QLatin1String(url)));
        EXPECT_EQ(dom.errorList().count(u"<Error>"_s), 1) << url;
    }
    const QString good = dir.filePath(u"good.xml"_s);
    ASSERT_TRUE(writeBytes(good, "<r>fine</r>"));
    ASSERT_TRUE(dom.parseFile(u"file://"_s + good)) << dom.errorList().toStdString();
    EXPECT_EQ(dom.nodeText(), u"fine"_s);
}

TEST(XmlPlatform, WrappersInParallelThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < 30; ++i) {
                MRV_DOMParser p;
                const QString value = u"%1-%2"_s.arg(t).arg(i);
                if (p.parseString(u"<r>%1</r>"_s.arg(value)) && p.nodeText() == value)
                    ++good;
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(good.load(), 8 * 30);
}

} // namespace
