#include "managers/MRV_UserSettings.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLXmlText.h"
#include "xml/MRV_XmlString.h"

#include <QList>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

const QString Declaration = u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>"_s;
const QString Record = u"BOM"_s;
const QString UserElement = u"User"_s;
const QString Menu = u"UserMenu"_s;
const QString Preferences = u"ColumnsPreferences"_s;
const QString FormElement = u"FormID"_s;

// An element of a document and where it stands in the document's text:
// [begin, end) is the whole element, [contentBegin, contentEnd) what
// stands between its tags (empty for "<name />").
struct Element {
    QString name;
    qsizetype begin = 0;
    qsizetype contentBegin = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
    bool hasAttributes = false;
    QString text; // the character data directly inside it
    QList<Element> children;

    bool selfClosing() const { return contentBegin == end; }
    QStringView whole(const QString& xml) const { return QStringView(xml).mid(begin, end - begin); }
};

// The element tree of a document, each element with its place in the
// text. False with the parser's reason for text that is not one
// well-formed element; a document type declaration is refused (it could
// declare entities, and the host writes none).
bool outline(const QString& xml, Element& root, QString& error) {
    QXmlStreamReader reader(xml);
    QList<Element*> open;
    bool seen = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        const qsizetype after = reader.characterOffset();
        switch (token) {
        case QXmlStreamReader::DTD:
            error = u"it has a document type declaration"_s;
            return false;
        case QXmlStreamReader::EntityReference:
            error = u"it names an undeclared entity &%1;"_s.arg(reader.name());
            return false;
        case QXmlStreamReader::StartElement: {
            Element* element = nullptr;
            if (open.isEmpty()) {
                if (seen) {
                    error = u"it has a second root element <%1>"_s.arg(reader.name());
                    return false;
                }
                seen = true;
                element = &root;
            } else {
                // Only the innermost open element's children grow, so the
                // pointers to the open elements stay valid.
                open.last()->children.append(Element());
                element = &open.last()->children.last();
            }
            element->name = reader.name().toString();
            // The reader's offsets stand right after each tag's ">", but
            // where a token starts it may have read a "<" ahead: a tag
            // starts at the last "<" before its ">" (none can stand
            // within a tag).
            element->begin = xml.lastIndexOf(u'<', after - 1);
            element->contentBegin = after;
            element->hasAttributes = !reader.attributes().isEmpty();
            open << element;
            break;
        }
        case QXmlStreamReader::EndElement:
            // "<name />" ends where it starts.
            open.last()->contentEnd =
                after == open.last()->contentBegin ? after : xml.lastIndexOf(u'<', after - 1);
            open.last()->end = after;
            open.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty())
                open.last()->text += reader.text();
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        error = u"%1 (line %2, column %3)"_s.arg(reader.errorString())
                    .arg(reader.lineNumber())
                    .arg(reader.columnNumber());
        return false;
    }
    if (!seen) {
        error = u"it has no element"_s;
        return false;
    }
    return true;
}

// A child that holds nothing but text, named name: its text, or false
// with why.
bool leafText(const Element& element, const QString& name, QString& text, QString& error) {
    if (element.name != name) {
        error = u"<%1> stands where <%2> belongs"_s.arg(element.name, name);
        return false;
    }
    if (!element.children.isEmpty() || element.hasAttributes) {
        error = u"<%1> holds more than a text"_s.arg(name);
        return false;
    }
    if (element.text.trimmed().isEmpty()) {
        error = u"<%1> is empty"_s.arg(name);
        return false;
    }
    text = element.text;
    return true;
}

// The record element with exactly the children named, in this order, and
// no text of its own between them.
bool recordShape(const QString& xml, const QStringList& children, Element& root, QString& error) {
    if (!outline(xml, root, error))
        return false;
    if (root.name != Record || root.hasAttributes) {
        error = u"its root is <%1>, not <%2>"_s.arg(root.name, Record);
        return false;
    }
    if (!root.text.trimmed().isEmpty()) {
        error = u"<%1> holds text outside its elements"_s.arg(Record);
        return false;
    }
    QStringList found;
    for (const Element& child : root.children)
        found << u'<' + child.name + u'>';
    QStringList wanted;
    for (const QString& child : children)
        wanted << u'<' + child + u'>';
    if (found != wanted) {
        error = u"<%1> holds %2 instead of %3"_s.arg(
            Record, found.isEmpty() ? u"nothing"_s : found.join(u", "_s), wanted.join(u", "_s));
        return false;
    }
    return true;
}

// The host's text as one element named root, without what stands around it
// (a declaration).
bool hostElement(const QString& hostXml, const QString& root, Element& element, QString& error) {
    if (!outline(hostXml, element, error)) {
        error = u"The host's text is no XML document: "_s + error;
        return false;
    }
    if (element.name != root) {
        error = u"The host's document is a <%1>, not a <%2>"_s.arg(element.name, root);
        return false;
    }
    return true;
}

bool travels(const QString& what, const QString& value, QString& error) {
    if (value.trimmed().isEmpty()) {
        error = u"The %1 is empty"_s.arg(what);
        return false;
    }
    if (!isXmlText(value)) {
        error = u"The %1 holds a character that XML cannot carry"_s.arg(what);
        return false;
    }
    return true;
}

} // namespace

