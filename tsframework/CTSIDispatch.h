#pragma once

#include "host/ui/LLUiApplication.h"

#include <memory>

// The add-on's receiver of the client's events. An add-on derives its own
// and overrides the handlers it needs; each returns a status, negative for
// failure. A handler given passOn may clear it to keep the client from
// acting on the event (before-action phase only).
class CTSIDispatch {
public:
    virtual ~CTSIDispatch() = default;
    virtual int OnMenuEvent(const LLUiCOM::MenuEvent&, bool* /*passOn*/) { return 0; }
    virtual int OnChangeLanguage() { return 0; }
    virtual int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company>) { return 0; }
    virtual int OnApplicationLoad(LLUiCOM::Application&) { return 0; }
    virtual int OnApplicationUnload() { return 0; }
    virtual int OnFormLoad(const LLUiCOM::FormEvent&, bool* /*passOn*/) { return 0; }
};
