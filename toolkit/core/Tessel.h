#pragma once

#include "toolkit/TesselExport.h"

namespace tessel {

/// The toolkit's version text, e.g. "0.1.0".
TESSEL_EXPORT const char* Version();

} // namespace tessel
