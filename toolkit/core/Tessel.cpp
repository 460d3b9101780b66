#include "toolkit/core/Tessel.h"

namespace tessel {

const char* Version() {
    return "0.1.0";
}

} // namespace tessel
