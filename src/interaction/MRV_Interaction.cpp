#include "interaction/MRV_Interaction.h"

#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

namespace {

// Without a user to ask: messages go to the log, questions take their
// default answer, choosers and logins are cancelled.
class QuietInteraction final : public MRV_Interaction {
public:
    int hostMessageBox(const QString& text, int defaultButton, const QStringList&) override {
        CLogBase log(u"MRV", u"MRV_Interaction::hostMessageBox");
        log.LogInfo(u"%s", text);
        return defaultButton;
    }
    void hostStatusError(const QString& text) override {
        CLogBase(u"MRV", u"MRV_Interaction::hostStatusError").LogError(u"%s", text);
    }
    void statusText(const QString&, bool, int) override {}
    void progressStart(const QString&, int, int) override {}
    void progressPosition(int) override {}
    void progressEnd() override {}
    void setWaitCursor(bool) override {}
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int companyLogin(LLObjectsCOM::Company&) override { return 1; }
    // Nobody confirmed: nothing is written into a company.
    bool confirmCopy(MRV_ConnectionContext&, const std::function<HRESULT()>&) override {
        return false;
    }
    void copyCompleted(const QString&, int, const QString&) override {}

protected:
    int messageBox(Kind kind, const QString&, const QString& text, bool withCancel,
                   int defaultButton) override {
        CLogBase log(u"MRV", u"MRV_Interaction::messageBox");
        if (kind == Kind::Error)
            log.LogError(u"%s", text);
        else
            log.LogInfo(u"%s", text);
        return kind == Kind::Question ? defaultAnswer(withCancel, defaultButton) : ButtonOK;
    }
    void messageText(Kind kind, const QString& text) override {
        messageBox(kind, QString(), text, false, 1);
    }
};

QuietInteraction quiet;
MRV_Interaction* installed = nullptr;

} // namespace

int MRV_Interaction::defaultAnswer(bool withCancel, int defaultButton) {
    const int buttons[] = {ButtonYes, ButtonNo, ButtonCancel};
    const int count = withCancel ? 3 : 2;
    return buttons[defaultButton >= 1 && defaultButton <= count ? defaultButton - 1 : 0];
}

const char* MRV_Interaction::kindName(Kind kind) {
    switch (kind) {
    case Kind::Error:
        return "error";
    case Kind::Information:
        return "information";
    case Kind::Warning:
        return "warning";
    case Kind::Question:
        break;
    }
    return "question";
}

QString MRV_Interaction::text(quint32 id) const {
    return CTSBSTR::load(id, m_language);
}

MRV_Interaction& MRV_Interaction::current() {
    return installed ? *installed : quiet;
}

MRV_Interaction* MRV_Interaction::setCurrent(MRV_Interaction* interaction) {
    MRV_Interaction* previous = installed;
    installed = interaction;
    return previous;
}

void MRV_Interaction::message(Kind kind, const QString& text, bool asBox) {
    if (!asBox) {
        messageText(kind, text);
        return;
    }
    messageBox(kind, this->text(2041), text, false, 1);
}

void MRV_Interaction::error(const QString& text, bool asBox) {
    message(Kind::Error, text, asBox);
}

void MRV_Interaction::information(const QString& text, bool asBox) {
    message(Kind::Information, text, asBox);
}

void MRV_Interaction::warning(const QString& text, bool asBox) {
    message(Kind::Warning, text, asBox);
}

void MRV_Interaction::success(bool asBox) {
    if (asBox)
        information(text(10018), true);
    else
        statusText(text(10018), false, 5000);
}

int MRV_Interaction::question(const QString& text, bool withCancel, int defaultButton) {
    return messageBox(Kind::Question, this->text(2041), text, withCancel, defaultButton);
}
