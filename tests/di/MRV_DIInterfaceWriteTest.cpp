#include "EngineTestSupport.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_DIFailureAbortException.h"
#include "di/MRV_SQLBuilder.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLErrors.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "managers/MRV_CurrencySettingsManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString Manufacturers = u"MRV_TRN_MANUFACTURERS_100"_s;
const QString Currencies = u"MRV_TRN_CURRENCYSETTINGS_100"_s;
const QString CustomerGroups = u"MRV_TRN_CUSTOMERGROUPS_100"_s;
const QString VendorGroups = u"MRV_TRN_SUPPLIERGROUPS_100"_s;
const QString Projects = u"MRV_TRN_PROJECTS_100"_s;
const QString Countries = u"MRV_TRN_COUNTRIES_100"_s;

// A table document holding the given rows of table, each given as
// (column, value) pairs.
MRV_BOMDocument rowsDocument(const QString& table,
                             const QList<QList<std::pair<QString, QString>>>& rows) {
    MRV_BOMRecord record;
    record.setObjectType(-1);
    MRV_BOMRecord::Group group{table, {}};
    for (const auto& fields : rows) {
        MRV_BOMRecord::Row row;
        for (const auto& [name, value] : fields)
            row.setValue(name, value);
        group.rows << row;
    }
    record.groups() << group;
    return MRV_BOMDocument{record.toXml(), 0};
}

} // namespace

class EngineWrite : public EngineWorld {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
    }
    QString lastError() const { return logRecords().last().value(Error); }
    QStringList names(LLObjectsCOM::Company& company) {
        return column(company, u"SELECT FirmName FROM OMRC WHERE FirmCode <> -1 ORDER BY 1"_s);
    }
};

// What the log says of the copy methods on business objects; the counts
// of each method's lines are the managers' copy suite's.
TEST_F(EngineWrite, CopyMethodsOnBusinessObjects) {
    const qsizetype count = names(*base).size();
    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::AddNew), S_OK);
    // Added again, each record exists already (by its name: the host
    // numbers manufacturers itself) and is refused.
    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(lastError(), "The record exists in the target company already");

    // Records known by their codes are refused by the host itself, with its
    // error code.
    EXPECT_EQ(copy(Currencies, MRV_DIInterface::AddNew, {{u"EUR"_s}}), S_OK);
    EXPECT_EQ(copy(Currencies, MRV_DIInterface::AddNew, {{u"EUR"_s}}), S_FALSE);
    EXPECT_TRUE(lastError().startsWith(QString::number(LLObjectsCOM::errRecordExists) + u':'))
        << lastError().toStdString();

    // Update existing: a renamed record in the base renames it in the
    // target; the log keeps the target's former description.
    exec(*target,
         u"UPDATE OMRC SET FirmName = N'ACORN DEVICES' WHERE FirmName = N'Acorn Devices'"_s);
    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::UpdateExisting, {{1}}), S_OK);
    const QString targetCode =
        column(*target, u"SELECT FirmCode FROM OMRC WHERE FirmName = 'Acorn Devices'"_s).value(0);
    EXPECT_EQ(logRecords().last(),
              (QStringList{Manufacturers, u"213"_s, u"402"_s, u"1"_s, u"Acorn Devices"_s,
                           targetCode, u"Acorn Devices"_s, u"ACORN DEVICES"_s, QString()}));

    // Add and update: new records are added, existing ones updated.
    exec(*base, u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (40, N'Zenith Works')"_s);
    const qsizetype addedBefore = logged(u"212"_s, u"402"_s);
    const qsizetype updatedBefore = logged(u"213"_s, u"402"_s);
    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(logged(u"212"_s, u"402"_s), addedBefore + 1);
    EXPECT_EQ(logged(u"213"_s, u"402"_s), updatedBefore + count);
    EXPECT_EQ(names(*target), names(*base));
}

TEST_F(EngineWrite, ReplaceAllRemovesTheTargetsRecordsFirst) {
    exec(*target, u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (70, N'Only In Target')"_s);
    ASSERT_EQ(copy(Manufacturers, MRV_DIInterface::ReplaceAll), S_OK);
    EXPECT_EQ(names(*target), names(*base));
    // The host's own "none" record is never removed.
    EXPECT_EQ(column(*target, u"SELECT FirmName FROM OMRC WHERE FirmCode = -1"_s).size(), 1);
    ASSERT_EQ(logged(u"404"_s, u"402"_s), 1);
    for (const QStringList& r : logRecords())
        if (r[Type] == u"404") {
            EXPECT_EQ(r[TargetDesc], "Only In Target");
        }

    // A record the target still uses cannot be removed: the host refuses,
    // the line says why, and the record stays.
    exec(*target,
         u"INSERT INTO OITM (ItemCode, ItemName, FirmCode) SELECT N'I1', N'Item', FirmCode "
         u"FROM OMRC WHERE FirmName = N'Acorn Devices'"_s);
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(read(Manufacturers), 0), S_FALSE);
    ASSERT_EQ(logged(u"404"_s, u"403"_s), 1);
    for (const QStringList& r : logRecords())
        if (r[Type] == u"404" && r[Result] == u"403") {
            EXPECT_TRUE(r[Error].startsWith(QString::number(LLObjectsCOM::errInUse)))
                << r[Error].toStdString();
            EXPECT_EQ(r[TargetDesc], "Acorn Devices");
        }
    EXPECT_EQ(names(*target), QStringList{u"Acorn Devices"_s});
}

