// Checks the object list that ships beside the program: it names every
// category that can be copied, once, and writes each one after the
// categories its records refer to, so that a reference always finds its
// record in the target and the removal pass, which runs the list backwards,
// takes the referring records away first.
#include "LogTestSupport.h"
#include "TestData.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_DIInterface.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"
#include "worksheet/WorksheetTestSupport.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_XmlString.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString TestFolder = u"" MIRROVA_BINARY_DIR "/tests/"_s;
const QString ProgramFolder = u"" MIRROVA_BINARY_DIR "/bin/"_s;
const QString SourceFolder = u"" MIRROVA_SOURCE_DIR "/res/"_s;

QMap<QString, QString> attributesOf(const xercesc::Attributes& attrs) {
    QMap<QString, QString> map;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
        map.insert(fromXmlCh(attrs.getLocalName(i)), fromXmlCh(attrs.getValue(i)));
    return map;
}

// What an object list holds, read as the configuration reader sees it:
// the OBJECT elements of the body in file order, and whatever else turns up.
class ObjectListReader : public xercesc::DefaultHandler {
public:
    void startElement(const XMLCh*, const XMLCh* localName, const XMLCh*,
                      const xercesc::Attributes& attrs) override {
        const QString name = fromXmlCh(localName);
        const QString parent = m_path.isEmpty() ? QString() : m_path.last();
        if (m_path.isEmpty()) {
            root = name;
            rootAttributes = attributesOf(attrs);
        } else if (m_path.size() == 1 && name == QLatin1String("header")) {
            headers += 1;
        } else if (m_path.size() == 1 && name == QLatin1String("body")) {
            bodies += 1;
        } else if (parent == QLatin1String("body") && name == QLatin1String("OBJECT")) {
            objects << attributesOf(attrs);
        } else {
            stray << parent + QLatin1Char('/') + name;
        }
        m_path << name;
    }
    void endElement(const XMLCh*, const XMLCh*, const XMLCh*) override { m_path.removeLast(); }
    void characters(const XMLCh* chars, const XMLSize_t length) override {
        const QString t =
            QString(reinterpret_cast<const QChar*>(chars), qsizetype(length)).trimmed();
        if (!t.isEmpty())
            stray << t;
    }

    // The string ids in file order.
    QStringList stringIds() const {
        QStringList ids;
        for (const auto& object : objects)
            ids << object.value(u"string_id"_s);
        return ids;
    }

    QString root;
    QMap<QString, QString> rootAttributes;
    int headers = 0;
    int bodies = 0;
    QList<QMap<QString, QString>> objects;
    // Elements outside the format, header values and text.
    QStringList stray;

private:
    QStringList m_path;
};

// Parses a file (or, with fromText, the text itself) through the program's
// SAX wrapper into handler; the parser's complaints when it fails.
QString parse(xercesc::DefaultHandler& handler, const QString& source, bool fromText = false) {
    MRV_SAXParser parser;
    parser.reader()->setContentHandler(&handler);
    const bool ok = fromText ? parser.parseString(source) : parser.parseFile(source);
    return ok ? QString() : parser.errorList() + u" ("_s + source.left(80) + u')';
}

// value as an attribute value: markup escaped, and white space as character
// references, which attribute normalization would otherwise turn to blanks.
QString attributeText(const QString& value) {
    static const QHash<QChar, QString> escapes{{u'&', "&amp;"},  {u'<', "&lt;"},  {u'>', "&gt;"},
                                               {u'"', "&quot;"}, {u'\t', "&#9;"}, {u'\n', "&#10;"},
                                               {u'\r', "&#13;"}};
    QString out;
    for (const QChar c : value)
        out += escapes.value(c, QString(c));
    return out;
}

using logtest::readBytes;

// Full category id from the short form used in the tables below.
constexpr auto id = &WorksheetTest::categoryId;

// What is wrong with the names of a list: ids that are not copyable
// categories, ids named twice, copyable categories left out.
QStringList nameProblems(const QStringList& listed) {
    const QStringList copyable = WorksheetTest::categoriesWithManager();
    QStringList problems;
    QSet<QString> seen;
    for (const QString& category : listed) {
        if (!copyable.contains(category))
            problems << u"not a copyable category: "_s + category;
        if (seen.contains(category))
            problems << u"named twice: "_s + category;
        seen.insert(category);
    }
    for (const QString& category : copyable)
        if (!seen.contains(category))
            problems << u"missing: "_s + category;
    return problems;
}

