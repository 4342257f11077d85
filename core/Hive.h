#pragma once

namespace tw {

// The two stores: one shared by every local user (the registry's
// HKEY_LOCAL_MACHINE) and one private to each user (HKEY_CURRENT_USER).
enum class Hive { LocalMachine, CurrentUser };

}  // namespace tw
