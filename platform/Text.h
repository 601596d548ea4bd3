#pragma once
// Small text helpers shared by every subsystem.
#include <string>
#include <vector>

namespace vexlo {

std::string Trim(const std::string& s);
std::string ToLowerAscii(std::string s);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& s, const std::string& prefix);
std::vector<std::string> Split(const std::string& s, char sep);
// Length in characters of UTF-8 text, and its first n characters; both count a stray
// byte of a broken sequence as one character and never split a sequence.
size_t Utf8Length(const std::string& s);
std::string Utf8Left(const std::string& s, size_t n);
// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vexlo
