#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// The positions of items put in an order in which every item's parents
// (items of the same list whose keys are among the item's parent keys: a
// partner names its parent and its channel partner) come before it;
// otherwise the items keep their order. Items in a cycle of parents keep
// the order in which the cycle is met, so broken data never loops.
inline QList<qsizetype> MRV_ParentsFirst(const QStringList& keys,
                                         const QList<QStringList>& parents) {
    QHash<QString, qsizetype> position;
    for (qsizetype i = 0; i < keys.size(); ++i)
        position.insert(keys[i], i);
    QList<qsizetype> order;
    order.reserve(keys.size());
    QSet<qsizetype> placed, visiting;
    std::function<void(qsizetype)> place = [&](qsizetype i) {
        if (placed.contains(i) || visiting.contains(i))
            return;
        visiting.insert(i);
        for (const QString& key : parents.value(i)) {
            const auto parent = position.constFind(key);
            if (parent != position.cend() && *parent != i)
                place(*parent);
        }
        visiting.remove(i);
        if (!placed.contains(i)) {
            placed.insert(i);
            order << i;
        }
    };
    for (qsizetype i = 0; i < keys.size(); ++i)
        place(i);
    return order;
}
