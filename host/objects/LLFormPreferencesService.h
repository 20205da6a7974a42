#pragma once

#include "host/objects/LLHostObject.h"

#include <QString>

#include <memory>

namespace LLObjectsCOM {

struct CompanyState;

// Business service 41: a user's column preferences for a form (CPRF), as
//
//   <ColumnsPreferences><ColumnPreference><ItemID>…</ItemID><ColumnID>…</ColumnID>
//   <Position>…</Position><Width>…</Width><Visible>Y</Visible><Editable>Y</Editable>
//   <Description>…</Description><FontSize>…</FontSize></ColumnPreference>…</ColumnsPreferences>
//
// one ColumnPreference per column (NULL values left out, ItemID and
// ColumnID required), or <ColumnsPreferences /> for a form without any.
// Users are named by their internal key. A failing call sets the
// company's last error and throws ComError.
class FormPreferencesService : public HostObject {
public:
    static constexpr int TypeNumber = 41;

    explicit FormPreferencesService(std::shared_ptr<CompanyState> company);

    // In position order.
    QString GetColumnsPreferences(int userKey, const QString& formId);
    // Replaces the user's preferences for the form with the document's, all
    // or none; <ColumnsPreferences /> removes them. A declaration before
    // the root is allowed.
    void SetColumnsPreferences(int userKey, const QString& formId, const QString& xml);

    int ObjectType() const override { return TypeNumber; }
    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;

private:
    std::shared_ptr<CompanyState> m_company;
};

} // namespace LLObjectsCOM
