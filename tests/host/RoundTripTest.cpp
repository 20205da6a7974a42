#include "HostTestSupport.h"

#include "TestData.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLRecordset.h"

#include <QRegularExpression>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

QStringList keyRows(Company& company, const ObjectDefinition& def) {
    QStringList columns;
    for (const ObjectDefinition::Field& k : def.keys)
        columns << u'"' + k.column + u'"';
    std::unique_ptr<Recordset> rs = company.GetRecordset();
    rs->DoQuery(u"SELECT %1 FROM \"%2\" ORDER BY %1"_s.arg(columns.join(u','), def.table));
    QStringList rows;
    for (; !rs->EoF(); rs->MoveNext()) {
        QStringList values;
        for (int i = 0; i < rs->FieldCount(); ++i)
            values << Recordset::valueText(rs->Field(i));
        rows << values.join(QChar(0x1F));
    }
    return rows;
}

// Drops the tables (153) or columns (152) that the catalogue rows describe.
void dropUserStructure(Company& company, int objectType) {
    Database& db = *company.state()->database;
    QStringList statements;
    std::unique_ptr<Recordset> rs = company.GetRecordset();
    if (objectType == BusinessObject::UserTablesType) {
        rs->DoQuery(u"SELECT TableName FROM OUTB"_s);
        for (; !rs->EoF(); rs->MoveNext())
            statements << u"DROP TABLE \"@%1\""_s.arg(rs->Field(0).toString());
    } else {
        rs->DoQuery(u"SELECT TableID, AliasID FROM CUFD"_s);
        for (; !rs->EoF(); rs->MoveNext())
            statements << u"ALTER TABLE \"%1\" DROP COLUMN \"U_%2\""_s.arg(rs->Field(0).toString(),
                                                                           rs->Field(1).toString());
    }
    for (const QString& sql : statements) {
        QString error;
        ASSERT_TRUE(db.exec(sql, &error)) << sql.toStdString() << ": " << error.toStdString();
    }
}

// A standard demo company, BASE, and base connected to it.
class StandardCompany : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
        QString error;
        ASSERT_TRUE(Demo::create(*server, u"BASE"_s, u"standard"_s, 1, &error))
            << error.toStdString();
        connect(base, *server, u"BASE"_s);
    }
    std::optional<Server> server;
    Company base;
};

} // namespace

