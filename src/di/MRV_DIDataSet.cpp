#include "di/MRV_DIDataSet.h"

void MRV_DIDataSet::setKeys(const QStringList& columns, const QStringList& elements) {
    m_keyColumns = columns;
    m_keyElements = elements;
}

QVariant MRV_DIDataSet::keyValue(int index, const QString& text) const {
    if (m_keyTypes.value(index, QMetaType::QString) != QMetaType::Int)
        return text;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? QVariant(number) : QVariant(text);
}
