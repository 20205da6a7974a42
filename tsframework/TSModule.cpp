#include "tsframework/TSModule.h"

#include <QCoreApplication>
#include <QFileInfo>

QString TSModuleFolder() {
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(program).absolutePath();
}
