#pragma once

#include "host/objects/LLHResult.h"
#include "tsframework/CTSVersion.h"

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

    const QString& folder() const { return m_folder; }
    const CTSVersion& GetModuleVersion() const { return m_moduleVersion; }

private:
    QString m_folder;
    CTSVersion m_moduleVersion;
};
