#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "transfer/file_system.h"

namespace caldrift {

// The longest path the shell's file operation takes (MAX_PATH less its NUL).
constexpr std::size_t kLongestShellPath = 259;

// A name the PSP's FAT file system can store: no character it refuses, no
// trailing dot or blank, at most 255 UTF-16 units.
bool isFatName(std::string_view name);

bool fitsTheShell(std::string_view path);

// A path as FAT compares it: letter case, as the file system folds it, and
// each name's trailing dots and blanks do not count.
std::string fatKey(std::string_view path, FileSystem& fs);

}  // namespace caldrift
