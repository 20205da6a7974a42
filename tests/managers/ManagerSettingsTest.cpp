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
        if (reader.isStartElement() && ++depth == 3 && reader.name() != u"CompanyName" &&
            reader.name() != u"dep")
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
    QString changed; // a setting that is not a reference
    QString value;   // its value for the copy method %1
};

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

} // namespace

class AdminSettings : public ManagerWorld,
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
    QStringList names = settingNames(settingsXml());
    ASSERT_FALSE(names.isEmpty());
    // References travel by name (their own test): the others by value.
    for (const MRV_Reference& ref : manager(param().categoryId)->mainTable().references)
        names.removeAll(ref.field);
    const QList<QVariantList> others = settings(*target, {u"CompnyName"_s, u"PorName"_s});
    exec(*base, u"UPDATE OADM SET PorName = N'Bestellung'"_s);
    EXPECT_EQ(manager(param().categoryId)
                  ->writeToTarget(read(param().categoryId), MRV_DIInterface::RemovalPhase),
              S_OK);
    EXPECT_TRUE(logRecords().isEmpty());
    for (const int method : {1, 2, 3, 4}) {
        // Hostile characters arrive as they are.
        exec(*base,
             u"UPDATE OADM SET %1 = N'%2'"_s.arg(param().changed, param().value.arg(method)));
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
    const QString first = names.value(0);
    QString lacking = xml;
    lacking.remove(QRegularExpression(u"<%1>[^<]*</%1>"_s.arg(missing)));
    QString refused = xml;
    refused.replace(QRegularExpression(u"<%1>[^<]*</%1>"_s.arg(first)),
                    u"<%1>%2</%1>"_s.arg(first, QString(40, u'Y')));
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
                                       u"DocumentSettings"_s, u"DefaultStampTax"_s, u"<&\"%1>"_s},
                          SettingsCase{"InventorySettings", u"MRV_TRN_INVENTORYSETTINGS_100"_s,
                                       u"InventorySettings"_s, u"ValuationMethod"_s, u"%1"_s},
                          SettingsCase{"COASettings", u"MRV_TRN_COASETTINGS_100"_s,
                                       u"COASettings"_s, u"SystemCurrency"_s, u"C%1"_s},
                          SettingsCase{"CompanyDisplaySettings", u"MRV_TRN_CMPDSPSETTINGS_100"_s,
                                       u"AdminInfo"_s, u"DateSeparator"_s, u"%1"_s}),
        ::testing::Values(6, 5, 2)),
    [](const ::testing::TestParamInfo<std::tuple<SettingsCase, int>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });

class SetupParticulars : public ManagerCompanies {};

// Print preferences per document type: the base's types arrive with their
// fields, a type only the target has keeps its own.
TEST_F(SetupParticulars, PrintPreferencesArrivePerDocumentType) {
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
    expectSame(all);
    EXPECT_EQ(logRecords().size(), 2);
}

