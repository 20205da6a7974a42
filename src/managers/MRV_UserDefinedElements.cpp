#include "managers/MRV_UserDefinedElements.h"

#include "di/MRV_DIDataSet.h"
#include "di/MRV_SQLBuilder.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CTSBSTR.h"

using namespace Qt::StringLiterals;

namespace MRV_UserDefinedElements {

const QStringList& excludedNames() {
    // The program's notes and settings, and the framework's version table.
    static const QStringList names{u"MRVNOTE"_s, u"MRVSETT"_s, u"TSEXTDBVERSION"_s};
    return names;
}

const QStringList& excludedPrefixes() {
    static const QStringList prefixes{};
    return prefixes;
}

bool isExcluded(const QString& table) {
    const QString name = table.startsWith(u'@') ? table.mid(1) : table;
    for (const QString& n : excludedNames())
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    for (const QString& p : excludedPrefixes())
        if (name.startsWith(p, Qt::CaseInsensitive))
            return true;
    return false;
}

MRV_Sql exclusionCondition(const QString& column, const QString& namePrefix) {
    QStringList plain, quoted;
    const QString quotedColumn = u'"' + column + u'"';
    for (const QString& n : excludedNames()) {
        const QString literal = u'\'' + MRV_SQLBuilder::escapeText(namePrefix + n) + u'\'';
        plain << column + u" <> "_s + literal;
        quoted << quotedColumn + u" <> "_s + literal;
    }
    for (const QString& p : excludedPrefixes()) {
        const QString literal = u'\'' + MRV_SQLBuilder::escapeText(namePrefix + p) + u"%'"_s;
        plain << column + u" NOT LIKE "_s + literal;
        quoted << quotedColumn + u" NOT LIKE "_s + literal;
    }
    return {plain.join(u" AND "_s), quoted.join(u" AND "_s)};
}

MRV_DIDataSet* withCodeTexts(MRV_DIDataSet* listed, qsizetype column, int firstId, int last) {
    const int language = MRV_Interaction::current().language();
    listed->showColumn(column, [&](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok && value >= 0 && value <= last ? CTSBSTR::load(quint32(firstId + value), language)
                                                 : text;
    });
    return listed;
}

} // namespace MRV_UserDefinedElements
