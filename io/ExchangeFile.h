#pragma once

#include "io/XmlDocument.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// What the profile and macro files share: the declaration line, the file name of an export, the
// number format, and reading a file into a document.
namespace io {

/// The first line of every exported file (without its line break, which the first element adds).
inline constexpr std::u16string_view kXmlDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

/// "<folder>/<name>-<tick>.xml". A "/" (or a null character) in the name would name another
/// folder, so it becomes "_".
std::filesystem::path ExportFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                     uint64_t tick);

/// Decimal, with a minus sign for negative values.
std::u16string FormatNumber(int value);

/// Loads a file into the document and parses it. False when it cannot be read or is not well
/// formed.
bool LoadDocument(const std::filesystem::path& path, XmlDocument& document);

} // namespace io
