#pragma once

#include <QString>

class MRV_ConnectionContext;

// The base of every category manager: the connection context of the run and
// the category id the manager was made for. The record engine and the
// operations the program calls on a category build on this.
class MRV_DIInterface {
public:
    MRV_DIInterface(MRV_ConnectionContext* context, QString categoryId);
    virtual ~MRV_DIInterface();
    MRV_DIInterface(const MRV_DIInterface&) = delete;
    MRV_DIInterface& operator=(const MRV_DIInterface&) = delete;

    MRV_ConnectionContext* getConnectionContext() const { return m_context; }
    const QString& getCategoryString() const { return m_categoryId; }

private:
    MRV_ConnectionContext* m_context;
    QString m_categoryId;
};
