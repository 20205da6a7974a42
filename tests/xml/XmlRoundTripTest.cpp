#include "TestData.h"
#include "XmlTestSupport.h"

#include "xml/MRV_DOMParser.h"
#include "xml/MRV_XmlString.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

// Values beyond the shared list: every character XML treats specially, the
// line-break forms a parser would normalise, and text XML cannot carry.
QStringList extraValues() {
    return {QStringLiteral("<>&\"' ]]> &amp; &#13;"),
            QStringLiteral("\r\n\r\n\n\r\t x \t"),
            QStringLiteral("\n"),
            QStringLiteral("a") + QChar(0xFEFF),
            QChar(0xFEFF) + QStringLiteral("a"),
            QChar(0xFFFE) + QStringLiteral("a"),
            QStringLiteral("😀").repeated(40'000),
            QStringLiteral("a\x01"
                           "b"),
            QStringLiteral("a\x1f"
                           "b"),
            QStringLiteral("a") + QChar(0xDC00),
            QStringLiteral("a") + QChar(0xD83D),
            QStringLiteral("a") + QChar(0xFFFE),
            QChar(0xFEFF)};
}

// Each value as element text and as attribute value, twice: once through a
// string and once through a saved file.
void checkRoundTrip(const QString& value, const QString& file) {
    const std::string label = value.left(40).toStdString();
    MRV_DOMParser out;
    ASSERT_TRUE(out.createDocument(QStringLiteral("root")));
    const bool carried = isXmlText(value);
    ASSERT_EQ(out.addElement(QStringLiteral("v"), value, QStringLiteral("a"), value, false),
              carried)
        << label;
    ASSERT_EQ(out.setAttribute(QStringLiteral("r"), value), carried) << label;
    if (!carried) {
        EXPECT_EQ(out.serialize(false), QStringLiteral("<root/>")) << label;
        return;
    }
    ASSERT_TRUE(out.saveToFile(file)) << label;

    for (bool fromFile : {false, true}) {
        MRV_DOMParser in;
        ASSERT_TRUE(fromFile ? in.parseFile(file) : in.parseString(out.serialize(true)))
            << label << in.errorList().toStdString();
        QString attr;
        EXPECT_TRUE(in.getAttribute(QStringLiteral("r"), attr));
        EXPECT_EQ(attr, value) << label;
        ASSERT_EQ(in.find(QStringLiteral("v")), 1);
        EXPECT_EQ(in.nodeText(), value) << label;
        EXPECT_TRUE(in.getAttribute(QStringLiteral("a"), attr));
        EXPECT_EQ(attr, value) << label;
    }
}

TEST(XmlRoundTrip, HostileValuesArriveUnchangedOrAreRefused) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 50);
    ASSERT_TRUE(nasty.contains(QStringLiteral("line1\r\nline2")));
    ASSERT_TRUE(nasty.contains(QChar(0xFEFF) + QStringLiteral("BOM inside")));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int refused = 0;
    for (const QString& value : nasty + extraValues()) {
        refused += isXmlText(value) ? 0 : 1;
        checkRoundTrip(value, dir.filePath(QStringLiteral("v.xml")));
    }
    EXPECT_EQ(refused, 7); // the NUL in the shared list and six of ours
}

TEST(XmlSave, Utf16LittleEndianWithByteOrderMark) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    ASSERT_TRUE(writeAll(path, "old content that is longer than nothing"));

    MRV_DOMParser p;
    ASSERT_TRUE(p.createDocument(QStringLiteral("Wörksheet")));
    ASSERT_TRUE(
        p.addElement(QStringLiteral("n"), QStringLiteral("日本 😀"), QString(), QString(), false));
    ASSERT_TRUE(p.saveToFile(path));

    const QByteArray bytes = readAll(path);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    QString body;
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
        body += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    EXPECT_EQ(body, p.serialize(true));
    // Only the target is left; no temporary beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.xml")});

    MRV_DOMParser back;
    ASSERT_TRUE(back.parseFile(path)) << back.errorList().toStdString();
    EXPECT_EQ(back.nodeName(), QStringLiteral("Wörksheet"));
    ASSERT_TRUE(back.step(0, true));
    EXPECT_EQ(back.nodeText(), QStringLiteral("日本 😀"));

    EXPECT_FALSE(p.saveToFile(dir.filePath(QStringLiteral("missing/doc.xml"))));
    EXPECT_FALSE(p.saveToFile(dir.path()));
    EXPECT_EQ(readAll(path), bytes);
}

// The hostile strings' loader fails a test that would otherwise loop over
// nothing.
TEST(SharedTestData, AMissingOrEmptyListFailsTheTest) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath(QStringLiteral("empty.json"));
    const QString broken = dir.filePath(QStringLiteral("broken.json"));
    ASSERT_TRUE(writeAll(empty, "[]"));
    ASSERT_TRUE(writeAll(broken, "[\"a\","));
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(dir.filePath(QStringLiteral("none.json"))),
                            "cannot be read");
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(empty), "holds no hostile strings");
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(broken), "is not a JSON list");
    EXPECT_GT(nastyStrings().size(), 10);
}

} // namespace
