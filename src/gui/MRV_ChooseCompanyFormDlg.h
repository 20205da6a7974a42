#pragma once

#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_Dialog.h"

namespace LLObjectsCOM {
class Company;
}

class QComboBox;
class QLineEdit;
class QStandardItemModel;
class QTableView;

// Picks a company of a database server and logs in to it as a superuser:
// the base or the target of a worksheet, or a company a worksheet names.
// The server, its database type and login are those of the company object
// given (the logged-in company's when it names none); the user may change
// them. An unconnected company object is filled and connected in place (a
// null pointer is given a new one first). A connected one stays connected
// as it was until another company is logged in: that one is a new object,
// which the pointer holds after OK.
class MRV_ChooseCompanyFormDlg : public MRV_Dialog {
public:
    // The host's default administrator, whose password is its name.
    static constexpr const char16_t* DefaultUser = u"lobster";

    MRV_ChooseCompanyFormDlg(MRV_ConnectionContext& context,
                             MRV_ConnectionContext::CompanyPtr& company, QWidget* parent = nullptr);
    ~MRV_ChooseCompanyFormDlg() override;

    void accept() override;

    // Server, database type, trusted-connection flag and database login of
    // from, into to: where to looks for its company.
    static void takeServerLogin(LLObjectsCOM::Company& to, const LLObjectsCOM::Company& from);

    // The server's companies were read.
    bool listLoaded() const { return m_listLoaded; }

    // The columns of the list.
    enum Column { CompanyNameColumn, DatabaseNameColumn, VersionColumn };

private:
    void selectServerType(int type);
    void serverTypeChosen(int index);
    // Asks for server and login; false when the user cancelled.
    bool serverLogin();
    // Reads the server's companies into the list (cleared first).
    void loadList();
    void sortBy(int column);

    MRV_ConnectionContext& m_context;
    MRV_ConnectionContext::CompanyPtr& m_company;
    // The object the user's choices go into: the caller's, or a new one
    // when the caller's is connected.
    MRV_ConnectionContext::CompanyPtr m_work;
    bool m_listLoaded = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_serverType;
    QLineEdit* m_server;
    QTableView* m_list;
    QStandardItemModel* m_rows;
};
