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

// The client's events, handed to an add-on's own receiver: what the client
// raises on an LLUiCOM::EventSink reaches the CTSIDispatch.
class CTSEventForward : public LLUiCOM::EventSink {
public:
    explicit CTSEventForward(CTSIDispatch& dispatch) : m_dispatch(dispatch) {}
    int OnApplicationLoad(LLUiCOM::Application& application) override {
        return m_dispatch.OnApplicationLoad(application);
    }
    int OnApplicationUnload() override { return m_dispatch.OnApplicationUnload(); }
    int OnMenuEvent(const LLUiCOM::MenuEvent& event, bool& passOn) override {
        return m_dispatch.OnMenuEvent(event, &passOn);
    }
    int OnFormLoad(const LLUiCOM::FormEvent& event, bool& passOn) override {
        return m_dispatch.OnFormLoad(event, &passOn);
    }
    int OnChangeLanguage() override { return m_dispatch.OnChangeLanguage(); }
    int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) override {
        return m_dispatch.OnCompanyEvent(std::move(company));
    }

private:
    CTSIDispatch& m_dispatch;
};
