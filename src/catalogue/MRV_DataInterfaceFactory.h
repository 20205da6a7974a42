#pragma once

#include <QString>

#include <memory>

class MRV_ConnectionContext;
class MRV_DIInterface;

// Makes the category manager that reads and writes a category's records.
// Holds nothing but the context; made on the stack wherever a manager is
// needed.
class MRV_DataInterfaceFactory {
public:
    explicit MRV_DataInterfaceFactory(MRV_ConnectionContext* context) : m_context(context) {}

    // A new manager for categoryId (compared exactly), owned by the caller;
    // null for folders, categories without records of their own and ids
    // that are not in the catalogue.
    std::unique_ptr<MRV_DIInterface> createDataInterface(const QString& categoryId) const;

    // True when createDataInterface would make a manager for categoryId.
    static bool hasManager(const QString& categoryId);

private:
    MRV_ConnectionContext* m_context;
};