// Each reference (category -> category it needs) that does not point back
// to an earlier object of the list.
QStringList orderProblems(const QStringList& listed,
                          const QList<std::pair<QString, QString>>& references) {
    QStringList problems;
    for (const auto& [category, needed] : references) {
        const qsizetype at = listed.indexOf(category);
        const qsizetype neededAt = listed.indexOf(needed);
        if (at < 0 || neededAt < 0 || neededAt >= at)
            problems << category + u" needs "_s + needed + u" written before it"_s;
    }
    return problems;
}

// Each dependency of the worksheet template (category -> category it
// needs), as the program reads them. The template names every reference a
// category's records make to another category, so the order checks below
// go by it.
QList<std::pair<QString, QString>> worksheetDependencies() {
    MRV_WorksheetTemplateManager worksheet(TestFolder + u"WorkSheet.tpl"_s);
    EXPECT_EQ(worksheet.initialize(), S_OK);
    QList<std::pair<QString, QString>> dependencies;
    for (const auto& node : worksheet.templateWorksheet().nodes)
        for (const QString& leaf : node->dependencies) {
            const MRV_WorksheetNode* needed = worksheet.templateNode(leaf);
            EXPECT_NE(needed, nullptr) << leaf.toStdString();
            if (needed)
                dependencies.append({node->categoryId, needed->categoryId});
        }
    return dependencies;
}

// The object list as the program finds it beside the tests.
class ConfigurationTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        const QString problem = parse(list, TestFolder + u"Configuration.tpl"_s);
        ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
        listed = list.stringIds();
    }

    ObjectListReader list;
    QStringList listed;
};

} // namespace

TEST(ProgramTemplates, LieBesideTheProgramAndTheTestsAsWritten) {
    for (const char* name : {"Configuration.tpl", "WorkSheet.tpl"}) {
        const QByteArray written = readBytes(SourceFolder + QLatin1String(name));
        ASSERT_FALSE(written.isEmpty()) << name;
        for (const QString& folder : {ProgramFolder, TestFolder})
            EXPECT_TRUE(readBytes(folder + QLatin1String(name)) == written)
                << name << " differs in " << folder.toStdString();
    }
}

TEST_F(ConfigurationTemplate, IsAConfigurationFileWithObjectsOnly) {
    EXPECT_EQ(list.root, u"mirrovaConfigurationFile"_s);
    EXPECT_EQ(list.rootAttributes.value(u"version"_s), u"1.0"_s);
    EXPECT_EQ(list.headers, 1);
    EXPECT_EQ(list.bodies, 1);
    // No header value (it would reach every file written from the list), no
    // tables, no text.
    EXPECT_EQ(list.stray, QStringList());
    for (const auto& object : list.objects)
        EXPECT_EQ(object.keys(), QStringList{u"string_id"_s});
}

TEST_F(ConfigurationTemplate, NamesEveryCopyableCategoryOnce) {
    EXPECT_EQ(nameProblems(listed), QStringList());
    for (const QString& category : listed)
        EXPECT_NE(MRV_ResourceManager::instance()->getStringId(category), 0u)
            << category.toStdString();
    // A category that gets a manager can be copied only when the list names it.
    for (const XMLMAP& entry : MRV_ResourceManager::instance()->entries())
        if (MRV_DataInterfaceFactory::hasManager(entry.name)) {
            EXPECT_TRUE(listed.contains(entry.name)) << entry.name.toStdString();
        }
}

TEST_F(ConfigurationTemplate, WritesEveryWorksheetDependencyFirst) {
    const QList<std::pair<QString, QString>> dependencies = worksheetDependencies();
    // The dependencies were found, by category, also those of the records'
    // fields: administration settings, accounts, budgets.
    for (const auto& [category, needed] : {std::pair{"AUTHORIZATIONSLEAF", "USERSLEAF"},
                                           {"ITEMSLEAF", "PRICELISTDEFS"},
                                           {"CMPDETAILS", "TAXDEFINITION"},
                                           {"ACCOUNTS", "COATITLES"},
                                           {"BUDGET", "ACCOUNTS"}})
        EXPECT_TRUE(dependencies.contains(std::pair(id(category), id(needed))))
            << category << " needs " << needed;
    EXPECT_EQ(orderProblems(listed, dependencies), QStringList());
}

