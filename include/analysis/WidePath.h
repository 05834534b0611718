#pragma once

#include <string>

namespace analysis {

/// A native (narrow) file name as the reader takes it: decoded in the current locale, byte by byte when the locale
/// cannot decode it (the reader then retries the bytes as UTF-8).
std::wstring widePath(const std::string& narrow);

} // namespace analysis
