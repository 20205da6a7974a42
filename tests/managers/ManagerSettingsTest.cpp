#include "ManagerTestSupport.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

const QString DocumentNumbering = u"MRV_TRN_DOCNUMBERING_100"_s;
const QString PrintOnAdd = u"MRV_TRN_PRTONADDSETTINGS_100"_s;

// The names of the settings a settings record carries, in its order.
QStringList settingNames(const QString& xml) {
    QXmlStreamReader reader(xml);
    QStringList names;
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && ++depth == 3 && reader.name() != u"CompanyName")
            names << reader.name().toString();
        if (reader.isEndElement())
            --depth;
    }
    return names;
}

struct SettingsCase {
    const char* name;
    QString categoryId;
    QString element;
    qsizetype count;
    QString first;
    QString last;
    QString text; // a setting of text
};

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

} // namespace

class AdminSettings : public EngineWorld,
                      public ::testing::WithParamInterface<std::tuple<SettingsCase, int>> {
protected:
    const SettingsCase& param() const { return std::get<0>(GetParam()); }
    QString settingsXml() {
        const BOMTableList tables = read(param().categoryId);
        EXPECT_EQ(tables.size(), 1);
        EXPECT_EQ(tables.value(0).name, u"OADM"_s);
        EXPECT_EQ(tables.value(0).documents.size(), 1);
        return tables.value(0).documents.value(0).xml;
    }
    QList<QVariantList> settings(LLObjectsCOM::Company& company, const QStringList& names) {
        return rows(company, u"SELECT %1 FROM OADM"_s.arg(names.join(u", "_s)));
    }
};

// The administration fields of the category arrive with every copy method
// on each server type, the company's other fields stay the target's,
// and the removal phase leaves them all alone.
TEST_P(AdminSettings, EveryMethodUpdatesTheCategorysFieldsOnly) {
    makeCompanies(std::get<1>(GetParam()));
    const QStringList names = settingNames(settingsXml());
    ASSERT_EQ(names.size(), param().count);
    EXPECT_EQ(names.first(), param().first);
    EXPECT_EQ(names.last(), param().last);
    const QList<QVariantList> others = settings(*target, {u"CompnyName"_s, u"PorName"_s});
    exec(*base, u"UPDATE OADM SET PorName = N'Bestellung'"_s);
    EXPECT_EQ(manager(param().categoryId)
                  ->writeToTarget(read(param().categoryId), MRV_DIInterface::RemovalPhase),
              S_OK);
    EXPECT_TRUE(logRecords().isEmpty());
    for (const int method : {1, 2, 3, 4}) {
        // A setting of text: hostile characters arrive as they are.
        exec(*base, u"UPDATE OADM SET %1 = N'<&\"%2>'"_s.arg(param().text).arg(method));
        EXPECT_NE(settings(*target, names), settings(*base, names));
        EXPECT_EQ(copy(param().categoryId, method), S_OK) << method;
        EXPECT_EQ(settings(*target, names), settings(*base, names)) << method;
        EXPECT_EQ(settings(*target, {u"CompnyName"_s, u"PorName"_s}), others);
        const QStringList line = logRecords().value(method - 1);
        EXPECT_EQ(line.value(Type) + line.value(Result), u"213402"_s) << method;
        EXPECT_EQ(line.value(BaseCode), param().element);
    }
    EXPECT_EQ(logRecords().size(), 4);
}

// A record that lacks a setting, or holds one the host refuses, fails as a
// whole: the line names the reason and no field of the target changes.
TEST_P(AdminSettings, ARecordThatCannotBeWrittenChangesNothing) {
    makeCompanies(std::get<1>(GetParam()));
    const QString xml = settingsXml();
    const QStringList names = settingNames(xml);
    const QList<QVariantList> before = settings(*target, names);
    const QString missing = names.value(3);
    QString lacking = xml;
    lacking.remove(QRegularExpression(u"<%1>[^<]*</%1>"_s.arg(missing)));
    QString refused = xml;
    refused.replace(QRegularExpression(u"<%1>[^<]*</%1>"_s.arg(param().first)),
                    u"<%1>%2</%1>"_s.arg(param().first, QString(40, u'Y')));
    const QStringList expected{u"The record has no value of "_s + missing, u"-\\d+: .*"_s};
    int n = 0;
    for (const QString& document : {lacking, refused}) {
        const BOMTableList tables{{u"OADM"_s, {{document, 0}}}};
        EXPECT_EQ(manager(param().categoryId)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate),
                  S_FALSE);
        const QStringList line = logRecords().value(n);
        EXPECT_EQ(line.value(Result), u"403"_s);
        EXPECT_TRUE(
            QRegularExpression(u"^"_s + expected[n] + u"$"_s).match(line.value(Error)).hasMatch())
            << line.value(Error).toStdString();
        EXPECT_EQ(settings(*target, names), before);
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Managers, AdminSettings,
    ::testing::Combine(
        ::testing::Values(SettingsCase{"DocumentSettings", u"MRV_TRN_DOCSETTINGS_100"_s,
                                       u"DocumentSettings"_s, 33, u"CalculateGrossProfitperTra"_s,
                                       u"DefaultStampTax"_s, u"DefaultStampTax"_s},
                          SettingsCase{"InventorySettings", u"MRV_TRN_INVENTORYSETTINGS_100"_s,
                                       u"InventorySettings"_s, 14, u"ContinuousStockManagement"_s,
                                       u"AutoCreateCustomerEqCard"_s, u"DefaultWarehouse"_s}),
        ::testing::Values(6, 5, 2)),
    [](const ::testing::TestParamInfo<std::tuple<SettingsCase, int>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });

