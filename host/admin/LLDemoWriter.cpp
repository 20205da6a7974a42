#include "host/admin/LLDemoWriter.h"

#include "host/objects/LLDatabase.h"
#include "host/objects/LLSchema.h"

#include <QSqlQuery>

#include <cmath>

namespace LLObjectsCOM {

namespace {

const QStringList& firstNames() {
    static const QStringList names{
        QStringLiteral("Anna"),  QStringLiteral("Ben"),    QStringLiteral("Carla"),
        QStringLiteral("David"), QStringLiteral("Elena"),  QStringLiteral("Frank"),
        QStringLiteral("Grace"), QStringLiteral("Hugo"),   QStringLiteral("Iris"),
        QStringLiteral("Jonas"), QStringLiteral("Karen"),  QStringLiteral("Leo"),
        QStringLiteral("Maya"),  QStringLiteral("Nathan"), QStringLiteral("Olivia"),
        QStringLiteral("Paul"),  QStringLiteral("Rosa"),   QStringLiteral("Samuel"),
        QStringLiteral("Tara"),  QStringLiteral("Victor"), QStringLiteral("Wendy"),
        QStringLiteral("Yusuf"), QStringLiteral("Zoe"),    QStringLiteral("Martin"),
        QStringLiteral("Linda"), QStringLiteral("Oscar"),  QStringLiteral("Nora"),
        QStringLiteral("Felix"), QStringLiteral("Helen"),  QStringLiteral("Ivan")};
    return names;
}

const QStringList& lastNames() {
    static const QStringList names{
        QStringLiteral("Adams"),     QStringLiteral("Baker"),    QStringLiteral("Carter"),
        QStringLiteral("Dalton"),    QStringLiteral("Ellis"),    QStringLiteral("Fischer"),
        QStringLiteral("Garcia"),    QStringLiteral("Hayes"),    QStringLiteral("Ingram"),
        QStringLiteral("Jensen"),    QStringLiteral("Keller"),   QStringLiteral("Lopez"),
        QStringLiteral("Moreau"),    QStringLiteral("Nakamura"), QStringLiteral("Owens"),
        QStringLiteral("Porter"),    QStringLiteral("Quinn"),    QStringLiteral("Rossi"),
        QStringLiteral("Schmidt"),   QStringLiteral("Turner"),   QStringLiteral("Underwood"),
        QStringLiteral("Vargas"),    QStringLiteral("Walsh"),    QStringLiteral("Young"),
        QStringLiteral("Novak"),     QStringLiteral("Brennan"),  QStringLiteral("Kowalski"),
        QStringLiteral("Lindqvist"), QStringLiteral("Okafor"),   QStringLiteral("Silva")};
    return names;
}

const QStringList& companyWords() {
    static const QStringList words{
        QStringLiteral("Northwind"),  QStringLiteral("Bluewater"),  QStringLiteral("Summit"),
        QStringLiteral("Ironbridge"), QStringLiteral("Silverline"), QStringLiteral("Redwood"),
        QStringLiteral("Greenfield"), QStringLiteral("Harbor"),     QStringLiteral("Pioneer"),
        QStringLiteral("Keystone"),   QStringLiteral("Meridian"),   QStringLiteral("Falcon"),
        QStringLiteral("Cedar"),      QStringLiteral("Granite"),    QStringLiteral("Lakeside"),
        QStringLiteral("Atlas"),      QStringLiteral("Beacon"),     QStringLiteral("Crescent"),
        QStringLiteral("Horizon"),    QStringLiteral("Maple"),      QStringLiteral("Orbit"),
        QStringLiteral("Prairie"),    QStringLiteral("Quarry"),     QStringLiteral("Sterling")};
    return words;
}

const QStringList& companyTrades() {
    static const QStringList words{
        QStringLiteral("Supplies"),   QStringLiteral("Trading"),    QStringLiteral("Systems"),
        QStringLiteral("Logistics"),  QStringLiteral("Industries"), QStringLiteral("Electronics"),
        QStringLiteral("Foods"),      QStringLiteral("Tools"),      QStringLiteral("Office"),
        QStringLiteral("Components"), QStringLiteral("Services"),   QStringLiteral("Retail")};
    return words;
}

const QStringList& companyForms() {
    static const QStringList words{QStringLiteral("Inc."),  QStringLiteral("LLC"),
                                   QStringLiteral("Ltd."),  QStringLiteral("Corp."),
                                   QStringLiteral("& Co."), QStringLiteral("Group")};
    return words;
}

const QStringList& cityParts() {
    static const QStringList words{
        QStringLiteral("Spring"), QStringLiteral("Oak"),   QStringLiteral("River"),
        QStringLiteral("Fair"),   QStringLiteral("Green"), QStringLiteral("Clear"),
        QStringLiteral("Stone"),  QStringLiteral("Elm"),   QStringLiteral("Bright"),
        QStringLiteral("Mill"),   QStringLiteral("West"),  QStringLiteral("East")};
    return words;
}

const QStringList& citySuffixes() {
    static const QStringList words{QStringLiteral("field"), QStringLiteral("dale"),
                                   QStringLiteral("ton"),   QStringLiteral("view"),
                                   QStringLiteral("brook"), QStringLiteral("port"),
                                   QStringLiteral("ville"), QStringLiteral("wood")};
    return words;
}

const QStringList& streetKinds() {
    static const QStringList words{QStringLiteral("Street"), QStringLiteral("Avenue"),
                                   QStringLiteral("Road"),   QStringLiteral("Lane"),
                                   QStringLiteral("Drive"),  QStringLiteral("Boulevard")};
    return words;
}

} // namespace

DemoWriter::DemoWriter(Database& db, quint32 seed, int year, bool caseInsensitive)
    : m_db(db), m_random(seed), m_year(year), m_caseInsensitive(caseInsensitive) {}

const DemoWriter::Shape* DemoWriter::shape(const QString& table, const QVariantMap& values) {
    QString signature = table;
    for (auto it = values.keyBegin(); it != values.keyEnd(); ++it)
        signature += u',' + *it;
    const auto found = m_shapes.constFind(signature);
    if (found != m_shapes.constEnd())
        return &*found;
    Shape made;
    QStringList columns, marks;
    for (auto it = values.keyBegin(); it != values.keyEnd(); ++it) {
        columns << Schema::quoted(*it);
        marks << QStringLiteral("?");
    }
    // User tables are not in the schema: their rows name every column.
    if (!table.startsWith(u'@')) {
        const Schema::Table* t = Schema::standard().table(table);
        if (!t) {
            fail(QStringLiteral("No table %1").arg(table));
            return nullptr;
        }
        for (auto it = values.keyBegin(); it != values.keyEnd(); ++it) {
            if (!t->column(*it)) {
                fail(QStringLiteral("%1 has no column %2").arg(table, *it));
                return nullptr;
            }
        }
        for (const Schema::Column& c : t->columns) {
            if (values.contains(c.name) || !c.notNull || !c.defaultValue.isEmpty())
                continue;
            columns << Schema::quoted(c.name);
            marks << QStringLiteral("?");
            made.fill << (c.isText() ? QVariant(c.length == 1 ? QStringLiteral("N") : QString(""))
                                     : QVariant(0));
        }
    }
    made.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(Schema::quoted(table), columns.join(u','), marks.join(u','));
    return &*m_shapes.insert(signature, made);
}

void DemoWriter::put(const QString& table, const QVariantMap& values) {
    if (!m_ok)
        return;
    const Shape* s = shape(table, values);
    if (!s)
        return;
    QVariantList bound = values.values();
    bound += s->fill;
    QString why;
    Statement* q = m_db.run(s->sql, bound, &why);
    if (!q) {
        fail(QStringLiteral("%1: %2").arg(table, why));
        return;
    }
    q->finish();
    ++m_rows;
}

void DemoWriter::exec(const QString& sql, const QVariantList& values) {
    if (!m_ok)
        return;
    QString why;
    if (!m_db.exec(sql, &why, values))
        fail(QStringLiteral("%1: %2").arg(sql.left(60), why));
}

QVariant DemoWriter::scalar(const QString& sql, const QVariantList& values) {
    if (!m_ok)
        return QVariant();
    QString why;
    Statement* q = m_db.run(sql, values, &why);
    if (!q) {
        fail(QStringLiteral("%1: %2").arg(sql.left(60), why));
        return QVariant();
    }
    const QVariant value = q->next() ? q->value(0) : QVariant();
    q->finish();
    return value;
}

void DemoWriter::fail(const QString& why) {
    if (m_ok) {
        m_ok = false;
        m_error = why;
    }
}

QString DemoWriter::account(const QString& code) {
    if (!m_keys.account.contains(code))
        fail(QStringLiteral("The demo chart of accounts has no account %1").arg(code));
    return m_keys.account.value(code);
}

QDate DemoWriter::anyDay() {
    return QDate(m_year, 1, 1).addDays(number(0, QDate(m_year, 1, 1).daysInYear() - 1));
}

QString DemoWriter::dateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
}

