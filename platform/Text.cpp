#include "platform/Text.h"

#include <cstdarg>
#include <cstdio>

namespace vexlo {

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n\f\v";
    auto b = s.find_first_not_of(ws);
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

std::string ToLowerAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

namespace {
// Bytes of the UTF-8 character starting at s[i] (1 for a byte that starts none).
size_t Utf8CharBytes(const std::string& s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : 1;
    for (size_t k = 1; k < n; ++k)
        if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}
}  // namespace

size_t Utf8Length(const std::string& s) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); i += Utf8CharBytes(s, i)) ++count;
    return count;
}

std::string Utf8Left(const std::string& s, size_t n) {
    size_t i = 0;
    for (; i < s.size() && n > 0; --n) i += Utf8CharBytes(s, i);
    return s.substr(0, i);
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

}  // namespace vexlo
