// Whole small files, replaced in one step so that a reader in another
// process sees either the old contents or all of the new ones.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zel5::conf {

// Writes contents to a temporary file beside path and renames it over path.
// False when that fails; path is then as it was and the temporary is gone.
bool ReplaceFile(const std::filesystem::path& path, std::string_view contents);

// The first maxBytes bytes of the file at most; empty when it is missing or
// cannot be read.
std::string ReadFileStart(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace zel5::conf
