#include "tsframework/CTSUtil.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "tsframework/CLogBase.h"
#include "tsframework/TSSql.h"

#include <QRegularExpression>

namespace {

constexpr int kCodeWidth = 8;

// Language identifiers with a code of their own; any other identifier is
// served by its primary language below.
const QList<std::pair<int, const char*>> kExactLanguages{
    {1046, "PTBR"}, {1028, "ZHTW"}, {3076, "ZHTW"}, {5124, "ZHTW"}, {9226, "ESCO"}};

// Primary language (the low ten bits of the identifier) -> code. The
// first language named for a code is the one a code maps back to.
const QList<std::tuple<int, const char*, int>> kPrimaryLanguages{
    {0x09, "EN", 1033}, {0x05, "CS", 1029}, {0x06, "DA", 1030}, {0x07, "DE", 1031},
    {0x0A, "ES", 3082}, {0x0B, "FI", 1035}, {0x0C, "FR", 1036}, {0x0D, "HE", 1037},
    {0x0E, "HU", 1038}, {0x10, "IT", 1040}, {0x11, "JA", 1041}, {0x12, "KO", 1042},
    {0x13, "NL", 1043}, {0x14, "NO", 2068}, {0x15, "PL", 1045}, {0x16, "PT", 2070},
    {0x19, "RU", 1049}, {0x1B, "SK", 1051}, {0x1D, "SV", 1053}, {0x04, "ZH", 2052},
    {0x08, "EL", 1032}};

} // namespace

QString CTSUtil::GetMenuUID(const QString& prefix, quint32 stringId,
                            const QList<XMLMAP>& placeholders) {
    for (const XMLMAP& entry : placeholders) {
        if (entry.stringId == stringId && !entry.name.isEmpty())
            return prefix + u'@' + entry.name;
    }
    return {};
}

QString CTSUtil::GetNextCodeValue(LLObjectsCOM::Company& company, const QString& table) {
    CLogBase log(u"TSF", u"CTSUtil::GetNextCodeValue");
    if (!TSSql::isPlainName(table)) {
        log.LogError(u"'%s' is not a table name", table);
        return {};
    }
    try {
        const int type = TSSql::serverType(company);
        std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetRecordset();
        rs->DoQuery(
            QStringLiteral("SELECT %1 FROM %2")
                .arg(TSSql::column(type, QStringLiteral("Code")), TSSql::table(type, table)));
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        qulonglong largest = 0;
        int width = kCodeWidth;
        for (; !rs->EoF(); rs->MoveNext()) {
            const QString code = rs->Field(0).toString().trimmed();
            bool ok = false;
            const qulonglong value = code.toULongLong(&ok);
            if (!ok || !digits.match(code).hasMatch())
                continue;
            largest = std::max(largest, value);
            width = std::max(width, int(code.size()));
        }
        return QStringLiteral("%1").arg(largest + 1, width, 10, QLatin1Char('0'));
    } catch (const ComError& e) {
        log.LogError(u"Cannot read the codes of %s: %s", table, e.errorMessage());
        return {};
    }
}

void CTSUtil::SetStatusBarErrorMessage(const std::function<void(const QString&)>& statusBar,
                                       const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    CLogBase(u"TSF", u"CTSUtil::SetStatusBarErrorMessage").LogError(u"%s", line);
    if (statusBar)
        statusBar(line);
}

QString CTSUtil::ISOLangIDFromOLLLanguage(int language) {
    for (const auto& [id, code] : kExactLanguages)
        if (id == language)
            return QLatin1String(code);
    const int primary = language & 0x3FF;
    for (const auto& [p, code, id] : kPrimaryLanguages)
        if (p == primary && language > 0)
            return QLatin1String(code);
    return {};
}

int CTSUtil::OLLLanguageFromISOLangID(const QString& code) {
    for (const auto& [id, c] : kExactLanguages)
        if (code.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return id;
    for (const auto& [p, c, id] : kPrimaryLanguages)
        if (code.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return id;
    return 0;
}
