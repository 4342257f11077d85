#pragma once

namespace tw {

// Build-time switches; nothing at run time turns them on.
inline constexpr bool DebugBuild = TIDEWIRE_DEBUG_BUILD != 0;
inline constexpr bool LocalFilesDebug = TIDEWIRE_LOCAL_FILES_DEBUG != 0;

}  // namespace tw
