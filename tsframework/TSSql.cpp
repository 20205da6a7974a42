#include "tsframework/TSSql.h"

#include "host/objects/LLCompany.h"

#include <QRegularExpression>

namespace TSSql {

int serverType(const LLObjectsCOM::Company& company) {
    return company.Connected() ? company.ServerType() : company.DbServerType;
}

QString table(int serverType, const QString& name) {
    if (!name.startsWith(u'@') || serverType == 2 || serverType == 5)
        return name;
    return u'[' + name + u']';
}

QString column(int serverType, const QString& name) {
    return serverType == 5 ? u'"' + name + u'"' : name;
}

QString text(int serverType, const QString& value) {
    QString quoted = value;
    quoted.replace(u'\'', QStringLiteral("''"));
    return (serverType == 5 ? QStringLiteral("'") : QStringLiteral("N'")) + quoted + u'\'';
}

bool isPlainName(const QString& name) {
    static const QRegularExpression plain(
        QRegularExpression::anchoredPattern(QStringLiteral("@?[A-Za-z0-9_]{1,50}")));
    return plain.match(name).hasMatch();
}

} // namespace TSSql