namespace MRV_UserSettings {

bool menuRecord(const QString& hostXml, const QString& userCode, QString& record, QString& error) {
    Element menu;
    if (!travels(u"user code"_s, userCode, error) || !hostElement(hostXml, Menu, menu, error))
        return false;
    record = Declaration + u'<' + Record + u'>' + LLXmlElement(UserElement, userCode) +
             menu.whole(hostXml).toString() + u"</"_s + Record + u'>';
    return true;
}

bool readMenuRecord(const QString& record, QString& userCode, QString& hostXml, QString& error) {
    Element root;
    if (!recordShape(record, {UserElement, Menu}, root, error) ||
        !leafText(root.children[0], UserElement, userCode, error)) {
        error = u"The record is not a user's menu: "_s + error;
        return false;
    }
    hostXml = root.children[1].whole(record).toString();
    return true;
}

bool preferencesRecord(const QString& hostXml, const QString& userCode, const QString& formId,
                       QString& record, QString& error) {
    Element preferences;
    if (!travels(u"user code"_s, userCode, error) || !travels(u"form id"_s, formId, error) ||
        !hostElement(hostXml, Preferences, preferences, error))
        return false;
    const QString user = LLXmlElement(UserElement, userCode);
    QString element;
    if (preferences.selfClosing()) {
        // "<ColumnsPreferences />" opens to take the user.
        QStringView tag = preferences.whole(hostXml);
        tag.chop(2); // "/>"
        element = tag.trimmed().toString() + u'>' + user + u"</"_s + Preferences + u'>';
    } else {
        element = hostXml.mid(preferences.begin, preferences.contentBegin - preferences.begin) +
                  user +
                  hostXml.mid(preferences.contentBegin, preferences.end - preferences.contentBegin);
    }
    record = Declaration + u'<' + Record + u'>' + element + LLXmlElement(FormElement, formId) +
             u"</"_s + Record + u'>';
    return true;
}

bool readPreferencesRecord(const QString& record, QString& userCode, QString& formId,
                           QString& hostXml, QString& error) {
    Element root;
    const auto refused = [&error] {
        error = u"The record is not a user's preferences for a form: "_s + error;
        return false;
    };
    if (!recordShape(record, {Preferences, FormElement}, root, error) ||
        !leafText(root.children[1], FormElement, formId, error))
        return refused();
    const Element& preferences = root.children[0];
    if (preferences.children.isEmpty()) {
        error = u"<%1> names no user"_s.arg(Preferences);
        return refused();
    }
    if (!leafText(preferences.children[0], UserElement, userCode, error))
        return refused();
    for (qsizetype i = 1; i < preferences.children.size(); ++i)
        if (preferences.children[i].name == UserElement) {
            error = u"<%1> names a user twice"_s.arg(Preferences);
            return refused();
        }
    const Element& user = preferences.children[0];
    if (preferences.children.size() == 1 && preferences.text.trimmed().isEmpty()) {
        // Nothing but the user: the form has no preferences.
        hostXml = u'<' + Preferences + u" />"_s;
        return true;
    }
    hostXml = record.mid(preferences.begin, user.begin - preferences.begin) +
              record.mid(user.end, preferences.end - user.end);
    return true;
}

QString qualified(const MRV_CompanySql& company, const QString& alias, const QString& column) {
    return alias + u'.' + company.column(column);
}

QString declaration() {
    return Declaration;
}

std::optional<User> findUser(MRV_CompanySql& company, const QString& userCode) {
    MRV_SQLBuilder find = company.builder(u"OUSR"_s);
    for (const QString& column : {u"INTERNAL_K"_s, u"USERID"_s, u"U_NAME"_s})
        find.addSelectColumn(column);
    find.addCondition(u"USER_CODE"_s, userCode, MRV_SQLBuilder::Text);
    if (!find.isValid())
        return std::nullopt; // no user has a code that cannot be written
    const MRV_CompanySql::Rows found = company.query(find.buildSelect());
    if (found.values.isEmpty())
        return std::nullopt;
    const QVariantList& row = found.values.first();
    return User{row.value(0).toInt(), row.value(1), MRV_CompanySql::text(row.value(2))};
}

std::optional<QList<MRV_BOMDocument>> documentsOf(const BOMTableList& tables,
                                                  const QString& table) {
    std::optional<QList<MRV_BOMDocument>> documents;
    for (const MRV_BOMTable& entry : tables)
        if (entry.name == table)
            documents = documents.value_or(QList<MRV_BOMDocument>()) + entry.documents;
    return documents;
}

bool admit(int method, bool exists, MRV_DIInterface::Outcome& outcome) {
    // A line says what the method meant to do, also when it could not.
    outcome.operation =
        method == MRV_DIInterface::UpdateExisting || method == MRV_DIInterface::AddNew ? method
        : exists ? MRV_DIInterface::UpdateExisting
                 : MRV_DIInterface::AddNew;
    return MRV_DIInterface::admits(method, exists, outcome);
}

} // namespace MRV_UserSettings
