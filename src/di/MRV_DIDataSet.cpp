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

qsizetype MRV_DIDataSet::columnIndex(const QString& name) const {
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name == name)
            return i;
    return -1;
}

void MRV_DIDataSet::showColumn(qsizetype index,
                               const std::function<QString(const QString&)>& shown) {
    if (index < 0)
        return;
    for (Row& row : m_rows)
        if (index < row.values.size())
            row.values[index] = shown(row.values[index]);
}
