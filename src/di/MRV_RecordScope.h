#pragma once

#include <QString>

namespace LLObjectsCOM {
class Company;
}

// One record's writes in the target as one unit: a transaction of its own
// when none is open, else a savepoint inside the open one (a copy run
// commits a category at a time). A refused record leaves nothing behind
// either way. Not finished, the scope undoes the record.
class MRV_RecordScope {
public:
    explicit MRV_RecordScope(LLObjectsCOM::Company& company);
    ~MRV_RecordScope();
    MRV_RecordScope(const MRV_RecordScope&) = delete;
    MRV_RecordScope& operator=(const MRV_RecordScope&) = delete;

    // Keeps (ok) or undoes the record's writes.
    void finish(bool ok);

private:
    void run(const QString& sql);

    LLObjectsCOM::Company& m_company;
    bool m_own = false;
    bool m_done = false;
};
