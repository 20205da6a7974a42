#pragma once

#include "tsframework/CTSAddOn.h"

// The program as an add-on of the client: joined with the connection
// string the client started it with, under the prefix "MRV", hearing the
// client's events through a MyDispatch.
class MRV_Mirrova : public CTSAddOn {
public:
    explicit MRV_Mirrova(const QString& connectionString);
    ~MRV_Mirrova() override;

    // The receiver made by Connect (null before).
    class MyDispatch* dispatch() const {
        return m_dispatch;
    }

protected:
    std::unique_ptr<CTSIDispatch> CreateEventSink() override;
    const CTSResourceLoader& GetResourceLoader() const override;

private:
    class MyDispatch* m_dispatch = nullptr;
};
