#pragma once

#include <QString>

#include <memory>

namespace LLObjectsCOM {
class Company;
}

// A copy of the target company to run a copy into without touching the
// target: the target is backed up through its server and the backup
// restored under a name of its own, logged in to as the target is. The copy
// goes when the object does.
class MRV_ScratchTarget {
public:
    explicit MRV_ScratchTarget(LLObjectsCOM::Company& target);
    ~MRV_ScratchTarget();
    MRV_ScratchTarget(const MRV_ScratchTarget&) = delete;
    MRV_ScratchTarget& operator=(const MRV_ScratchTarget&) = delete;

    // False, with why, when the copy cannot be made or logged in to.
    bool open(QString& why);
    const std::shared_ptr<LLObjectsCOM::Company>& company() const { return m_company; }

private:
    LLObjectsCOM::Company& m_target;
    QString m_database;
    std::shared_ptr<LLObjectsCOM::Company> m_company;
};
