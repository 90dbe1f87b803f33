#pragma once

#include "platform/converter/convertargs.h"

#include <string>

namespace Converter {

// Runs ImageMagick for the request and replaces the destination only when it succeeded.
// Returns the launcher's exit code.
int run(const std::string &imageMagick, const Request &request);

} // namespace Converter
