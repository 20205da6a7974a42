#pragma once

#include <QString>

// The folder of the running program (without a closing separator): the
// program's own files, such as its templates, lie beside it.
QString TSModuleFolder();
