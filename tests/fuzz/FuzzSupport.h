#pragma once

// What every fuzz target shares: a Qt application for the readers that
// need one, logs kept out of the user's own state folder, and the input as
// a file, since the readers under test read files.
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzz {

inline QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// Called once before the first input.
inline void setUp() {
    qputenv("XDG_STATE_HOME", QFile::encodeName(scratch().path()));
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// The input in a file of the given name, the same file for every input.
inline QString inputFile(const std::uint8_t* data, std::size_t size, const char* name) {
    const QString path = scratch().path() + u'/' + QLatin1String(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort(); // not the reader's fault: stop before it is blamed
    return path;
}

} // namespace fuzz

#define MIRROVA_FUZZ_SETUP                                                                         \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {                                           \
        fuzz::setUp();                                                                             \
        return 0;                                                                                  \
    }
