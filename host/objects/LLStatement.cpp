#include "host/objects/LLStatement.h"

#include <sqlite3.h>

#include <limits>

namespace LLObjectsCOM {

Statement::Statement(sqlite3* db, const QString& sql) : m_db(db) {
    if (!db) {
        m_error = QStringLiteral("The connection has no SQLite handle");
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT,
                           &m_stmt, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::detach() {
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_db = nullptr;
    m_pending = m_row = false;
    m_error = QStringLiteral("The connection is closed");
}

bool Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
    case QMetaType::UnknownType:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        break;
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        // Past the signed range SQLite only holds it as a real.
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        else
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                 SQLITE_TRANSIENT);
        break;
    }
    default: {
        // As UTF-8: SQLite drops a leading U+FEFF of UTF-16 text as a
        // byte-order mark, but keeps it in UTF-8.
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(m_stmt, index, text.constData(), sqlite3_uint64(text.size()),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
    if (rc != SQLITE_OK)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return rc == SQLITE_OK;
}

bool Statement::exec(const QVariantList& values) {
    if (!m_stmt) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The statement did not prepare");
        return false;
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_pending = m_row = false;
    m_error.clear();
    if (values.size() != sqlite3_bind_parameter_count(m_stmt)) {
        m_error = QStringLiteral("The statement takes %1 value(s), not %2")
                      .arg(sqlite3_bind_parameter_count(m_stmt))
                      .arg(values.size());
        return false;
    }
    for (qsizetype i = 0; i < values.size(); ++i)
        if (!bind(int(i) + 1, values[i]))
            return false;
    if (!step())
        return false;
    m_pending = m_row;
    return true;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    m_row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return true;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_stmt);
    return false;
}

bool Statement::next() {
    if (m_pending) {
        m_pending = false;
        return true;
    }
    if (!m_stmt || !m_row)
        return false;
    return step() && m_row;
}

void Statement::finish() {
    if (m_stmt)
        sqlite3_reset(m_stmt);
    m_pending = m_row = false;
}

int Statement::columnCount() const {
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString Statement::columnName(int i) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

bool Statement::isNull(int i) const {
    return !m_row || sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

QString Statement::text(int i) const {
    if (!m_row)
        return {};
    // As UTF-16: QString::fromUtf8 would drop a leading U+FEFF.
    const auto* chars = static_cast<const QChar*>(sqlite3_column_text16(m_stmt, i));
    return QString(chars, sqlite3_column_bytes16(m_stmt, i) / 2);
}

qint64 Statement::integer(int i) const {
    return m_row ? sqlite3_column_int64(m_stmt, i) : 0;
}

QString Statement::declaredType(int i) const {
    return m_stmt ? QString::fromUtf8(sqlite3_column_decltype(m_stmt, i)) : QString();
}

int Statement::changes() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

QVariant Statement::value(int i) const {
    if (!m_row)
        return {};
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, i);
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, i));
        return QByteArray(data, sqlite3_column_bytes(m_stmt, i));
    }
    case SQLITE_TEXT:
        return text(i);
    default:
        return {};
    }
}

} // namespace LLObjectsCOM
