#include "XmlTestSupport.h"
#include "xml/MRV_DOMParser.h"

using namespace Qt::StringLiterals;

namespace {

// Whitespace, a comment and a text node sit between the elements on purpose.
const QString Sample = uR"(<!-- lead -->
<root kind="base" empty="">
  <!-- note -->
  <first>one</first>
  loose text
  <SECOND n="2"><inner><item id="deep"/></inner></SECOND>
  <item id="child"/>
  <last/>
</root>)"_s;

class XmlCursor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(p.parseString(Sample)) << p.errorList().toStdString(); }
    MRV_DOMParser p;
};

TEST(XmlNoDocument, EveryOperationAnswersSafely) {
    MRV_DOMParser p;
    EXPECT_FALSE(p.hasCurrent());
    EXPECT_FALSE(p.initCursor());
    EXPECT_FALSE(p.moveToRoot());
    EXPECT_EQ(p.nodeName(), u"ERROR"_s);
    EXPECT_EQ(p.nodeText(), u"ERROR"_s);
    EXPECT_EQ(p.countElementChildren(), 0);
    EXPECT_EQ(attribute(p, u"a"_s), std::nullopt);
    EXPECT_FALSE(p.setAttribute(u"a"_s, u"b"_s));
    EXPECT_EQ(p.find(u"a"_s), 0);
    EXPECT_FALSE(p.moveToChild(0));
    EXPECT_FALSE(p.moveToNextSibling());
    for (int direction : {0, 1})
        for (bool forward : {true, false})
            EXPECT_FALSE(p.step(direction, forward));
    EXPECT_FALSE(p.addElement(u"a"_s, true));
    EXPECT_FALSE(p.removeCurrent());
    EXPECT_EQ(p.serialize(false), u"ERROR"_s);
    EXPECT_FALSE(p.saveToFile(u"/tmp/never-written.xml"_s));
}

TEST_F(XmlCursor, StartsOnRootAndReadsIt) {
    EXPECT_EQ(p.nodeName(), u"root"_s);
    EXPECT_EQ(p.countElementChildren(), 4);
    EXPECT_TRUE(p.nodeText().startsWith(QLatin1Char('\n'))); // the first child is whitespace

    EXPECT_EQ(attribute(p, u"kind"_s), u"base"_s);
    EXPECT_EQ(attribute(p, u"empty"_s), QString());
    EXPECT_EQ(attribute(p, u"KIND"_s), std::nullopt);

    EXPECT_TRUE(p.setAttribute(u"kind"_s, u"target"_s));
    EXPECT_TRUE(p.setAttribute(u"new"_s, u"v"_s));
    EXPECT_FALSE(p.setAttribute(u"bad name"_s, u"v"_s));
    EXPECT_FALSE(p.setAttribute(QString(), u"v"_s));
    EXPECT_FALSE(p.setAttribute(u"z"_s, u"a"_s + QChar(0) + "b"));
    EXPECT_EQ(attribute(p, u"kind"_s), u"target"_s);
    EXPECT_EQ(attribute(p, u"new"_s), u"v"_s);
    EXPECT_EQ(attribute(p, u"z"_s), std::nullopt);
}

TEST_F(XmlCursor, FindSearchesDescendantsThenUpperCase) {
    // Document order: the grandchild comes before the child of the same name.
    EXPECT_EQ(p.find(u"item"_s), 2);
    EXPECT_EQ(attribute(p, u"id"_s), u"deep"_s);

    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(u"second"_s), 1);
    EXPECT_EQ(p.nodeName(), u"SECOND"_s);
    // Only below the current node, never the node itself.
    EXPECT_EQ(p.find(u"first"_s), 0);
    EXPECT_EQ(p.find(u"SECOND"_s), 0);
    EXPECT_EQ(p.nodeName(), u"SECOND"_s);
    EXPECT_EQ(p.find(u"inner"_s), 1);

    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(u"absent"_s), 0);
    EXPECT_EQ(p.nodeName(), u"root"_s);
    ASSERT_TRUE(p.moveToChild(0)); // whitespace text
    EXPECT_EQ(p.find(u"first"_s), 0);
    EXPECT_EQ(p.nodeName(), u"#text"_s);
}

TEST_F(XmlCursor, StepPassesOverTextAndCommentsWhileSkipIsSet) {
    ASSERT_TRUE(p.step(0, true));
    EXPECT_EQ(p.nodeName(), u"first"_s);
    EXPECT_EQ(p.nodeText(), u"one"_s);
    EXPECT_FALSE(p.step(1, false)); // only text and a comment before it
    EXPECT_EQ(p.nodeName(), u"first"_s);
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), u"SECOND"_s);
    ASSERT_TRUE(p.step(1, true));
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), u"last"_s);
    EXPECT_FALSE(p.step(1, true)); // trailing whitespace only
    EXPECT_FALSE(p.step(0, true)); // no children
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeName(), u"item"_s);
    ASSERT_TRUE(p.step(0, false));
    EXPECT_EQ(p.nodeName(), u"root"_s);
    EXPECT_FALSE(p.step(2, true));
    EXPECT_EQ(p.nodeName(), u"root"_s);

    p.setSkip(false);
    ASSERT_TRUE(p.step(0, true));
    EXPECT_EQ(p.nodeName(), u"#text"_s);
    ASSERT_TRUE(p.step(1, true));
    EXPECT_EQ(p.nodeName(), u"#comment"_s);
    EXPECT_EQ(p.nodeText(), QString());
    EXPECT_TRUE(p.moveToNextSibling());
    EXPECT_TRUE(p.moveToNextSibling());
    EXPECT_EQ(p.nodeName(), u"first"_s);
}

