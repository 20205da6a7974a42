#include "tsframework/CTSStringTable.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <map>

namespace {

// The carried languages with the locale each is written for.
struct Carried {
    int lcid;
    const char* locale;
};
constexpr Carried kCarried[] = {
    {1028, "zh_TW"}, {1029, "cs_CZ"}, {1030, "da_DK"}, {1031, "de_DE"}, {1032, "el_GR"},
    {1033, "en_US"}, {1035, "fi_FI"}, {1036, "fr_FR"}, {1037, "he_IL"}, {1038, "hu_HU"},
    {1040, "it_IT"}, {1041, "ja_JP"}, {1042, "ko_KR"}, {1043, "nl_NL"}, {1045, "pl_PL"},
    {1046, "pt_BR"}, {1049, "ru_RU"}, {1051, "sk_SK"}, {1053, "sv_SE"}, {2052, "zh_CN"},
    {2057, "en_GB"}, {2068, "nb_NO"}, {2070, "pt_PT"}, {3082, "es_ES"}, {9226, "es_CO"}};

struct Tables {
    QMutex mutex;
    QString folder = QStringLiteral(":/strings");
    std::map<int, QHash<quint32, QString>> byLanguage;
};

Tables& tables() {
    static Tables t;
    return t;
}

const QHash<quint32, QString>& tableFor(Tables& t, int language);

// A translation whose placeholders are not those of its English text would
// be formatted with the wrong values, or read past them: it is dropped, so
// that the English text is shown instead.
void dropMismatchedPlaceholders(Tables& t, QHash<quint32, QString>& table) {
    const QHash<quint32, QString>& english = tableFor(t, CTSStringTable::English);
    for (auto it = table.begin(); it != table.end();) {
        if (CTSStringTable::placeholders(*it) !=
            CTSStringTable::placeholders(english.value(it.key())))
            it = table.erase(it);
        else
            ++it;
    }
}

// Caller holds the mutex.
const QHash<quint32, QString>& tableFor(Tables& t, int language) {
    auto it = t.byLanguage.find(language);
    if (it == t.byLanguage.end()) {
        QHash<quint32, QString> table;
        CTSStringTable::readTable(
            t.folder + u'/' + QString::number(language) + QStringLiteral(".xml"), table);
        if (language != CTSStringTable::English)
            dropMismatchedPlaceholders(t, table);
        it = t.byLanguage.emplace(language, std::move(table)).first;
    }
    return it->second;
}

} // namespace

const QList<int>& CTSStringTable::languages() {
    static const QList<int> list = [] {
        QList<int> lcids;
        for (const Carried& carried : kCarried)
            lcids << carried.lcid;
        return lcids;
    }();
    return list;
}

QString CTSStringTable::localeName(int hostLanguage) {
    const int language = tableLanguage(hostLanguage);
    for (const Carried& carried : kCarried)
        if (carried.lcid == language)
            return QString::fromLatin1(carried.locale);
    return QStringLiteral("en_US");
}

bool CTSStringTable::isRightToLeft(int hostLanguage) {
    return tableLanguage(hostLanguage) == 1037;
}

int CTSStringTable::tableLanguage(int hostLanguage) {
    const QList<int>& carried = languages();
    if (carried.contains(hostLanguage))
        return hostLanguage;
    // English is asked for by primary language first so that an English
    // variant never lands on the British table by list order.
    if (hostLanguage == 4100) // Chinese (Singapore) writes simplified characters
        return 2052;
    const int primary = hostLanguage & 0x3FF;
    if (primary == (English & 0x3FF))
        return English;
    for (int lcid : carried)
        if ((lcid & 0x3FF) == primary)
            return lcid;
    return English;
}

QString CTSStringTable::text(quint32 id, int hostLanguage) {
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    const int language = tableLanguage(hostLanguage);
    if (language != English) {
        const QString text = tableFor(t, language).value(id);
        if (!text.isEmpty())
            return text;
    }
    return tableFor(t, English).value(id);
}

QString CTSStringTable::folder() {
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    return t.folder;
}

void CTSStringTable::setFolder(const QString& folder) {
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    t.folder = folder;
    t.byLanguage.clear();
}

QStringList CTSStringTable::placeholders(const QString& text) {
    // What the formatter takes: printf conversions, "%%" and Qt's "%1".
    static const QRegularExpression pattern(
        QStringLiteral("%(?:%|[0-9]+|[-+ #0]*[0-9]*(?:\\.[0-9]+)?(?:ll|l|h)?[sdiuxXcfgeE])"));
    QStringList found;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        found << match.captured();
    return found;
}

bool CTSStringTable::readTable(const QString& path, QHash<quint32, QString>& table,
                               QString* error) {
    table.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"strings") {
        if (error)
            *error = QStringLiteral("%1: not a string table").arg(path);
        return false;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != u"s") {
            xml.skipCurrentElement();
            continue;
        }
        bool ok = false;
        const quint32 id = xml.attributes().value(QStringLiteral("id")).toUInt(&ok);
        const qint64 line = xml.lineNumber();
        const QString text = xml.readElementText();
        if (!ok || id == 0)
            continue;
        // Which of two texts was meant cannot be told: the table is broken.
        if (table.contains(id)) {
            if (error)
                *error = QStringLiteral("%1:%2: id %3 appears twice").arg(path).arg(line).arg(id);
            table.clear();
            return false;
        }
        table.insert(id, text);
    }
    if (xml.hasError()) {
        if (error)
            *error =
                QStringLiteral("%1:%2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
        table.clear();
        return false;
    }
    return true;
}