// Series: by document, sub type, period indicator and initial number, new
// ones after the target's highest key, each document's default series made the target's
// default; the documents whose numbering the host keeps are not copied.
TEST_F(SetupParticulars, SeriesAreMatchedByDocumentAndInitialNumber) {
    // Every period indicator's series but the target's own year.
    const QString series =
        u"SELECT ObjectCode, DocSubType, Indicator, InitialNum, SeriesName, NextNumber, LastNum, "
        u"Prefix, Remarks FROM NNM1 WHERE Indicator <> N'2031' AND ObjectCode <> N'68' "
        u"ORDER BY 1, 2, 3, 4"_s;
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
    exec(*target,
         u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName, DocSubType, InitialNum, "
         u"Indicator) VALUES (N'13', 40, N'Old name', %1, 1, N'Default')"_s.arg(lit(subType)));
    // A series of the target's own year that starts at the same number is
    // another series and stays as it is.
    exec(*target, u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName, DocSubType, InitialNum, "
                  u"Indicator) VALUES (N'17', 41, N'Year series', N'--', 1, N'2031')"_s);
    const qsizetype count = rows(*base, series).size();
    ASSERT_GT(count, 5);

    ASSERT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(value(*target, u"SELECT SeriesName FROM NNM1 WHERE Series = 41"_s).toString(),
              u"Year series"_s);
    expectSame(series);
    expectSame(defaults);
    EXPECT_EQ(value(*target, u"SELECT Series FROM NNM1 WHERE SeriesName = N'Primary' AND "
                             u"ObjectCode = N'13'"_s)
                  .toInt(),
              40);
    EXPECT_TRUE(column(*target, u"SELECT Series FROM NNM1 WHERE ObjectCode = N'68'"_s).isEmpty());
    EXPECT_GT(
        value(*target, u"SELECT MIN(Series) FROM NNM1 WHERE Series NOT IN (40, 41)"_s).toInt(), 41);
    // The period indicators and the document names came along.
    expectSame(u"SELECT Indicator FROM OPID ORDER BY 1"_s);
    const QString names = u"SELECT PorName, PdnName, RpdName, PchName, RpcName FROM OADM"_s;
    expectSame(names);

    // A second run with either adding method adds nothing.
    const qsizetype mark = logRecords().size();
    ASSERT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddNew), S_FALSE);
    expectSame(series);
    EXPECT_EQ(loggedSince(mark, u"212402"_s), 0);
    EXPECT_GE(loggedSince(mark, u"213402"_s), count);
    // Series and period indicators alike.
    EXPECT_EQ(loggedSince(mark, u"212403"_s),
              count + column(*base, u"SELECT Indicator FROM OPID"_s).size());
    // "Replace All" never removes a document's series.
    const qsizetype before = rows(*target, u"SELECT Series FROM NNM1"_s).size();
    EXPECT_EQ(manager(DocumentNumbering)
                  ->writeToTarget(read(DocumentNumbering), MRV_DIInterface::RemovalPhase),
              S_OK);
    EXPECT_EQ(rows(*target, u"SELECT Series FROM NNM1"_s).size(), before);

    // A target whose series may serve several document types takes none of
    // the base's: each fails, saying why.
    exec(*target, u"UPDATE OADM SET MultiTypeSeries = 'Y'"_s);
    exec(*base, u"UPDATE NNM1 SET Remarks = N'Changed'"_s);
    const qsizetype since = logRecords().size();
    EXPECT_EQ(copy(DocumentNumbering, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_TRUE(column(*target, u"SELECT Series FROM NNM1 WHERE Remarks = N'Changed'"_s).isEmpty());
    qsizetype different = 0;
    for (const QStringList& r : logRecords().mid(since))
        different += r[Error].startsWith(u"The series cannot be copied if the target and base "
                                         u"companies use different structures"_s);
    EXPECT_EQ(different, count);
}

// The default item group and cycle are numbered per company: they arrive as
// the target's of the same name; one the target lacks is left out, the
// target keeps its own default, and the line says so.
TEST_F(SetupParticulars, InventoryDefaultsTravelByName) {
    const QString category = u"MRV_TRN_INVENTORYSETTINGS_100"_s;
    const QString defaults =
        u"SELECT g.ItmsGrpNam, c.Name FROM OADM a LEFT JOIN OITB g ON g.ItmsGrpCod = "
        u"a.DefaultItemGroup LEFT JOIN OCYC c ON c.Code = a.DefaultInventoryCycle"_s;
    const QList<QVariantList> wanted = rows(*base, defaults);
    ASSERT_FALSE(wanted.value(0).value(0).toString().isEmpty());
    ASSERT_FALSE(wanted.value(0).value(1).toString().isEmpty());
    copyNamesUnderOtherKeys(*base, *target, u"SELECT Name FROM OCYC"_s,
                            u"INSERT INTO OCYC (Code, Name) VALUES (%1, %2)"_s);
    exec(*target, u"INSERT INTO OITB (ItmsGrpCod, ItmsGrpNam) VALUES (90, N'Own group')"_s);
    exec(*target, u"UPDATE OADM SET DefaultItemGroup = 90"_s);
    ASSERT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(rows(*target, defaults), (QList<QVariantList>{{u"Own group"_s, wanted[0][1]}}));
    EXPECT_TRUE(logRecords().value(0).value(Error).contains(
        u"DefaultItemGroup refers to OITB ItmsGrpNam '%1', which is not in the target company; "
        u"written without it"_s.arg(wanted[0][0].toString())));

    copyNamesUnderOtherKeys(*base, *target, u"SELECT ItmsGrpNam FROM OITB"_s,
                            u"INSERT INTO OITB (ItmsGrpCod, ItmsGrpNam) VALUES (%1, %2)"_s);
    ASSERT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(rows(*target, defaults), wanted);
    EXPECT_NE(value(*target, u"SELECT DefaultItemGroup FROM OADM"_s),
              value(*base, u"SELECT DefaultItemGroup FROM OADM"_s));
}
