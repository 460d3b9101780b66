#include "toolkit/core/MObject.h"

#include <string_view>

namespace tessel {

bool MObject::IsClass(const char16_t* name) const {
    const char16_t* own = GetClassNameW();
    return name && own && std::u16string_view(name) == std::u16string_view(own);
}

LRESULT MObject::OnBaseMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT MObject::OnControlUpdate(const CRect&, BOOL, MControl*) {
    return 0;
}

} // namespace tessel
