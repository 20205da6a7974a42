#pragma once

#include <QString>

// A control's text as a reader hears it: without the '&' that marks its
// mnemonic ("&&" stands for a '&' of its own).
inline QString LLWithoutMnemonic(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i == text.size())
            break;
        plain += text[i];
    }
    return plain;
}
