#pragma once

#include "host/objects/LLHostObject.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace LLObjectsCOM {

struct CompanyState;

// Business service 232: the print layouts of documents, reports and
// queries (RDOC). A layout travels as the host's record document:
//
//   <?xml version="1.0" encoding="UTF-16"?><BOM><BO><AdmInfo><Object>232</Object></AdmInfo>
//   <RDOC><row><DocCode>…</DocCode><Name>…</Name><TypeCode>…</TypeCode><Author>…</Author>
//   <Remarks>…</Remarks><Language>…</Language><Paper>…</Paper><Template>…</Template></row>
//   </RDOC></BO></BOM>
//
// (NULL values are left out.) The host keeps the create and update dates
// and the creating user itself. A failing call sets the company's last
// error and throws ComError.
class LayoutService : public HostObject {
public:
    static constexpr int TypeNumber = 232;

    LayoutService(std::shared_ptr<CompanyState> company, int userSignature);

    // The codes of every layout, in code order.
    QStringList GetLayoutList();
    // The layout's document; errRecordMissing for an unknown code.
    QString GetLayout(const QString& docCode);
    // Adds the layout of the document and returns its code: the document's
    // own code when that is free, else a new one made of the type code's
    // first four characters and a number.
    QString AddLayout(const QString& xml);
    // Overwrites the layout docCode with the document's layout, whatever
    // code the document carries: what the document leaves out is cleared.
    void UpdateLayout(const QString& docCode, const QString& xml);

    int ObjectType() const override { return TypeNumber; }
    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;

private:
    QString freeCode(const QString& typeCode);
    bool exists(const QString& docCode);
    void stamp(const QString& docCode, const QVariant& createDate, const QVariant& userSign);

    std::shared_ptr<CompanyState> m_company;
    int m_userSignature = 0;
};

} // namespace LLObjectsCOM
