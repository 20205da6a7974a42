#pragma once

#include <QStringView>

// Reads a document of elements and text alone, the form the host and this
// program write record documents in, at a fraction of the full parser's
// cost. Anything else a document holds (attributes, comments, instructions
// after the declaration, CDATA, a document type, references other than the
// five named and the numeric ones, carriage returns, names beyond plain
// ASCII) makes it decline: the caller hands that document to the full
// parser, which accepts or refuses it. What it accepts is well-formed XML
// and yields the elements and text the full parser yields.
class MRV_PlainXmlReader {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void plainStart(QStringView name) = 0;
        virtual void plainEnd() = 0;
        virtual void plainText(QStringView text) = 0;
    };

    // True when the document was plain and read whole. False when it
    // declined: the sink may have been told part of it and starts over.
    static bool read(QStringView xml, Sink& sink);
};
