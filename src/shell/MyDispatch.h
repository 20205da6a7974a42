#pragma once

#include "tsframework/CTSIDispatch.h"

#include <memory>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConnectionContext;
class MRV_GUIManager;

// The program's receiver of the client's events: the start-up checks and
// the menu entry when the client loads the program, the menu entry's
// command, the language and company changes, and the unload.
class MyDispatch : public CTSIDispatch {
public:
    MyDispatch();
    ~MyDispatch() override;

    int OnMenuEvent(const LLUiCOM::MenuEvent& event, bool* passOn) override;
    int OnChangeLanguage() override;
    int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) override;
    int OnApplicationLoad(LLUiCOM::Application& application) override;
    int OnApplicationUnload() override;
    int OnFormLoad(const LLUiCOM::FormEvent& event, bool* passOn) override;

    MRV_ConnectionContext* connectionContext() const { return m_context.get(); }

private:
    LLUiCOM::Application* m_application = nullptr;
    std::shared_ptr<LLObjectsCOM::Company> m_company;
    std::unique_ptr<MRV_ConnectionContext> m_context;
    MRV_GUIManager* m_gui = nullptr;
};
