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
// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vexlo
