#pragma once

#include "host/objects/LLHResult.h"
#include "tsframework/CTSVersion.h"
#include "tsframework/XMLMAP.h"

#include <QList>

#include <QString>

// The XML resources of an add-on module and the module's version. A
// resource is the file "<id>.xml" in the module's resource folder (the
// compiled-in ":/xml" unless given).
class CTSResourceLoader {
public:
    explicit CTSResourceLoader(QString folder = QStringLiteral(":/xml"),
                               CTSVersion moduleVersion = {});

    // The text of resource id, decoded by its byte-order mark, else by the
    // encoding its XML declaration names, else as UTF-8. E_INVALIDARG for
    // a negative id, E_FAIL (logged) when the resource is missing or its
    // encoding unknown.
    HRESULT GetResourceFileContents(int id, QString& text) const;

    // Localizes an XML document: every attribute value that is the name of
    // a placeholder becomes the placeholder's text in language (the
    // placeholders' texts are filled in). The result is the document as
    // text, without its declaration, since it travels as text. E_FAIL
    // (logged) when xml is not well-formed or declares a DTD: a resource
    // names no entities.
    static HRESULT LoadXML(const QString& xml, QList<XMLMAP>& placeholders, int language,
                           QString& localized);

    const QString& folder() const { return m_folder; }
    const CTSVersion& GetModuleVersion() const { return m_moduleVersion; }

private:
    QString m_folder;
    CTSVersion m_moduleVersion;
};
