#include "tsframework/CTSStringTable.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QXmlStreamReader>

#include <map>

namespace {

struct Tables {
    QMutex mutex;
    QString folder = QStringLiteral(":/strings");
    std::map<int, QHash<quint32, QString>> byLanguage;
};

Tables& tables() {
    static Tables t;
    return t;
}

// Caller holds the mutex.
const QHash<quint32, QString>& tableFor(Tables& t, int language) {
    auto it = t.byLanguage.find(language);
    if (it == t.byLanguage.end()) {
        QHash<quint32, QString> table;
        CTSStringTable::readTable(
            t.folder + u'/' + QString::number(language) + QStringLiteral(".xml"), table);
        it = t.byLanguage.emplace(language, std::move(table)).first;
    }
    return it->second;
}

} // namespace

const QList<int>& CTSStringTable::languages() {
    static const QList<int> list{1028, 1029, 1030, 1031, 1032, 1033, 1035, 1036, 1037,
                                 1038, 1040, 1041, 1042, 1043, 1045, 1046, 1049, 1051,
                                 1053, 2052, 2057, 2068, 2070, 3082, 9226};
    return list;
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
        const QString text = xml.readElementText();
        if (ok && id != 0)
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
