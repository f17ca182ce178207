// The per-user directory for small runtime files that processes of one user
// share (the controller's window registration, for one).
#pragma once

#include <filesystem>

namespace zel5::platform {

// The directory, created if missing. Empty when it cannot be created or when
// what is there is not a plain directory of this user that only this user can
// reach: another user could otherwise plant or read the files in it.
//
// ZEL5_RUNTIME_DIR, when set, names the base directory the zel5 directory is
// kept in, in place of the system's per-user one; tests use it to stay apart.
std::filesystem::path RuntimeDirectory();

}  // namespace zel5::platform
