#include "catalogue/MRV_CategoryKinds.h"

#include <algorithm>
#include <array>

namespace MRV_CategoryKinds {

bool isUserDefinedElement(quint32 stringId) {
    static constexpr std::array<quint32, 7> ids{702, 147, 148, 149, 704, 705, 706};
    return std::find(ids.begin(), ids.end(), stringId) != ids.end();
}

bool isQuery(quint32 stringId) {
    return stringId == 701;
}

bool isPrintLayout(quint32 stringId) {
    return stringId >= 707 && stringId <= 709;
}

} // namespace MRV_CategoryKinds
