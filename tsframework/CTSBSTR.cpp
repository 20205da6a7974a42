#include "tsframework/CTSBSTR.h"

#include "tsframework/CTSStringTable.h"

bool CTSBSTR::LoadStringW(quint32 id, int language) {
    m_text = CTSStringTable::text(id, language);
    return !m_text.isEmpty();
}

QString CTSBSTR::load(quint32 id, int language) {
    return CTSStringTable::text(id, language);
}
