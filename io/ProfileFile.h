#pragma once

#include "store/ProfileStore.h"

#include <filesystem>
#include <string>

// The profile file: a profile's name and its key assignments of both layers.
//
//   <profile>
//   <profileinfo name="..."/>
//   <keyitems>
//   <item fn_layer=".." key_code=".." layout_value=".." layout_desc=".." macro_type=".."
//         macro_value=".." macro_value2=".." macro_value3=".." macro_desc=".."/>   (one line)
//   </keyitems>
//   </profile>
namespace io {

/// An import reads at most this many items: more than two layers of every possible key code,
/// so only a damaged or hostile file is cut short.
inline constexpr int kMaxProfileItems = 1024;

/// The document text of a profile: its displayed name and its assignments, standard layer first.
std::u16string BuildProfileDocument(const std::u16string& name,
                                    const std::vector<store::KeyAssignment>& items);

/// Writes the profile `profileId` (all rows of layer 0, then of layer 1) under `name` to `path`.
/// False when the file cannot be written.
bool WriteProfileFile(store::ProfileStore& store, int profileId, const std::u16string& name,
                      const std::filesystem::path& path);

/// Imports a profile file as a new profile (never made current) and returns its id, with its
/// name in `name`; 0 when the file cannot be read, is not well formed, has no profile element or
/// the profile cannot be added. Items whose key code or macro value is 0 are not stored, and a
/// later item for the same layer and key replaces an earlier one.
int ReadProfileFile(store::ProfileStore& store, const std::filesystem::path& path, std::u16string& name);

} // namespace io
