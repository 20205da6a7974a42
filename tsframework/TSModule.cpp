#include "tsframework/TSModule.h"

#include <QCoreApplication>
#include <QFileInfo>

QString TSModuleFolder() {
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(program).absolutePath();
}

QString TSModuleFile(const QString& name, const QString& product) {
    const QString folder = TSModuleFolder();
    const QString beside = folder + u'/' + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QFileInfo(folder + QStringLiteral("/../share/") + product + u'/' + name).absoluteFilePath();
    return QFileInfo::exists(installed) ? installed : beside;
}