// The copy methods on table rows with generated keys: a group is the
// target's group of the same name, or a new one with the next key.
TEST_F(EngineWrite, CopyMethodsOnTableRowsWithGeneratedKeys) {
    // The target's price lists have the base's names under other numbers.
    int listNum = 20;
    for (const QString& list : column(*base, u"SELECT ListName FROM OPLN ORDER BY ListNum"_s))
        exec(*target,
             u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (%1, %2, 20)"_s.arg(listNum++)
                 .arg(MRV_SQLBuilder::textLiteral(list, 6)));
    exec(*target,
         u"INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (5, N'Wholesale', 'C')"_s);
    const int groups =
        int(column(*base, u"SELECT GroupCode FROM OCRG WHERE GroupType = 'C'"_s).size());

    EXPECT_EQ(copy(CustomerGroups, MRV_DIInterface::UpdateExisting), S_FALSE);
    EXPECT_EQ(logged(u"213"_s, u"402"_s), 1); // Wholesale
    EXPECT_EQ(logged(u"213"_s, u"403"_s), groups - 1);
    EXPECT_EQ(copy(CustomerGroups, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(logged(u"212"_s, u"402"_s), groups - 1);
    EXPECT_EQ(logged(u"212"_s, u"403"_s), 1);

    // Every group has its base name and type and points at the target's
    // price list of the base's list name.
    const QString byName =
        u"SELECT g.GroupName, g.GroupType, l.ListName FROM OCRG g LEFT JOIN OPLN l "
        u"ON l.ListNum = g.PriceList WHERE g.GroupType = 'C' ORDER BY 1"_s;
    EXPECT_EQ(rows(*target, byName), rows(*base, byName));
    // New keys follow the largest one; the key counter moved past them.
    EXPECT_EQ(column(*target, u"SELECT MIN(GroupCode) FROM OCRG WHERE GroupCode <> 5"_s),
              QStringList{u"6"_s});
    const int largest = value(*target, u"SELECT MAX(GroupCode) FROM OCRG"_s).toInt();
    EXPECT_EQ(value(*target, u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '10'"_s).toInt(),
              largest + 1);
    // ... and never moves back.
    exec(*target, u"UPDATE ONNM SET AutoKey = 500 WHERE ObjectCode = '10'"_s);
    exec(*base, u"INSERT INTO OCRG (GroupCode, GroupName, GroupType) VALUES (300, N'New', 'C')"_s);
    EXPECT_EQ(copy(CustomerGroups, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(value(*target, u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '10'"_s).toInt(), 500);
}

TEST_F(EngineWrite, AReferenceTheTargetCannotResolveFailsTheRecord) {
    // The target has none of the base's price lists.
    EXPECT_EQ(copy(VendorGroups, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(value(*target, u"SELECT COUNT(*) FROM OCRG"_s).toInt(), 0);
    const QStringList failed = logRecords().first();
    EXPECT_EQ(failed[Result], "403");
    EXPECT_TRUE(failed[Error].contains(u"PriceList refers to OPLN ListName"_s) &&
                failed[Error].contains(u"not in the target company"_s))
        << failed[Error].toStdString();

    // The file's own names of the identifying columns are not used: the
    // declared ones are.
    exec(*target, u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (7, N'Base Price', 7)"_s);
    BOMTableList tables = read(VendorGroups, {{104}});
    tables.first().documents.first().xml.replace(u"<fField>ListName</fField>"_s,
                                                 u"<fField>1=1) OR (ListName</fField>"_s);
    EXPECT_EQ(manager(VendorGroups)->writeToTarget(tables, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(
        column(*target, u"SELECT PriceList FROM OCRG WHERE GroupName = 'Domestic Suppliers'"_s),
        QStringList{u"7"_s});
    // The first row of a table without rows gets key 1.
    EXPECT_EQ(column(*target, u"SELECT GroupCode FROM OCRG"_s), QStringList{u"1"_s});
}

TEST_F(EngineWrite, MissingUserDefinedFieldsFailOrAreLeftOut) {
    ASSERT_TRUE(addUserField(*base, u"OMRC"_s, u"Origin"_s));
    exec(*base, u"UPDATE OMRC SET U_Origin = N'Ohio' WHERE FirmCode = 1"_s);
    const BOMTableList tables = read(Manufacturers, {{1}});
    ASSERT_TRUE(tables.first().documents.first().xml.contains(u"<U_Origin>Ohio</U_Origin>"_s));

    context.ignoreMissingUdf = false;
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(tables, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(lastError(), "Missing User Defined Fields: U_Origin of OMRC");
    EXPECT_TRUE(names(*target).isEmpty());

    context.ignoreMissingUdf = true;
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(tables, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(names(*target), QStringList{u"Acorn Devices"_s});

    // Where the target has the field, its value arrives.
    ASSERT_TRUE(addUserField(*target, u"OMRC"_s, u"Origin"_s));
    context.ignoreMissingUdf = false;
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(tables, MRV_DIInterface::UpdateExisting), S_OK);
    EXPECT_EQ(column(*target, u"SELECT U_Origin FROM OMRC WHERE FirmCode = 1"_s),
              QStringList{u"Ohio"_s});

    // U_NAME is no user-defined field: it is never looked up (the host then
    // refuses the element itself).
    BOMTableList named = tables;
    named.first().documents.first().xml.replace(u"<U_Origin>"_s, u"<U_NAME>x</U_NAME><U_Origin>"_s);
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(named, MRV_DIInterface::UpdateExisting),
              S_FALSE);
    EXPECT_FALSE(lastError().startsWith("Missing User Defined Fields"));

    // Table rows are checked the same way.
    ASSERT_TRUE(addUserField(*base, u"OPRJ"_s, u"Owner"_s));
    exec(*base, u"UPDATE OPRJ SET U_Owner = N'Kim'"_s);
    EXPECT_EQ(copy(Projects, MRV_DIInterface::AddNew, {{u"PRJ001"_s}}), S_FALSE);
    EXPECT_EQ(lastError(), "Missing User Defined Fields: U_Owner of OPRJ");
    context.ignoreMissingUdf = true;
    EXPECT_EQ(copy(Projects, MRV_DIInterface::AddNew, {{u"PRJ001"_s}}), S_OK);
}

// A record's values from a file reach statements only checked: a value that
// must be a number or a date has to be one, and only columns of the table
// are written.
TEST_F(EngineWrite, TableRowsFromAFileCannotCarrySqlOfTheirOwn) {
    const QList<MRV_BOMDocument> documents{
        rowsDocument(u"OPRJ"_s, {{{u"PrjCode"_s, u"P1"_s}, {u"PrjName"_s, u"One"_s}},
                                 {{u"PrjCode"_s, u"P2"_s},
                                  {u"PrjName"_s, u"Two"_s},
                                  {u"ValidFrom"_s, u"20240101', 112); DELETE FROM OPRJ; --"_s}},
                                 {{u"PrjCode"_s, u"P3"_s},
                                  {u"PrjName"_s, u"Three"_s},
                                  {u"Locked"_s, u"N"_s},
                                  {u"Unknown"_s, u"x"_s}}})};
    EXPECT_EQ(manager(Projects)->writeToTarget({{u"OPRJ"_s, documents}}, MRV_DIInterface::AddNew),
              S_FALSE);
    EXPECT_EQ(column(*target, u"SELECT PrjCode FROM OPRJ"_s), QStringList{u"P1"_s});
    const QList<QStringList> records = logRecords();
    ASSERT_EQ(records.size(), 3);
    EXPECT_TRUE(records[1][Error].contains(u"is not a date"_s));
    EXPECT_EQ(records[2][Error], "Table OPRJ has no column Unknown");

    // A value the target's column cannot hold: the database refuses the
    // row, with the host's code, and nothing of it is written.
    const QList<MRV_BOMDocument> tooLong{
        rowsDocument(u"OPRJ"_s, {{{u"PrjCode"_s, u"P4"_s}, {u"PrjName"_s, QString(101, u'x')}}})};
    EXPECT_EQ(manager(Projects)->writeToTarget({{u"OPRJ"_s, tooLong}}, MRV_DIInterface::AddNew),
              S_FALSE);
    EXPECT_TRUE(lastError().startsWith(QString::number(LLObjectsCOM::errSql) + u':'))
        << lastError().toStdString();
    EXPECT_EQ(column(*target, u"SELECT PrjCode FROM OPRJ"_s), QStringList{u"P1"_s});

    // A vendor group handed to the customer groups is not theirs.
    exec(*target, u"INSERT INTO OPLN (ListNum, ListName, BASE_NUM) VALUES (1, N'Base Price', 1)"_s);
    EXPECT_EQ(manager(CustomerGroups)->writeToTarget(read(VendorGroups), MRV_DIInterface::AddNew),
              S_FALSE);
    EXPECT_EQ(value(*target, u"SELECT COUNT(*) FROM OCRG"_s).toInt(), 0);
    EXPECT_TRUE(lastError().contains(u"not one of this category"_s));
}

TEST_F(EngineWrite, AFailedRecordIsAnsweredAsTheRunAsks) {
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    const BOMTableList tables = read(VendorGroups); // no price lists in the target

    // Terminate: the first failure ends the run, with a message.
    context.responseToFailure = 2;
    EXPECT_THROW(manager(VendorGroups)->writeToTarget(tables, MRV_DIInterface::AddNew),
                 MRV_DIFailureAbortException);
    EXPECT_EQ(logRecords().size(), 1);
    const QStringList errors = ui.shown(u"error: "_s);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(u"Copy process terminated."_s) &&
                errors[0].contains(u"Vendor Groups"_s))
        << errors[0].toStdString();

    // Ask: "yes" goes on, "no" ends the run.
    context.responseToFailure = 1;
    ui.answers = {MRV_Interaction::ButtonYes, MRV_Interaction::ButtonNo};
    EXPECT_THROW(manager(VendorGroups)->writeToTarget(tables, MRV_DIInterface::AddNew),
                 MRV_DIFailureAbortException);
    EXPECT_EQ(logRecords().size(), 3);
    EXPECT_EQ(ui.shown(u"question: "_s).size(), 2);
    EXPECT_TRUE(ui.shown(u"question: "_s).first().contains(u"Continue copying?"_s));

    // Continue: every record is tried.
    context.responseToFailure = 0;
    EXPECT_EQ(manager(VendorGroups)->writeToTarget(tables, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(logRecords().size(),
              3 + column(*base, u"SELECT 1 FROM OCRG WHERE GroupType = 'S'"_s).size());
}

TEST_F(EngineWrite, WithoutATargetNothingIsWritten) {
    context.targetCompany.reset();
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(read(Manufacturers), MRV_DIInterface::AddNew),
              E_FAIL);
    EXPECT_TRUE(logRecords().isEmpty());
    // Tables the category does not own are passed over.
    context.targetCompany = target;
    EXPECT_EQ(manager(Manufacturers)->writeToTarget(read(Currencies), MRV_DIInterface::AddNew),
              S_OK);
    EXPECT_TRUE(logRecords().isEmpty());
    // No copy log: records are written all the same.
    context.copyLog = nullptr;
    EXPECT_EQ(copy(Manufacturers, MRV_DIInterface::AddNew), S_OK);
    EXPECT_EQ(names(*target), names(*base));
}

namespace {

// Currencies whose records a manager changes on their way: the document
// before the object reads it, and the object before it is saved.
class PreparedCurrencies : public MRV_CurrencySettingsManager {
public:
    using MRV_CurrencySettingsManager::MRV_CurrencySettingsManager;
    void prepareRecord(int objectType, QString& xml) override {
        types << objectType;
        xml.replace(u"<Name>"_s, u"<Name>New "_s);
    }
    void prepareObject(int objectType, LLObjectsCOM::HostObject& object, int mode) override {
        types << objectType;
        modes << mode;
        dynamic_cast<LLObjectsCOM::BusinessObject&>(object).SetProperty(u"ForeignName"_s,
                                                                        u"mode %1"_s.arg(mode));
    }
    QList<int> types;
    QList<int> modes;
};

} // namespace

TEST_F(EngineWrite, ManagersPrepareRecordsAndObjectsBeforeTheyAreSaved) {
    PreparedCurrencies currencies(&context, Currencies);
    const BOMTableList tables = read(Currencies, {{u"EUR"_s}});
    ASSERT_EQ(currencies.writeToTarget(tables, MRV_DIInterface::AddNew), S_OK);
    ASSERT_EQ(currencies.writeToTarget(tables, MRV_DIInterface::UpdateExisting), S_OK);
    EXPECT_EQ(currencies.modes,
              (QList<int>{MRV_DIInterface::BeforeAdd, MRV_DIInterface::BeforeUpdate}));
    EXPECT_EQ(currencies.types, (QList<int>{37, 37, 37, 37}));
    EXPECT_EQ(rows(*target, u"SELECT CurrName, FrgnName FROM OCRN"_s),
              (QList<QVariantList>{{u"New Euro"_s, u"mode 2"_s}}));
    // The log shows what the target holds now.
    EXPECT_EQ(logRecords().last().mid(BaseDesc, 3),
              (QStringList{u"Euro"_s, u"EUR"_s, u"New Euro"_s}));
}
