#include "device/DeviceModel.h"

#include "base/Utf.h"

namespace device {

uint32_t ParseHex(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    if (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        text.remove_prefix(2);
    uint64_t value = 0;
    for (char16_t c : text) {
        int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                    : c >= u'a' && c <= u'f' ? c - u'a' + 10
                    : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                             : -1;
        if (digit < 0)
            break;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX)
            value = UINT32_MAX;
    }
    return static_cast<uint32_t>(value);
}

DeviceModel DeviceModel::FromConfig(std::u16string_view vendorText, std::u16string_view productText) {
    DeviceModel model;
    model.vendorId = ParseHex(vendorText);
    model.productId = ParseHex(productText);
    model.arrivalPattern = "VID_" + base::ToUtf8(vendorText) + "&PID_" + base::ToUtf8(productText) + "&MI_02";
    return model;
}

} // namespace device
