#include "managers/MRV_CostAccounting.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString ProfitCentres = u"OPRC"_s;
const QString Rules = u"OOCR"_s;
const QString RuleLines = u"OCR1"_s;

// The values of the fields in the rows of the documents of table.
void collect(const BOMTableList& read, const QString& table,
             const MRV_CostAccounting::Fields& fields, QStringList& codes, QSet<QString>& seen) {
    for (const MRV_BOMTable& entry : read) {
        if (entry.name != table)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            if (!record.parse(document.xml))
                continue;
            for (const auto& [groupName, field] : fields) {
                const MRV_BOMRecord::Group* group =
                    record.group(groupName.isEmpty() ? MRV_BOMRecord::groupName(table) : groupName);
                for (const MRV_BOMRecord::Row& row :
                     group ? group->rows : QList<MRV_BOMRecord::Row>()) {
                    const QString code = row.value(field);
                    if (!code.isEmpty() && !seen.contains(code)) {
                        seen.insert(code);
                        codes << code;
                    }
                }
            }
        }
    }
}

} // namespace

namespace MRV_CostAccounting {

MRV_Reference profitCentre(QString field, QString group) {
    return MRV_Reference::byCode(std::move(field), ProfitCentres, u"PrcCode"_s, std::move(group));
}

MRV_Reference distributionRule(QString field, QString group) {
    return MRV_Reference::byCode(std::move(field), Rules, u"OcrCode"_s, std::move(group));
}

QList<MRV_TableDeclaration> tables() {
    return {
        {
            .name = Rules,
            .keyColumns = {u"OcrCode"_s},
            .descriptionColumn = u"OcrName"_s,
        },
        {
            .name = RuleLines,
            .keyColumns = {u"OcrCode"_s, u"PrcCode"_s},
            .descriptionColumn = u"PrcCode"_s,
            .references = {profitCentre(u"PrcCode"_s)},
            .parentTable = Rules,
            .links = {{u"OcrCode"_s, u"OcrCode"_s}},
        },
        {
            .name = ProfitCentres,
            .keyColumns = {u"PrcCode"_s},
            .descriptionColumn = u"PrcName"_s,
        },
    };
}

std::optional<MRV_KeyList> related(const MRV_TableDeclaration& table, const QString& mainTable,
                                   const BOMTableList& read, const Fields& profitCentres,
                                   const Fields& rules) {
    if (table.name != ProfitCentres && table.name != Rules)
        return std::nullopt;
    QStringList codes;
    QSet<QString> seen;
    if (table.name == Rules) {
        collect(read, mainTable, rules, codes, seen);
    } else {
        collect(read, mainTable, profitCentres, codes, seen);
        // The centres the rules read spread over come too.
        collect(read, RuleLines, {{QString(), u"PrcCode"_s}}, codes, seen);
    }
    MRV_KeyList keys;
    for (const QString& code : codes)
        keys << QVariantList{code};
    return keys;
}

std::pair<BOMTableList, BOMTableList> split(const BOMTableList& tables) {
    BOMTableList companions, others;
    for (const QString& name : {ProfitCentres, Rules, RuleLines})
        for (const MRV_BOMTable& entry : tables)
            if (entry.name == name)
                companions << entry;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name != ProfitCentres && entry.name != Rules && entry.name != RuleLines)
            others << entry;
    return {companions, others};
}

} // namespace MRV_CostAccounting
