#pragma once

#include <cstddef>
#include <string>

// File names as Windows takes them, in the ANSI code page.

// The full path of a name, which a name relative to the current folder
// needs to mean the same file from elsewhere; the name itself when its full
// path would be MAX_PATH or longer.
std::string fullPathOf(const std::string& path);

// Whether two names are one name to the file system: character by
// character, each letter alike in either case, accented ones too, as NTFS
// compares names. Not byte by byte: on a double-byte code page a trail byte
// belongs to its character and is no letter of its own.
bool sameFileName(const std::string& a, const std::string& b);

// Whether two paths name one file, however they spell it (its short 8.3
// name, "..", another name of a folder on the way): the volume and file
// index when both can be opened, else their full paths as names.
bool sameFile(const std::string& a, const std::string& b);

// The path in at most `length` characters, for a menu: a longer one keeps
// its root (the drive, or the server and share) and as much of its end as
// fits, the whole file name when it can and the end of it, extension
// included, when it cannot; "..." stands for what is left out.
std::string shortenedPath(const std::string& path, std::size_t length);
