#pragma once

#include <QString>

// The folder of the running program (without a closing separator): the
// program's own files, such as its templates, lie beside it.
QString TSModuleFolder();

// A file of the program's own by its name (a relative path such as
// "WorkSheet.tpl" or "help"): beside the program, as in the build tree or a
// program folder of its own, else in the data folder of an installed
// program, <prefix>/share/<product>. Where neither holds it, the path
// beside the program, for the message that says it is missing.
QString TSModuleFile(const QString& name, const QString& product = QStringLiteral("mirrova"));
