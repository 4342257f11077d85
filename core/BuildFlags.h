#pragma once

namespace tw {

// Build-time switches; nothing at run time turns them on.
inline constexpr bool DebugBuild = TIDEWIRE_DEBUG_BUILD != 0;
inline constexpr bool LocalFilesDebug = TIDEWIRE_LOCAL_FILES_DEBUG != 0;
// The web engine's page view is there to choose; without it only the light one is.
inline constexpr bool WebEngineBuilt = TIDEWIRE_WEB_ENGINE != 0;

}  // namespace tw
