#include "host/client/LLClient.h"

#include "host/client/LLAddOnHost.h"
#include "host/client/LLAddOnRegistry.h"
#include "host/client/LLClientOptions.h"
#include "host/client/LLClientWindow.h"
#include "host/client/LLLanguages.h"
#include "host/client/LLLoginDialog.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLLocalApplication.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>

using namespace Qt::StringLiterals;

int LLClient::check(const QStringList& args, LLClientOptions& options) {
    QString why;
    const std::optional<LLClientOptions> parsed = LLClientOptions::parse(args, &why);
    if (!parsed) {
        m_err << "ledgerline: " << why << "\n\n" << LLClientOptions::usage();
        m_err.flush();
        return Usage;
    }
    if (parsed->help) {
        m_out << LLClientOptions::usage();
        m_out.flush();
        return Ok;
    }
    options = *parsed;
    return -1;
}

int LLClient::run(const LLClientOptions& options) {
    const auto fail = [&](const QString& why) {
        m_err << "ledgerline: " << why << "\n";
        m_err.flush();
        return int(Failed);
    };
    QString password, why;
    if (!options.readPassword(password, &why))
        return fail(why);

    std::shared_ptr<LLObjectsCOM::Company> company;
    if (!options.server.isEmpty() && !options.database.isEmpty() && !options.user.isEmpty() &&
        !password.isEmpty()) {
        company = std::make_shared<LLObjectsCOM::Company>();
        company->Server = options.server;
        company->CompanyDB = options.database;
        company->UserName = options.user;
        company->Password = password;
        company->UseTrusted = true;
        if (company->Connect() != 0)
            return fail(u"cannot log in to the company '%1' on the server '%2' as '%3': %4"_s.arg(
                options.database, options.server, options.user,
                company->GetLastErrorDescription()));
    } else {
        // The log-in is the only window for now: closing it must not end
        // the application before the main window opens.
        QApplication::setQuitOnLastWindowClosed(false);
        LLLoginDialog login(options.server, options.database, options.user, password);
        if (login.exec() != QDialog::Accepted)
            return fail(u"no company was logged in to"_s);
        company = login.company();
    }

    const int language =
        options.language ? options.language : LLLanguages::forLocale(QLocale::system());
    LLUiCOM::LocalApplication application(company, language, LLClientWindow::clientMenus());
    LLAddOnHost host(application);
    if (!host.listen(&why))
        return fail(u"add-ons cannot reach the client: "_s + why);

    LLAddOnRegistry registry;
    if (options.noAddOns) {
        for (const QString& program : options.addOns)
            registry.addProgram(program);
    } else {
        registry.loadStandard(options.addOns);
    }
    for (const QString& problem : registry.problems())
        m_err << "ledgerline: " << problem << "\n";
    m_err.flush();
    host.setKnown(registry.entries());

    LLClientWindow window(application, &host);
    window.show();
    QApplication::setQuitOnLastWindowClosed(true);
    host.startAutomatic();
    const int status = QApplication::exec();
    // A session that ends without the window closing (the system asked)
    // still lets its add-ons go.
    host.shutDown();
    return status == 0 ? int(Ok) : int(Failed);
}
