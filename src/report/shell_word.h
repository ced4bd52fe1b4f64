#pragma once
// A path as one word of a command the user can paste into the shell.

#include <string>
#include <string_view>

namespace sorrelwick::report {

// `path` unchanged when every character of it is one no shell treats
// specially (letters, digits, any non-ASCII character and "_-./:@%+,=",
// and the backslash on Windows);
// otherwise quoted: in single quotes on POSIX, each "'" written '\'', and in
// double quotes on Windows, where a path can't hold one.
std::string ShellWord(std::string_view path);

}  // namespace sorrelwick::report
