#include "TestData.h"
#include "xml/MRV_DOMParser.h"

#include <gtest/gtest.h>

namespace {

// Whitespace, a comment and a text node sit between the elements on purpose.
const QString Sample = QStringLiteral(R"(<!-- lead -->
<root kind="base" empty="">
  <!-- note -->
  <first>one</first>
  loose text
  <SECOND n="2"><inner><item id="deep"/></inner></SECOND>
  <item id="child"/>
  <last/>
</root>)");

class XmlCursor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(p.parseString(Sample)) << p.errorList().toStdString(); }
    MRV_DOMParser p;
};

TEST(XmlNoDocument, EveryOperationAnswersSafely) {
    MRV_DOMParser p;
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(p.hasCurrent());
    EXPECT_FALSE(p.initCursor());
    EXPECT_FALSE(p.moveToRoot());
    EXPECT_EQ(p.nodeName(), QStringLiteral("ERROR"));
    EXPECT_EQ(p.nodeText(), QStringLiteral("ERROR"));
    EXPECT_EQ(p.countElementChildren(), 0);
    EXPECT_FALSE(p.getAttribute(QStringLiteral("a"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_FALSE(p.setAttribute(QStringLiteral("a"), QStringLiteral("b")));
    EXPECT_EQ(p.find(QStringLiteral("a")), 0);
    EXPECT_FALSE(p.moveToChild(0));
    EXPECT_FALSE(p.moveToNextSibling());
    for (int direction : {0, 1})
        for (bool forward : {true, false})
            EXPECT_FALSE(p.step(direction, forward));
    EXPECT_FALSE(p.addElement(QStringLiteral("a"), true));
    EXPECT_FALSE(p.removeCurrent());
    EXPECT_EQ(p.serialize(false), QStringLiteral("ERROR"));
    EXPECT_FALSE(p.saveToFile(QStringLiteral("/tmp/never-written.xml")));
}

TEST_F(XmlCursor, StartsOnRootAndReadsIt) {
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    EXPECT_EQ(p.countElementChildren(), 4);
    EXPECT_TRUE(p.nodeText().startsWith(QLatin1Char('\n'))); // the first child is whitespace

    QString value = QStringLiteral("kept");
    EXPECT_TRUE(p.getAttribute(QStringLiteral("kind"), value));
    EXPECT_EQ(value, QStringLiteral("base"));
    EXPECT_TRUE(p.getAttribute(QStringLiteral("empty"), value));
    EXPECT_EQ(value, QString());
    value = QStringLiteral("kept");
    EXPECT_FALSE(p.getAttribute(QStringLiteral("KIND"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));

    EXPECT_TRUE(p.setAttribute(QStringLiteral("kind"), QStringLiteral("target")));
    EXPECT_TRUE(p.setAttribute(QStringLiteral("new"), QStringLiteral("v")));
    EXPECT_FALSE(p.setAttribute(QStringLiteral("bad name"), QStringLiteral("v")));
    EXPECT_FALSE(p.setAttribute(QString(), QStringLiteral("v")));
    EXPECT_FALSE(p.setAttribute(QStringLiteral("z"), QStringLiteral("a") + QChar(0) + "b"));
    EXPECT_TRUE(p.getAttribute(QStringLiteral("kind"), value));
    EXPECT_EQ(value, QStringLiteral("target"));
    EXPECT_TRUE(p.getAttribute(QStringLiteral("new"), value));
    EXPECT_FALSE(p.getAttribute(QStringLiteral("z"), value));
}

TEST_F(XmlCursor, FindSearchesDescendantsThenUpperCase) {
    // Document order: the grandchild comes before the child of the same name.
    EXPECT_EQ(p.find(QStringLiteral("item")), 2);
    QString id;
    EXPECT_TRUE(p.getAttribute(QStringLiteral("id"), id));
    EXPECT_EQ(id, QStringLiteral("deep"));

    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(QStringLiteral("second")), 1);
    EXPECT_EQ(p.nodeName(), QStringLiteral("SECOND"));
    // Only below the current node, never the node itself.
    EXPECT_EQ(p.find(QStringLiteral("first")), 0);
    EXPECT_EQ(p.find(QStringLiteral("SECOND")), 0);
    EXPECT_EQ(p.nodeName(), QStringLiteral("SECOND"));
    EXPECT_EQ(p.find(QStringLiteral("inner")), 1);

    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(QStringLiteral("absent")), 0);
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    ASSERT_TRUE(p.moveToChild(0)); // whitespace text
    EXPECT_EQ(p.find(QStringLiteral("first")), 0);
    EXPECT_EQ(p.nodeName(), QStringLiteral("#text"));
}

TEST_F(XmlCursor, StepPassesOverTextAndCommentsWhileSkipIsSet) {
    ASSERT_TRUE(p.step(0, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("first"));
    EXPECT_EQ(p.nodeText(), QStringLiteral("one"));
    EXPECT_FALSE(p.step(1, false)); // only text and a comment before it
    EXPECT_EQ(p.nodeName(), QStringLiteral("first"));
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("SECOND"));
    ASSERT_TRUE(p.step(1, true));
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("last"));
    EXPECT_FALSE(p.step(1, true)); // trailing whitespace only
    EXPECT_FALSE(p.step(0, true)); // no children
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeName(), QStringLiteral("item"));
    ASSERT_TRUE(p.step(0, false));
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    EXPECT_FALSE(p.step(2, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));

    p.setSkip(false);
    ASSERT_TRUE(p.step(0, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("#text"));
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("#comment"));
    EXPECT_EQ(p.nodeText(), QString());
    EXPECT_TRUE(p.moveToNextSibling());
    EXPECT_TRUE(p.moveToNextSibling());
    EXPECT_EQ(p.nodeName(), QStringLiteral("first"));
}

