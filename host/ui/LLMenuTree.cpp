#include "host/ui/LLMenuTree.h"

#include "host/objects/LLXmlText.h"

#include <QSet>
#include <QXmlStreamReader>

namespace LLUiCOM {

namespace {

QString attribute(const QList<std::pair<QString, QString>>& attributes, const QString& name,
                  bool* given = nullptr) {
    for (const auto& [key, value] : attributes)
        if (key == name) {
            if (given)
                *given = true;
            return value;
        }
    if (given)
        *given = false;
    return QString();
}

// "0" or "1"; false in ok for anything else.
bool flag(const QString& value, bool& ok) {
    ok = value == u"0" || value == u"1";
    return value == u"1";
}

} // namespace

MenuTree::MenuTree(QList<MenuItem> own) : m_items(std::move(own)) {
    for (const MenuItem& item : m_items)
        m_own << item.uniqueId;
}

qsizetype MenuTree::indexOf(const QString& uniqueId) const {
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (m_items[i].uniqueId == uniqueId)
            return i;
    return -1;
}

const MenuItem* MenuTree::find(const QString& uniqueId) const {
    const qsizetype i = indexOf(uniqueId);
    return i < 0 ? nullptr : &m_items[i];
}

QList<MenuItem> MenuTree::children(const QString& fatherId) const {
    QList<MenuItem> found;
    for (const MenuItem& item : m_items)
        if (item.fatherId == fatherId)
            found << item;
    return found;
}

bool MenuTree::setEnabled(const QString& uniqueId, bool enabled) {
    const qsizetype i = indexOf(uniqueId);
    if (i >= 0)
        m_items[i].enabled = enabled;
    return i >= 0;
}

bool MenuTree::parse(const QString& xml, QList<Action>& actions, QString& error) {
    QXmlStreamReader reader(xml);
    const auto refuse = [&](const QString& why) {
        error = reader.hasError() ? LLXmlAt(reader, reader.errorString()) : why;
        return false;
    };
    if (!LLReadRootElement(reader) || reader.name() != u"Application")
        return refuse(QStringLiteral("The batch's root must be <Application>"));
    while (reader.readNextStartElement()) {
        if (reader.name() != u"Menus")
            return refuse(LLXmlAt(
                reader,
                QStringLiteral("Unknown element <%1> in a batch").arg(reader.name().toString())));
        while (reader.readNextStartElement()) {
            if (reader.name() != u"action")
                return refuse(LLXmlAt(reader, QStringLiteral("Unknown element <%1> in <Menus>")
                                                  .arg(reader.name().toString())));
            Action action{reader.attributes().value(QLatin1String("type")).toString(), {}};
            while (reader.readNextStartElement()) {
                if (reader.name() != u"Menu")
                    return refuse(LLXmlAt(reader, QStringLiteral("Unknown element <%1> in <action>")
                                                      .arg(reader.name().toString())));
                QList<std::pair<QString, QString>> attributes;
                for (const QXmlStreamAttribute& a : reader.attributes())
                    attributes.append({a.name().toString(), a.value().toString()});
                action.menus << attributes;
                reader.skipCurrentElement();
            }
            actions << action;
        }
    }
    if (reader.hasError())
        return refuse(QString());
    return true;
}

MenuTree::Outcome MenuTree::apply(const QString& xml) {
    Outcome outcome;
    QList<Action> actions;
    if (!parse(xml, actions, outcome.error))
        return outcome;
    outcome.results = QStringLiteral("<Results>");
    for (const Action& action : actions) {
        for (const QList<std::pair<QString, QString>>& menu : action.menus) {
            const QString uniqueId = attribute(menu, QStringLiteral("UniqueID"));
            QString why;
            if (action.type == u"add")
                why = add(menu);
            else if (action.type == u"remove")
                why = remove(uniqueId);
            else if (action.type == u"update")
                why = update(menu);
            else
                why = QStringLiteral("Unknown action type '%1'").arg(action.type);
            if (outcome.error.isEmpty())
                outcome.error = why;
            outcome.results +=
                QStringLiteral("<Menu action=\"%1\" UniqueID=\"%2\" result=\"%3\"")
                    .arg(LLEscapeXmlText(action.type, true), LLEscapeXmlText(uniqueId, true),
                         why.isEmpty() ? QStringLiteral("0") : QStringLiteral("-1"));
            if (!why.isEmpty())
                outcome.results += QStringLiteral(" error=\"%1\"").arg(LLEscapeXmlText(why, true));
            outcome.results += QStringLiteral("/>");
        }
    }
    outcome.results += QStringLiteral("</Results>");
    return outcome;
}

QString MenuTree::add(const QList<std::pair<QString, QString>>& attributes) {
    MenuItem item;
    item.uniqueId = attribute(attributes, QStringLiteral("UniqueID"));
    item.text = attribute(attributes, QStringLiteral("String"));
    item.fatherId = attribute(attributes, QStringLiteral("FatherUID"));
    item.image = attribute(attributes, QStringLiteral("Image"));
    if (item.uniqueId.isEmpty())
        return QStringLiteral("A menu needs a UniqueID");
    if (indexOf(item.uniqueId) >= 0)
        return QStringLiteral("Menu %1 exists already").arg(item.uniqueId);
    bool given = false;
    const QString type = attribute(attributes, QStringLiteral("Type"), &given);
    item.type = given ? type.toInt() : int(MenuItem::String);
    if (item.type < MenuItem::String || item.type > MenuItem::Separator ||
        (given && type != QString::number(item.type)))
        return QStringLiteral("Menu %1 has no type '%2'").arg(item.uniqueId, type);
    if (item.type != MenuItem::Separator && item.text.isEmpty())
        return QStringLiteral("Menu %1 has no String").arg(item.uniqueId);
    const MenuItem* father = item.fatherId.isEmpty() ? nullptr : find(item.fatherId);
    if (!item.fatherId.isEmpty() && !father)
        return QStringLiteral("Menu %1 names no menu %2 as its father")
            .arg(item.uniqueId, item.fatherId);
    if (father && father->type != MenuItem::Popup)
        return QStringLiteral("Menu %1 is not a popup").arg(item.fatherId);
    for (const char* name : {"Enabled", "Checked"}) {
        const QString value = attribute(attributes, QLatin1String(name), &given);
        bool ok = true;
        const bool on = given ? flag(value, ok) : QLatin1String(name) == u"Enabled";
        if (!ok)
            return QStringLiteral("Menu %1 has %2 '%3', not 0 or 1")
                .arg(item.uniqueId, QLatin1String(name), value);
        (QLatin1String(name) == u"Enabled" ? item.enabled : item.checked) = on;
    }
    // The position among the father's entries; empty or -1 puts it last.
    const QString position = attribute(attributes, QStringLiteral("Position"));
    const QList<MenuItem> siblings = children(item.fatherId);
    bool ok = true;
    qsizetype at = position.isEmpty() ? -1 : position.toInt(&ok);
    if (!ok || at < -1 || at > siblings.size())
        return QStringLiteral("Menu %1 cannot stand at position '%2'").arg(item.uniqueId, position);
    // Siblings keep the order they have in the list, and a father stands
    // before its children wherever the entry goes.
    if (at < 0 || at == siblings.size())
        m_items.append(item);
    else
        m_items.insert(indexOf(siblings[at].uniqueId), item);
    return QString();
}

QString MenuTree::remove(const QString& uniqueId) {
    if (indexOf(uniqueId) < 0)
        return QStringLiteral("There is no menu %1").arg(uniqueId);
    if (m_own.contains(uniqueId))
        return QStringLiteral("Menu %1 is the client's own").arg(uniqueId);
    QSet<QString> gone{uniqueId};
    // Fathers stand before their children: one pass finds every descendant.
    for (const MenuItem& item : m_items)
        if (gone.contains(item.fatherId))
            gone.insert(item.uniqueId);
    m_items.removeIf([&](const MenuItem& item) { return gone.contains(item.uniqueId); });
    return QString();
}

QString MenuTree::update(const QList<std::pair<QString, QString>>& attributes) {
    const QString uniqueId = attribute(attributes, QStringLiteral("UniqueID"));
    const qsizetype i = indexOf(uniqueId);
    if (i < 0)
        return QStringLiteral("There is no menu %1").arg(uniqueId);
    MenuItem changed = m_items[i];
    bool given = false;
    if (const QString text = attribute(attributes, QStringLiteral("String"), &given); given)
        changed.text = text;
    for (const char* name : {"Enabled", "Checked"}) {
        const QString value = attribute(attributes, QLatin1String(name), &given);
        bool ok = true;
        if (!given)
            continue;
        const bool on = flag(value, ok);
        if (!ok)
            return QStringLiteral("Menu %1 has %2 '%3', not 0 or 1")
                .arg(uniqueId, QLatin1String(name), value);
        (QLatin1String(name) == u"Enabled" ? changed.enabled : changed.checked) = on;
    }
    m_items[i] = changed;
    return QString();
}

} // namespace LLUiCOM