// The references the managers declare: a category whose records refer to
// the main table of another category's manager comes after it. Where
// several categories write one table (titles and accounts, banks and their
// G/L settings), the first of them in the list brings its records; a
// category referring to a table of its own (territories to their parents,
// titles to theirs), and an optional reference, which a record is written
// without, ask for no order.
TEST_F(ConfigurationTemplate, WritesWhatTheManagersDeclareFirst) {
    MRV_DataInterfaceFactory factory(nullptr);
    QHash<QString, QString> categoryOfTable;
    std::vector<std::unique_ptr<MRV_DIInterface>> managers;
    for (const QString& category : listed)
        if (std::unique_ptr<MRV_DIInterface> m = factory.createDataInterface(category)) {
            if (!categoryOfTable.contains(m->mainTable().name))
                categoryOfTable.insert(m->mainTable().name, category);
            managers.push_back(std::move(m));
        }
    ASSERT_FALSE(managers.empty());
    EXPECT_EQ(categoryOfTable.value(u"OMRC"_s), id("MANUFACTURERS"));
    // Users brings the users; Defaults and Authorizations, which list them
    // too, come after it.
    EXPECT_EQ(categoryOfTable.value(u"OUSR"_s), id("USERSLEAF"));
    QList<std::pair<QString, QString>> declared;
    for (const auto& m : managers) {
        QSet<QString> own;
        for (const MRV_TableDeclaration& table : m->tables())
            own.insert(table.name);
        for (const MRV_TableDeclaration& table : m->tables())
            for (const MRV_Reference& ref : table.references) {
                const QString needed = categoryOfTable.value(ref.table);
                if (!needed.isEmpty() && !ref.optional && !own.contains(ref.table))
                    declared.append({m->getCategoryString(), needed});
            }
    }
    EXPECT_EQ(orderProblems(listed, declared), QStringList());
}

// The checks above fail for a list written in the wrong order, one that leaves
// a category out, names one twice or names something that is no category,
// whatever its text.
TEST_F(ConfigurationTemplate, ChecksCatchAListOutOfOrderOrIncomplete) {
    QStringList wrong = listed;
    wrong.swapItemsAt(wrong.indexOf(id("ACCOUNTS")), wrong.indexOf(id("COATITLES")));
    wrong.removeAll(id("BUDGET"));
    wrong.append(id("QUERIES"));
    QStringList hostile;
    for (const QString& value : nastyStrings())
        if (isXmlText(value) && !value.isEmpty() && !hostile.contains(value))
            hostile << value;
    ASSERT_FALSE(hostile.isEmpty());
    wrong += hostile;

    QString body;
    for (const QString& category : wrong)
        body += u"<OBJECT string_id=\"%1\"/>"_s.arg(attributeText(category));
    ObjectListReader reread;
    const QString problem = parse(reread,
                                  u"<mirrovaConfigurationFile version=\"1.0\"><header/><body>"_s +
                                      body + u"</body></mirrovaConfigurationFile>"_s,
                                  true);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(reread.stringIds(), wrong);

    const QStringList names = nameProblems(reread.stringIds());
    EXPECT_TRUE(names.contains(u"missing: "_s + id("BUDGET")));
    EXPECT_TRUE(names.contains(u"named twice: "_s + id("QUERIES")));
    for (const QString& value : hostile)
        EXPECT_TRUE(names.contains(u"not a copyable category: "_s + value));
    EXPECT_EQ(names.size(), 2 + hostile.size());

    const QStringList order = orderProblems(reread.stringIds(), worksheetDependencies());
    EXPECT_TRUE(
        order.contains(id("ACCOUNTS") + u" needs "_s + id("COATITLES") + u" written before it"_s));
    // Budgets need accounts; with no budget in the list that is a fault too.
    EXPECT_TRUE(
        order.contains(id("BUDGET") + u" needs "_s + id("ACCOUNTS") + u" written before it"_s));
}
