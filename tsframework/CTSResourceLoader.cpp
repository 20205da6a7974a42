#include "tsframework/CTSResourceLoader.h"

#include "tsframework/CLogBase.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// The encoding an XML declaration names; empty when there is none. The
// declaration is ASCII in every encoding the declaration may name here.
QByteArray declaredEncoding(const QByteArray& data) {
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml[^>]*\\bencoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QString head = QString::fromLatin1(data.left(200));
    const QRegularExpressionMatch m = declaration.match(head);
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

} // namespace

CTSResourceLoader::CTSResourceLoader(QString folder, CTSVersion moduleVersion)
    : m_folder(std::move(folder)), m_moduleVersion(moduleVersion) {}

HRESULT CTSResourceLoader::GetResourceFileContents(int id, QString& text) const {
    CLogBase log(u"TSF", u"CTSResourceLoader::GetResourceFileContents");
    if (id < 0)
        return E_INVALIDARG;
    QFile file(QStringLiteral("%1/%2.xml").arg(m_folder).arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        log.LogError(u"Cannot read resource %d from '%s': %s", id, file.fileName(),
                     file.errorString());
        return E_FAIL;
    }
    const QByteArray data = file.readAll();
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(data);
    QStringDecoder decoder;
    if (encoding) {
        decoder = QStringDecoder(*encoding);
    } else {
        const QByteArray name = declaredEncoding(data);
        decoder = QStringDecoder(name.isEmpty() ? "UTF-8" : name.constData());
    }
    if (!decoder.isValid()) {
        log.LogError(u"Resource %d names the encoding '%s', which is not known", id,
                     QString::fromLatin1(declaredEncoding(data)));
        return E_FAIL;
    }
    const QString decoded = decoder.decode(data);
    if (decoder.hasError()) {
        log.LogError(u"Resource %d is not valid in its encoding", id);
        return E_FAIL;
    }
    text = decoded;
    return S_OK;
}
