#pragma once

#include "store/ProfileStore.h"

#include <filesystem>
#include <string>

// The macro file: one macro and its steps in order.
//
//   <macro>
//   <macroinfo name="..." times=".." type=".." delaytime=".."/>
//   <macroitems>
//   <item desc="..." type=".." value=".." delay_time=".."/>
//   </macroitems>
//   </macro>
namespace io {

/// An import reads at most this many steps; the keyboard's macro space holds fewer in all.
inline constexpr int kMaxMacroSteps = 1000;

/// The document text of a macro: its displayed name, its play settings and its steps in order.
std::u16string BuildMacroDocument(const std::u16string& name, const store::Macro& macro,
                                  const std::vector<store::MacroStep>& steps);

/// Writes the macro `macroId` and its steps under `name` to `path`. False when the macro is not
/// in the store or the file cannot be written.
bool WriteMacroFile(store::ProfileStore& store, int macroId, const std::u16string& name,
                    const std::filesystem::path& path);

/// Imports a macro file as a new macro (link count 0) with its steps and returns its id, with its
/// name in `name`; 0 when the file cannot be read, is not well formed, has no macro element or
/// the macro cannot be added. Without a macroitems element the macro has no steps.
int ReadMacroFile(store::ProfileStore& store, const std::filesystem::path& path, std::u16string& name);

} // namespace io
