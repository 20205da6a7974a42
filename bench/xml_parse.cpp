// Parsing a record document must grow linearly with its size, whatever its
// text holds. Prints the time per megabyte for documents of 5 and 50 MB with
// plain text and with entity references in every text, and the ratios; a
// ratio near 1 is linear, one far above it means a quadratic path.
#include "xml/MRV_DOMParser.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

QString document(qsizetype bytes, const QString& filler) {
    QString doc = QStringLiteral("<root>");
    doc.reserve(bytes / 2 + 1024);
    for (int i = 0; doc.size() * 2 < bytes; ++i)
        doc += QStringLiteral("<item id=\"%1\">%2</item>").arg(i).arg(filler);
    doc += QStringLiteral("</root>");
    return doc;
}

// Best of three, in milliseconds per megabyte.
double msPerMegabyte(const QString& doc) {
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        MRV_DOMParser parser;
        QElapsedTimer timer;
        timer.start();
        if (!parser.parseString(doc)) {
            std::fprintf(stderr, "parse failed\n");
            return -1;
        }
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best / (static_cast<double>(doc.size()) * 2 / 1e6);
}

} // namespace

int main() {
    const struct {
        const char* name;
        QString filler;
    } kinds[] = {{"plain text", QStringLiteral("abcdefgh").repeated(60)},
                 {"entities", QStringLiteral("äbc&amp;").repeated(60)}};
    for (const auto& kind : kinds) {
        const double small = msPerMegabyte(document(5'000'000, kind.filler));
        const double large = msPerMegabyte(document(50'000'000, kind.filler));
        std::printf("%-10s  5 MB: %7.2f ms/MB  50 MB: %7.2f ms/MB  ratio %.2f\n", kind.name, small,
                    large, large / small);
    }
    return 0;
}