TEST_F(XmlCursor, MoveToChildCountsEveryKindOfNode) {
    ASSERT_TRUE(p.moveToChild(1));
    EXPECT_EQ(p.nodeName(), u"#comment"_s);
    ASSERT_TRUE(p.moveToRoot());
    ASSERT_TRUE(p.moveToChild(3));
    EXPECT_EQ(p.nodeName(), u"first"_s);
    ASSERT_TRUE(p.moveToRoot());
    EXPECT_FALSE(p.moveToChild(-1));
    EXPECT_FALSE(p.moveToChild(100));
    EXPECT_EQ(p.nodeName(), u"root"_s);
}

TEST_F(XmlCursor, AddElementAppendsAndOptionallyMovesIn) {
    ASSERT_TRUE(p.addElement(u"stay"_s, false));
    EXPECT_EQ(p.nodeName(), u"root"_s);
    EXPECT_EQ(p.countElementChildren(), 5);
    ASSERT_TRUE(p.addElement(u"go"_s, u"t<&>"_s, u"a"_s, u"v\"'"_s, true));
    EXPECT_EQ(p.nodeName(), u"go"_s);
    EXPECT_EQ(p.nodeText(), u"t<&>"_s);
    EXPECT_EQ(attribute(p, u"a"_s), u"v\"'"_s);
    ASSERT_TRUE(p.step(1, false));
    EXPECT_EQ(p.nodeName(), u"stay"_s);
    EXPECT_EQ(attribute(p, QString()), std::nullopt);
    EXPECT_EQ(p.nodeText(), QString());
}

TEST_F(XmlCursor, RefusedAddElementChangesNothing) {
    const QString before = p.serialize(false);
    const QString nul = u"a"_s + QChar(0) + u"b"_s;
    EXPECT_FALSE(p.addElement(u"1bad"_s, true));
    EXPECT_FALSE(p.addElement(QString(), true));
    EXPECT_FALSE(p.addElement(u"ok"_s, nul, QString(), QString(), true));
    EXPECT_FALSE(p.addElement(u"ok"_s, u"t"_s, u"b c"_s, u"v"_s, true));
    EXPECT_FALSE(p.addElement(u"ok"_s, QString(), u"a"_s, nul, true));
    EXPECT_EQ(p.nodeName(), u"root"_s);
    ASSERT_TRUE(p.moveToChild(0));
    EXPECT_FALSE(p.addElement(u"under-text"_s, true));
    ASSERT_TRUE(p.step(0, false)); // root
    ASSERT_TRUE(p.step(0, false)); // the document node holds one root only
    EXPECT_FALSE(p.addElement(u"second-root"_s, true));
    EXPECT_EQ(p.serialize(false), before);
}

TEST_F(XmlCursor, RemoveCurrentMovesToParent) {
    ASSERT_EQ(p.find(u"inner"_s), 1);
    ASSERT_TRUE(p.removeCurrent());
    EXPECT_EQ(p.nodeName(), u"SECOND"_s);
    EXPECT_EQ(p.countElementChildren(), 0);
    ASSERT_TRUE(p.moveToRoot());
    EXPECT_EQ(p.find(u"item"_s), 1);
    ASSERT_TRUE(p.removeCurrent());
    EXPECT_EQ(p.nodeName(), u"root"_s);
    EXPECT_EQ(p.find(u"item"_s), 0);
    EXPECT_EQ(p.countElementChildren(), 3);
    EXPECT_FALSE(p.serialize(false).contains(u"item"_s));
}

TEST(XmlBuild, CreateDocumentAndSerialize) {
    MRV_DOMParser p;
    EXPECT_FALSE(p.createDocument(u"no good"_s));
    EXPECT_FALSE(p.hasCurrent());
    ASSERT_TRUE(p.createDocument(u"bo:Root"_s));
    EXPECT_EQ(p.nodeName(), u"bo:Root"_s);
    ASSERT_TRUE(p.addElement(u"c"_s, u"t"_s, u"k"_s, u"v"_s, false));
    ASSERT_TRUE(p.addElement(u"e"_s, false));
    const QString body = uR"(<bo:Root><c k="v">t</c><e/></bo:Root>)"_s;
    EXPECT_EQ(p.serialize(false), body);
    EXPECT_EQ(p.serialize(true), p.xmlDeclaration() + body);
    EXPECT_EQ(p.xmlDeclaration(), uR"(<?xml version="1.0" encoding="UTF-16"?>)"_s);

    // A parsed document's own declaration gives way to ours.
    ASSERT_TRUE(p.parseString(u"<?xml version='1.0' encoding='UTF-8'?><r/>"_s));
    EXPECT_EQ(p.serialize(true), p.xmlDeclaration() + u"<r/>"_s);
    ASSERT_TRUE(p.createDocument(u"fresh"_s));
    EXPECT_EQ(p.serialize(false), u"<fresh/>"_s);
}

} // namespace