TEST_F(XmlCursor, MoveToChildCountsEveryKindOfNode) {
    ASSERT_TRUE(p.moveToChild(1));
    EXPECT_EQ(p.nodeName(), QStringLiteral("#comment"));
    ASSERT_TRUE(p.moveToRoot());
    ASSERT_TRUE(p.moveToChild(3));
    EXPECT_EQ(p.nodeName(), QStringLiteral("first"));
    ASSERT_TRUE(p.moveToRoot());
    EXPECT_FALSE(p.moveToChild(-1));
    EXPECT_FALSE(p.moveToChild(100));
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
}

TEST_F(XmlCursor, AddElementAppendsAndOptionallyMovesIn) {
    ASSERT_TRUE(p.addElement(QStringLiteral("stay"), false));
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    EXPECT_EQ(p.countElementChildren(), 5);
    ASSERT_TRUE(p.addElement(QStringLiteral("go"), QStringLiteral("t<&>"), QStringLiteral("a"),
                             QStringLiteral("v\"'"), true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("go"));
    EXPECT_EQ(p.nodeText(), QStringLiteral("t<&>"));
    QString v;
    EXPECT_TRUE(p.getAttribute(QStringLiteral("a"), v));
    EXPECT_EQ(v, QStringLiteral("v\"'"));
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeName(), QStringLiteral("stay"));
    EXPECT_FALSE(p.getAttribute(QString(), v));
    EXPECT_EQ(p.nodeText(), QString());
}

TEST_F(XmlCursor, RefusedAddElementChangesNothing) {
    const QString before = p.serialize(false);
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_FALSE(p.addElement(QStringLiteral("1bad"), true));
    EXPECT_FALSE(p.addElement(QString(), true));
    EXPECT_FALSE(p.addElement(QStringLiteral("ok"), nul, QString(), QString(), true));
    EXPECT_FALSE(p.addElement(QStringLiteral("ok"), QStringLiteral("t"), QStringLiteral("b c"),
                              QStringLiteral("v"), true));
    EXPECT_FALSE(p.addElement(QStringLiteral("ok"), QString(), QStringLiteral("a"), nul, true));
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    ASSERT_TRUE(p.moveToChild(0));
    EXPECT_FALSE(p.addElement(QStringLiteral("under-text"), true));
    ASSERT_TRUE(p.step(0, false)); // root
    ASSERT_TRUE(p.step(0, false)); // the document node holds one root only
    EXPECT_FALSE(p.addElement(QStringLiteral("second-root"), true));
    EXPECT_EQ(p.serialize(false), before);
}

TEST_F(XmlCursor, RemoveCurrentMovesToParent) {
    ASSERT_EQ(p.find(QStringLiteral("inner")), 1);
    ASSERT_TRUE(p.removeCurrent());
    EXPECT_EQ(p.nodeName(), QStringLiteral("SECOND"));
    EXPECT_EQ(p.countElementChildren(), 0);
    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(QStringLiteral("item")), 1);
    ASSERT_TRUE(p.removeCurrent());
    EXPECT_EQ(p.nodeName(), QStringLiteral("root"));
    EXPECT_EQ(p.find(QStringLiteral("item")), 0);
    EXPECT_EQ(p.countElementChildren(), 3);
    EXPECT_FALSE(p.serialize(false).contains(QStringLiteral("item")));
}

TEST(XmlBuild, CreateDocumentAndSerialize) {
    MRV_DOMParser p;
    EXPECT_FALSE(p.createDocument(QStringLiteral("no good")));
    EXPECT_FALSE(p.hasCurrent());
    ASSERT_TRUE(p.createDocument(QStringLiteral("bo:Root")));
    EXPECT_EQ(p.nodeName(), QStringLiteral("bo:Root"));
    ASSERT_TRUE(p.addElement(QStringLiteral("c"), QStringLiteral("t"), QStringLiteral("k"),
                             QStringLiteral("v"), false));
    ASSERT_TRUE(p.addElement(QStringLiteral("e"), false));
    const QString body = QStringLiteral(R"(<bo:Root><c k="v">t</c><e/></bo:Root>)");
    EXPECT_EQ(p.serialize(false), body);
    EXPECT_EQ(p.serialize(true), p.xmlDeclaration() + body);
    EXPECT_EQ(p.xmlDeclaration(), QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16"?>)"));

    // A parsed document's own declaration gives way to ours.
    ASSERT_TRUE(p.parseString(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?><r/>")));
    EXPECT_EQ(p.serialize(true), p.xmlDeclaration() + QStringLiteral("<r/>"));
    ASSERT_TRUE(p.createDocument(QStringLiteral("fresh")));
    EXPECT_EQ(p.serialize(false), QStringLiteral("<fresh/>"));
}

} // namespace
