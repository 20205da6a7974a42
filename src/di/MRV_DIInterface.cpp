#include "di/MRV_DIInterface.h"

MRV_DIInterface::MRV_DIInterface(MRV_ConnectionContext* context, QString categoryId)
    : m_context(context), m_categoryId(std::move(categoryId)) {}

MRV_DIInterface::~MRV_DIInterface() = default;
