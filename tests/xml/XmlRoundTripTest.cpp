#include "XmlTestSupport.h"

#include "xml/MRV_DOMParser.h"
#include "xml/MRV_XmlString.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>

using namespace Qt::StringLiterals;

namespace {

// Values beyond the shared list: every character XML treats specially, the
// line-break forms a parser would normalise, and text XML cannot carry.
QStringList extraValues() {
    return {u"<>&\"' ]]> &amp; &#13;"_s,
            u"\r\n\r\n\n\r\t x \t"_s,
            u"\n"_s,
            u"a"_s + QChar(0xFEFF),
            QChar(0xFEFF) + u"a"_s,
            QChar(0xFFFE) + u"a"_s,
            u"😀"_s.repeated(40'000),
            u"a\x01"
            "b"_s,
            u"a\x1f"
            "b"_s,
            u"a"_s + QChar(0xDC00),
            u"a"_s + QChar(0xD83D),
            u"a"_s + QChar(0xFFFE),
            QChar(0xFEFF)};
}

// Each value as element text and as attribute value, twice: once through a
// string and once through a saved file.
void checkRoundTrip(const QString& value, const QString& file) {
    const std::string label = value.left(40).toStdString();
    MRV_DOMParser out;
    ASSERT_TRUE(out.createDocument(u"root"_s));
    const bool carried = isXmlText(value);
    ASSERT_EQ(out.addElement(u"v"_s, value, u"a"_s, value, false), carried) << label;
    ASSERT_EQ(out.setAttribute(u"r"_s, value), carried) << label;
    if (!carried) {
        EXPECT_EQ(out.serialize(false), u"<root/>"_s) << label;
        return;
    }
    ASSERT_TRUE(out.saveToFile(file)) << label;

    for (bool fromFile : {false, true}) {
        MRV_DOMParser in;
        ASSERT_TRUE(fromFile ? in.parseFile(file) : in.parseString(out.serialize(true)))
            << label << in.errorList().toStdString();
        EXPECT_EQ(attribute(in, u"r"_s), value) << label;
        ASSERT_EQ(in.find(u"v"_s), 1);
        EXPECT_EQ(in.nodeText(), value) << label;
        EXPECT_EQ(attribute(in, u"a"_s), value) << label;
    }
}

TEST(XmlRoundTrip, HostileValuesArriveUnchangedOrAreRefused) {
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 50);
    ASSERT_TRUE(nasty.contains(u"line1\r\nline2"_s));
    ASSERT_TRUE(nasty.contains(QChar(0xFEFF) + u"BOM inside"_s));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int refused = 0;
    for (const QString& value : nasty + extraValues()) {
        refused += isXmlText(value) ? 0 : 1;
        checkRoundTrip(value, dir.filePath(u"v.xml"_s));
    }
    EXPECT_EQ(refused, 7); // the NUL in the shared list and six of ours
}

TEST(XmlSave, Utf16LittleEndianWithByteOrderMark) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"doc.xml"_s);
    ASSERT_TRUE(writeBytes(path, "old content that is longer than nothing"));

    MRV_DOMParser p;
    ASSERT_TRUE(p.createDocument(u"Wörksheet"_s));
    ASSERT_TRUE(p.addElement(u"n"_s, u"日本 😀"_s, QString(), QString(), false));
    ASSERT_TRUE(p.saveToFile(path));

    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(bytes.startsWith("\xff\xfe"));
    EXPECT_EQ(utf16Text(bytes), p.serialize(true));
    // Only the target is left; no temporary beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.xml"_s});

    // A failed save leaves the file as it was.
    EXPECT_FALSE(p.saveToFile(dir.filePath(u"missing/doc.xml"_s)));
    EXPECT_FALSE(p.saveToFile(dir.path()));
    EXPECT_EQ(readBytes(path), bytes);
}

// The hostile strings' loader fails a test that would otherwise loop over
// nothing.
TEST(SharedTestData, AMissingOrEmptyListFailsTheTest) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath(u"empty.json"_s);
    const QString broken = dir.filePath(u"broken.json"_s);
    ASSERT_TRUE(writeBytes(empty, "[]"));
    ASSERT_TRUE(writeBytes(broken, "[\"a\","));
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(dir.filePath(u"none.json"_s)), "cannot be read");
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(empty), "holds no hostile strings");
    EXPECT_NONFATAL_FAILURE(nastyStringsFrom(broken), "is not a JSON list");
    EXPECT_GT(nastyStrings().size(), 10);
}

} // namespace
