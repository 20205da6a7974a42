#pragma once

#include "host/ui/LLUiApplication.h"

#include <QList>
#include <QString>

namespace LLUiCOM {

// The client's menus: the entries under the menu bar, in order, changed by
// batches of UI actions:
//   <Application><Menus><action type="add"><Menu Type="1" UniqueID="X"
//     String="Text" Enabled="1" Checked="0" Image="" FatherUID="4864"
//     Position=""/></action></Menus></Application>
// with action types "add", "remove" (by UniqueID, children too) and
// "update" (the attributes given). The client's own entries cannot be
// removed.
class MenuTree {
public:
    explicit MenuTree(QList<MenuItem> own);

    // The entry, or null.
    const MenuItem* find(const QString& uniqueId) const;
    // The entries under father, in order; the menu bar for an empty id.
    QList<MenuItem> children(const QString& fatherId) const;
    // False when there is no such entry.
    bool setEnabled(const QString& uniqueId, bool enabled);

    struct Outcome {
        // Empty when every action was carried out; else the first reason.
        QString error;
        // Each action's outcome, as XML.
        QString results;
    };
    // Carries out the batch; a document that is not one changes nothing
    // and says why in error, with no results.
    Outcome apply(const QString& xml);

private:
    struct Action {
        QString type;
        QList<QList<std::pair<QString, QString>>> menus; // attributes of each Menu
    };
    static bool parse(const QString& xml, QList<Action>& actions, QString& error);
    QString add(const QList<std::pair<QString, QString>>& attributes);
    QString remove(const QString& uniqueId);
    QString update(const QList<std::pair<QString, QString>>& attributes);
    qsizetype indexOf(const QString& uniqueId) const;

    QList<MenuItem> m_items; // fathers before their children
    QList<QString> m_own;    // the client's own entries
};

} // namespace LLUiCOM
