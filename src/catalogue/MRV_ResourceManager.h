#pragma once

#include "tsframework/XMLMAP.h"

#include <QHash>
#include <QList>
#include <QString>

// The fixed catalogue of category ids: every category and folder of the
// worksheet tree and every category note, each with the string id of its
// text. One instance lives for the whole process; it never changes.
class MRV_ResourceManager {
public:
    // The string id of the sentinel that closes the entry list (all bits set).
    static constexpr quint32 SentinelStringId = 0xFFFFFFFFu;

    MRV_ResourceManager();
    virtual ~MRV_ResourceManager() = default;
    MRV_ResourceManager(const MRV_ResourceManager&) = delete;
    MRV_ResourceManager& operator=(const MRV_ResourceManager&) = delete;

    // The process-wide catalogue, built on first use.
    static const MRV_ResourceManager* instance();

    // The string id of the entry whose category id equals categoryId exactly
    // (case-sensitive), or 0 when there is none. The empty id finds the
    // sentinel.
    quint32 getStringId(const QString& categoryId) const;

    // 0 and the text of stringId in the host language, or 1 (no text) when
    // stringId is 0 or negative as a signed 32-bit value or its text is
    // empty, with the text cleared.
    int getText(quint32 stringId, int language, QString& text) const;

    // The text of a category id in the host language; empty when it has none.
    QString textOf(const QString& categoryId, int language) const;

    // The entries in catalogue order, closed by the sentinel.
    const QList<XMLMAP>& entries() const { return m_entries; }

protected:
    // Fills the entry list; called once by the constructor.
    virtual void fillEntries(QList<XMLMAP>& entries);

private:
    QList<XMLMAP> m_entries;
    QHash<QString, XMLMAP> m_lookup;
};
