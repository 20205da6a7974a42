#pragma once

#include "host/objects/LLHostObject.h"

#include <QList>
#include <QString>

#include <memory>

namespace LLObjectsCOM {

struct CompanyState;

// Object type 305 of the host: the bridge to what has no business object
// of its own, the system permissions of users (OPRM) and the descriptions
// of a table's fields. A failing call sets the company's last error and
// throws ComError.
class Bridge : public HostObject {
public:
    static constexpr int TypeNumber = 305;

    // The host's field types, as CUFD.TypeID numbers them.
    enum FieldType { Alphanumeric = 0, Memo = 1, Numeric = 2, Date = 3, Float = 4 };
    struct FieldDescription {
        QString name;        // the column
        QString description; // for people: the field's description
        FieldType type = Alphanumeric;
        int size = 0; // characters of a text field, 0 when unbounded or not text
    };

    explicit Bridge(std::shared_ptr<CompanyState> company);

    // "F" full, "R" read only, "N" none; "N" where nothing was set. The
    // user is named by the internal key.
    QString GetPermission(int userKey, int permissionId);
    void SetPermission(int userKey, int permissionId, const QString& value);

    // Every column of a table of the company ("OITM", or a user table
    // "@NAME"), in table order, then its user fields in field order.
    // errInvalidArgument for a table the company does not have.
    QList<FieldDescription> GetFieldDescriptions(const QString& table);

    // By name: GetPermission (user key, id) gives a list whose first value
    // is the permission; SetPermission (user key, id, value);
    // GetFieldDescriptions (table) gives a list of maps with "Name",
    // "Description", "Type" and "Size".
    int ObjectType() const override { return TypeNumber; }
    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;

private:
    void checkPermissionId(int permissionId);

    std::shared_ptr<CompanyState> m_company;
};

} // namespace LLObjectsCOM