int DemoWriter::number(int low, int high) {
    return low + int(m_random.bounded(quint32(high - low + 1)));
}

double DemoWriter::amount(double low, double high, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double raw = low + m_random.generateDouble() * (high - low);
    return std::round(raw * scale) / scale;
}

QString DemoWriter::firstName() {
    return pick(firstNames());
}
QString DemoWriter::lastName() {
    return pick(lastNames());
}

QString DemoWriter::companyName() {
    return QStringLiteral("%1 %2 %3")
        .arg(pick(companyWords()), pick(companyTrades()), pick(companyForms()));
}

QString DemoWriter::cityName() {
    return pick(cityParts()) + pick(citySuffixes());
}

QString DemoWriter::streetName() {
    return QStringLiteral("%1 %2").arg(pick(lastNames()), pick(streetKinds()));
}

QString DemoWriter::phone() {
    return QStringLiteral("+1 %1 555 %2")
        .arg(number(201, 989))
        .arg(number(0, 9999), 4, 10, QLatin1Char('0'));
}

QString DemoWriter::zipCode() {
    return QStringLiteral("%1").arg(number(1000, 99950), 5, 10, QLatin1Char('0'));
}

QString DemoWriter::mailName(const QString& text) {
    QString name;
    for (const QChar c : text.toLower())
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c;
    return name;
}

} // namespace LLObjectsCOM
