#pragma once

#include "toolkit/platform/Backend.h"

#include <memory>

namespace tessel {

/// Starts GTK and returns its backend, or null when no display can be opened.
std::unique_ptr<Backend> CreateGtkBackend();

} // namespace tessel
