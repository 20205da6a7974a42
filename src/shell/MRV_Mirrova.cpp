#include "shell/MRV_Mirrova.h"

#include "di/MRV_UDTManager.h"
#include "shell/MyDispatch.h"

MRV_Mirrova::MRV_Mirrova(const QString& connectionString)
    : CTSAddOn(connectionString, QStringLiteral("MRV"), QString()) {}

MRV_Mirrova::~MRV_Mirrova() = default;

std::unique_ptr<CTSIDispatch> MRV_Mirrova::CreateEventSink() {
    auto dispatch = std::make_unique<MyDispatch>();
    m_dispatch = dispatch.get();
    return dispatch;
}

const CTSResourceLoader& MRV_Mirrova::GetResourceLoader() const {
    return MRV_UDTManager::resources();
}
