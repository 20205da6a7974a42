#pragma once

// The demo generator's shared parts: the writer that every area's step
// writes through, and the keys that earlier steps made and later ones
// refer to. Private to host/admin.

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace LLObjectsCOM {

class Database;

// Keys of records that later steps point at, so every reference the host
// checks lands on a row that exists.
struct DemoKeys {
    QString country;  // the company's own, OCRY.Code
    QString currency; // local currency, OCRN.CurrCode
    QStringList countries;
    QStringList foreignCurrencies;
    QStringList homeStates;             // OCST.Code of the company's country
    QHash<QString, QStringList> states; // country -> OCST.Code
    QList<int> addressFormats;

    QHash<QString, QString> account; // role ("cash", "revenue" ...) -> OACT.AcctCode
    QStringList postable, revenueAccounts, expenseAccounts, assetAccounts;
    QList<int> accountCategories;
    QStringList projects, profitCenters, distributionRules;
    QStringList indicators, transactionCodes;
    int journalSeries = 0;

    QStringList layoutsDunning, layoutsPayment, reportTypes;
    QStringList banks;                   // ODSC.BankCode
    QHash<QString, QString> bankAccount; // ODSC.BankCode -> DSC1.Account
    QList<int> creditCards, paymentTerms, dunningTerms;
    QStringList vatOutput, vatInput, withholdingCodes, taxNumberTypes;

    QList<int> locations, lengthUnits, weightUnits, customsGroups, manufacturers, shippingTypes,
        cycles, itemGroups, itemProperties;
    QStringList warehouses;
    QList<int> priceLists;

    QList<int> commissionGroups, salesEmployees, employees, territories, priorities, industries,
        customerGroups, vendorGroups, relationships;
    QStringList items, customers, vendors;
    int lastContact = 0, lastPartnerBank = 0; // OCPR.CntctCode, OCRB.AbsEntry

    QList<int> departments, branches, userKeys; // OUSR.INTERNAL_K (= USERID here)
    QStringList defaultsGroups;
    QList<int> queries;
    QStringList userTables;
};

// Writes rows through statements prepared once per shape, counts them and
// keeps the first failure: after it every write is skipped, so a step can
// write on and the driver looks at ok() once.
class DemoWriter {
public:
    DemoWriter(Database& db, quint32 seed, int year, bool caseInsensitive);
    DemoWriter(const DemoWriter&) = delete;
    DemoWriter& operator=(const DemoWriter&) = delete;

    // One row; NOT NULL columns without default that values leaves out get
    // 0, '' or 'N', as the host's own seed rows do.
    void put(const QString& table, const QVariantMap& values);
    // Any other statement (an UPDATE of a seeded row).
    void exec(const QString& sql, const QVariantList& values = QVariantList());
    // The first value of the first row of a query; invalid on failure.
    QVariant scalar(const QString& sql, const QVariantList& values = QVariantList());
    void fail(const QString& why);
    // The account with that code, which the chart must hold; fails the
    // writer otherwise, so a slip in a code cannot leave a dangling one.
    QString account(const QString& code);
    // Counts rows written by others (user tables made through UserTables).
    void count(qint64 rows) { m_rows += rows; }

    bool ok() const { return m_ok; }
    const QString& error() const { return m_error; }
    qint64 rows() const { return m_rows; }
    Database& db() { return m_db; }
    bool caseInsensitive() const { return m_caseInsensitive; }
    DemoKeys& keys() { return m_keys; }

    // The company's financial year: dates of the demo lie in it.
    int year() const { return m_year; }
    QDate day(int month, int dayOfMonth) const { return QDate(m_year, month, dayOfMonth); }
    QDate anyDay();
    static QString dateText(const QDate& date);

    // Uniform in [low, high].
    int number(int low, int high);
    // Rounded to decimals places.
    double amount(double low, double high, int decimals = 2);
    bool chance(int percent) { return number(1, 100) <= percent; }
    // One of list; an empty list is a slip in the order of the steps.
    template <class T> T pick(const QList<T>& list) {
        if (list.isEmpty()) {
            fail(QStringLiteral("A demo step picked from an empty list"));
            return T();
        }
        return list.at(number(0, int(list.size()) - 1));
    }

    // Made-up names and contact data.
    QString firstName();
    QString lastName();
    QString companyName();
    QString cityName();
    QString streetName();
    QString phone();
    QString zipCode();
    static QString mailName(const QString& text);

private:
    struct Shape {
        QString sql;
        QVariantList fill; // values of the columns the row leaves out
    };
    const Shape* shape(const QString& table, const QVariantMap& values);

    Database& m_db;
    QRandomGenerator m_random;
    int m_year;
    bool m_caseInsensitive;
    bool m_ok = true;
    QString m_error;
    qint64 m_rows = 0;
    QHash<QString, Shape> m_shapes; // table + column names -> statement
    DemoKeys m_keys;
};

// The areas, in the order the driver runs them; each writes through the
// writer and records in its keys what later areas refer to.
namespace demo {
void writeReference(DemoWriter& w, const QString& isoFolder);
// database: the company's database name, kept in its information row.
void writeCompanySettings(DemoWriter& w, const QString& database);
void writeChartOfAccounts(DemoWriter& w);
void writePeriodCategories(DemoWriter& w);
void writeFinanceSetup(DemoWriter& w);
void writeBanking(DemoWriter& w);
void writeTaxes(DemoWriter& w);
void writeLayouts(DemoWriter& w);
void writeLogisticsSetup(DemoWriter& w);
void writeSalesSetup(DemoWriter& w);
void writePartnerSetup(DemoWriter& w);
void writeUsers(DemoWriter& w);
// full: every field and stock in several warehouses; else the lean
// records the large profile adds by the ten thousand.
void writeItems(DemoWriter& w, int first, int count, bool full);
void writePartners(DemoWriter& w, int first, int count, bool full);
void writeItemRelations(DemoWriter& w);
void writeCustomization(DemoWriter& w);
void writeUserTables(DemoWriter& w);
void writeUserSettings(DemoWriter& w);
void writeBudgetsAndReports(DemoWriter& w);
void writeJournalEntries(DemoWriter& w);
void writeNumbering(DemoWriter& w);
} // namespace demo

} // namespace LLObjectsCOM