// Every record of every object type of a company in use is read, added into
// a company that lacks it, and read back: the documents are equal. (Keys the
// host assigns line up because the test puts the counter where the base had
// it for each record.)
TEST_F(StandardCompany, EveryObjectOfTheStandardCompanyRoundTrips) {
    QString error;

    int objectsWithRecords = 0;
    for (const ObjectDefinition& def : ObjectCatalog::standard().objects()) {
        SCOPED_TRACE(def.number);
        const QStringList keys = keyRows(base, def);
        if (keys.isEmpty())
            continue;
        ++objectsWithRecords;
        // The target is the base without this object's records, so that
        // everything the records point at is there.
        const QString targetName = u"T%1"_s.arg(def.number);
        ASSERT_TRUE(base.state()->database->exec(u"VACUUM INTO ?"_s, &error,
                                                 {server->newDatabasePath(targetName)}))
            << error.toStdString();
        Company target;
        connect(target, *server, targetName);
        // User tables and fields are real tables and columns: the target
        // lacks those too.
        if (def.number == BusinessObject::UserTablesType ||
            def.number == BusinessObject::UserFieldsType)
            dropUserStructure(target, def.number);
        for (const ObjectDefinition::Child& child : def.children)
            target.GetRecordset()->DoQuery(u"DELETE FROM \"%1\""_s.arg(child.table));
        target.GetRecordset()->DoQuery(u"DELETE FROM \"%1\""_s.arg(def.table));

        QStringList documents;
        std::unique_ptr<BusinessObject> source = businessObject(base, def.number);
        for (const QString& key : keys) {
            QVariantList values;
            for (const QString& v : key.split(QChar(0x1F)))
                values << v;
            ASSERT_TRUE(source->GetByKey(values)) << base.GetLastErrorDescription().toStdString();
            documents << source->GetAsXML();
        }
        // A record may point at a record of its own kind that comes later:
        // every record is added without such references first, in key order
        // with the counter where the base had it, then updated with them.
        QStringList selfReferences;
        for (const ObjectDefinition::Reference& ref : def.references)
            if (ref.table == def.table)
                selfReferences << def.fieldByColumn(ref.column)->property;
        QMap<QString, QString> added; // base document -> document read back
        QList<std::pair<QString, QVariantList>> written;
        for (qsizetype i = 0; i < documents.size(); ++i) {
            QString first = documents[i];
            for (const QString& p : selfReferences)
                first.remove(QRegularExpression(u"<%1>[^<]*</%1>"_s.arg(p)));
            if (def.autoKey) {
                target.GetRecordset()->DoQuery(
                    u"DELETE FROM ONNM WHERE ObjectCode = N'%1'"_s.arg(def.number));
                target.GetRecordset()->DoQuery(
                    u"INSERT INTO ONNM (ObjectCode, AutoKey) VALUES (N'%1', %2)"_s.arg(def.number)
                        .arg(keys[i].toInt()));
            }
            std::unique_ptr<BusinessObject> bo = target.GetBusinessObjectFromXML(first, 0);
            ASSERT_EQ(bo->Add(), 0) << target.GetLastErrorDescription().toStdString() << "\n"
                                    << first.left(400).toStdString();
            QVariantList values;
            for (const ObjectDefinition::Field& k : def.keys)
                values << bo->GetProperty(k.property);
            written.append({documents[i], values});
        }
        for (const auto& [xml, values] : std::as_const(written)) {
            std::unique_ptr<BusinessObject> back = businessObject(target, def.number);
            ASSERT_TRUE(back->GetByKey(values));
            if (!selfReferences.isEmpty() && back->GetAsXML() != xml) {
                ASSERT_EQ(back->ReadXml(xml), 0);
                ASSERT_EQ(back->Update(), 0) << target.GetLastErrorDescription().toStdString();
                ASSERT_TRUE(back->GetByKey(values));
            }
            added.insert(xml, back->GetAsXML());
        }
        for (auto it = added.begin(); it != added.end(); ++it)
            EXPECT_EQ(it.value(), it.key());
    }
    EXPECT_GT(objectsWithRecords, 40);
}

// Contacts are numbered across all partners: a copy of a partner whose
// contacts' numbers are taken gets free ones, and the original keeps its own.
TEST_F(StandardCompany, LinesWithNumbersOfTheirOwnGetFreeOnes) {
    std::unique_ptr<Recordset> rs = base.GetRecordset();
    rs->DoQuery(u"SELECT CardCode, COUNT(*) FROM OCPR GROUP BY CardCode "
                u"ORDER BY COUNT(*) DESC, CardCode"_s);
    ASSERT_FALSE(rs->EoF());
    const QString card = rs->Field(0).toString();
    const int contacts = rs->Field(1).toInt();
    std::unique_ptr<BusinessObject> partner = businessObject(base, 2);
    ASSERT_TRUE(partner->GetByKey({card}));
    const QString original = partner->GetAsXML();
    QString copy = original;
    copy.replace(u"<CardCode>%1</CardCode>"_s.arg(card), u"<CardCode>COPY1</CardCode>"_s);
    ASSERT_EQ(base.GetBusinessObjectFromXML(copy, 0)->Add(), 0)
        << base.GetLastErrorDescription().toStdString();
    rs->DoQuery(u"SELECT COUNT(*) FROM OCPR WHERE CardCode = N'COPY1' AND CntctCode "
                u"NOT IN (SELECT CntctCode FROM OCPR WHERE CardCode = N'%1')"_s.arg(card));
    EXPECT_EQ(rs->Field(0).toInt(), contacts);
    ASSERT_TRUE(partner->GetByKey({card}));
    EXPECT_EQ(partner->GetAsXML(), original);
}