class DocumentSetup : public EngineWorld {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
    }
};

// Print preferences per document type: the base's types arrive with their
// fields, a type only the target has keeps its own.
TEST_F(DocumentSetup, PrintPreferencesArrivePerDocumentType) {
    const QString all = u"SELECT ObjType, PrintId, MaxLineNum, V_Compress, TopMrgn, BtmMrgn, "
                        u"MaxWordLin, SNType, PrintMeta, PrnCompany, MnhlNote, DraftNote, "
                        u"PrintRcpt, ShortRcpt FROM ADP1 ORDER BY 1, 2"_s;
    exec(*target, u"INSERT INTO ADP1 (ObjType, PrintId, MaxLineNum) VALUES (N'99', 1, 7)"_s);
    exec(*target, u"INSERT INTO ADP1 (ObjType, PrintId, MaxLineNum) VALUES (N'13', 1, 7)"_s);
    const QList<QVariantList> own = rows(*target, u"SELECT * FROM ADP1 WHERE ObjType = N'99'"_s);
    ASSERT_GT(rows(*base, all).size(), 1);
    for (const int method : {MRV_DIInterface::ReplaceAll, MRV_DIInterface::AddNew}) {
        EXPECT_EQ(copy(PrintOnAdd, method), S_OK);
        EXPECT_EQ(rows(*target, all).size(), rows(*base, all).size() + 1);
        EXPECT_EQ(rows(*target, u"SELECT * FROM ADP1 WHERE ObjType = N'99'"_s), own);
    }
    exec(*target, u"DELETE FROM ADP1 WHERE ObjType = N'99'"_s);
    EXPECT_EQ(rows(*target, all), rows(*base, all));
    EXPECT_EQ(logRecords().size(), 2);
}

// Series: by document, sub type and initial number, new ones after the
// target's highest key, each document's default series made the target's
// default; the documents whose numbering the host keeps are not copied.
TEST_F(DocumentSetup, SeriesAreMatchedByDocumentAndInitialNumber) {
    const QString series = u"SELECT ObjectCode, DocSubType, InitialNum, SeriesName, NextNumber, "
                           u"LastNum, Prefix, Remarks FROM NNM1 WHERE Indicator = N'Default' "
                           u"AND ObjectCode <> N'68' ORDER BY 1, 2, 3"_s;
    const QString defaults =
        u"SELECT n.ObjectCode, s.DocSubType, s.InitialNum FROM ONNM n JOIN "
        u"NNM1 s ON s.Series = n.DfltSeries AND s.ObjectCode = n.ObjectCode "
        u"WHERE s.Indicator = N'Default' AND n.ObjectCode <> N'68' ORDER BY 1"_s;
    exec(*base, u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName, InitialNum, Indicator) "
                u"VALUES (N'68', 90, N'Kept by the host', 1, N'Default')"_s);
    // The target numbers its series otherwise and already has one of them.
    const QString subType =
        value(*base, u"SELECT DocSubType FROM NNM1 WHERE ObjectCode = N'13' AND InitialNum = 1"_s)
            .toString();
    exec(*target, u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName, DocSubType, InitialNum, "
                  u"Indicator) VALUES (N'13', 40, N'Old name', %1, 1, N'Default')"_s.arg(
                      MRV_SQLBuilder::textLiteral(subType, 6)));
    const qsizetype count = rows(*base, series).size();
    ASSERT_GT(count, 5);

    ASSERT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(rows(*target, series), rows(*base, series));
    EXPECT_EQ(rows(*target, defaults), rows(*base, defaults));
    EXPECT_EQ(value(*target, u"SELECT Series FROM NNM1 WHERE SeriesName = N'Primary' AND "
                             u"ObjectCode = N'13'"_s)
                  .toInt(),
              40);
    EXPECT_TRUE(column(*target, u"SELECT Series FROM NNM1 WHERE ObjectCode = N'68'"_s).isEmpty());
    EXPECT_GT(value(*target, u"SELECT MIN(Series) FROM NNM1 WHERE Series <> 40"_s).toInt(), 40);
    // The period indicators and the document names came along.
    EXPECT_EQ(column(*target, u"SELECT Indicator FROM OPID ORDER BY 1"_s),
              column(*base, u"SELECT Indicator FROM OPID ORDER BY 1"_s));
    const QString names = u"SELECT PorName, PdnName, RpdName, PchName, RpcName FROM OADM"_s;
    EXPECT_EQ(rows(*target, names), rows(*base, names));

    // A second run with either adding method adds nothing.
    const qsizetype mark = logRecords().size();
    ASSERT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(rows(*target, series), rows(*base, series));
    const QList<QStringList> records = logRecords().mid(mark);
    qsizetype updated = 0, refused = 0;
    for (const QStringList& r : records) {
        EXPECT_NE(r[Type] + r[Result], u"212402"_s) << r.join(u'|').toStdString();
        updated += r[Type] + r[Result] == u"213402"_s;
        refused += r[Type] + r[Result] == u"212403"_s;
    }
    EXPECT_GE(updated, count);
    // Series and period indicators alike.
    EXPECT_EQ(refused, count + column(*base, u"SELECT Indicator FROM OPID"_s).size());
    // "Replace All" never removes a document's series.
    const qsizetype before = rows(*target, u"SELECT Series FROM NNM1"_s).size();
    EXPECT_EQ(manager(DocumentNumbering)
                  ->writeToTarget(read(DocumentNumbering), MRV_DIInterface::RemovalPhase),
              S_OK);
    EXPECT_EQ(rows(*target, u"SELECT Series FROM NNM1"_s).size(), before);
}
