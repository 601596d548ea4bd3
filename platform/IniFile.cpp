#include "platform/IniFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Text.h"

namespace vexlo {
namespace {

struct Line {
    std::string raw;      // as read, for lines we leave alone
    std::string section;  // set on section headers
    std::string key;      // set on key lines
    std::string value;
    enum Kind { Other, Section, Key } kind = Other;
};

std::vector<Line> Parse(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        Line line;
        line.raw = raw;
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[') {
            auto close = t.find(']');
            if (close != std::string::npos) {
                line.kind = Line::Section;
                line.section = Trim(t.substr(1, close - 1));
            }
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            auto eq = t.find('=');
            if (eq != std::string::npos && eq > 0) {
                line.kind = Line::Key;
                line.key = Trim(t.substr(0, eq));
                line.value = Trim(t.substr(eq + 1));
                if (line.value.size() >= 2 &&
                    ((line.value.front() == '"' && line.value.back() == '"') ||
                     (line.value.front() == '\'' && line.value.back() == '\'')))
                    line.value = line.value.substr(1, line.value.size() - 2);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Calls fn(line) for each key line of the section; the section may occur more than once.
template <class Fn>
void ForEachKey(const std::vector<Line>& lines, const std::string& section, Fn fn) {
    bool inside = false;
    for (const auto& line : lines) {
        if (line.kind == Line::Section)
            inside = EqualsNoCase(line.section, section);
        else if (inside && line.kind == Line::Key)
            fn(line);
    }
}

std::mutex& WriteMutex() {
    static std::mutex m;
    return m;
}

std::string Serialize(const std::vector<Line>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

template <class Fn>
void Modify(const std::string& path, Fn fn) {
    std::lock_guard<std::mutex> lock(WriteMutex());
    auto lines = Parse(ReadWholeFile(path));
    fn(lines);
    WriteFileAtomically(path, Serialize(lines));
}

}  // namespace

bool ParseIniInteger(const std::string& text, int& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    int base = 10;
    size_t pos = 0;
    bool neg = false;
    if (t[0] == '-' || t[0] == '+') {
        neg = t[0] == '-';
        pos = 1;
    }
    if (t.compare(pos, 1, "$") == 0) {
        base = 16;
        pos += 1;
    } else if (t.size() > pos + 1 && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= t.size()) return false;
    long long v = 0;
    for (; pos < t.size(); ++pos) {
        char c = t[pos];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL) return false;
    }
    if (neg) v = -v;
    if (base == 10 && (v > INT32_MAX || v < INT32_MIN)) return false;
    out = static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return true;
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
    std::string tmp = path + ".tmp" + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("Cannot write " + path + ": " + std::strerror(errno));
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            throw std::runtime_error("Cannot write " + path + ": " + std::strerror(err));
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    bool ok = ::fsync(fd) == 0;
    int err = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        if (ok) err = errno;
        ::unlink(tmp.c_str());
        throw std::runtime_error("Cannot write " + path + ": " + std::strerror(err));
    }
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    std::string result = def;
    bool found = false;
    ForEachKey(Parse(ReadWholeFile(path_)), section, [&](const Line& l) {
        if (!found && EqualsNoCase(l.key, key)) {
            result = l.value;
            found = true;
        }
    });
    return result;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    int v;
    return ParseIniInteger(ReadString(section, key, ""), v) ? v : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) == 1;
}

bool IniFile::SectionExists(const std::string& section) const {
    for (const auto& l : Parse(ReadWholeFile(path_)))
        if (l.kind == Line::Section && EqualsNoCase(l.section, section)) return true;
    return false;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    bool found = false;
    ForEachKey(Parse(ReadWholeFile(path_)), section,
               [&](const Line& l) { found = found || EqualsNoCase(l.key, key); });
    return found;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> keys;
    for (auto& kv : ReadSectionValues(section)) keys.push_back(kv.first);
    return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(
    const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    ForEachKey(Parse(ReadWholeFile(path_)), section, [&](const Line& l) {
        for (auto& kv : out)
            if (EqualsNoCase(kv.first, l.key)) return;
        out.emplace_back(l.key, l.value);
    });
    return out;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    Modify(path_, [&](std::vector<Line>& lines) {
        Line entry;
        entry.kind = Line::Key;
        entry.key = key;
        entry.value = value;
        entry.raw = key + "=" + value;
        bool inside = false;
        size_t lastOfSection = std::string::npos;
        for (size_t i = 0; i < lines.size(); ++i) {
            auto& l = lines[i];
            if (l.kind == Line::Section) {
                inside = EqualsNoCase(l.section, section);
                if (inside) lastOfSection = i;
            } else if (inside) {
                if (l.kind == Line::Key && EqualsNoCase(l.key, key)) {
                    entry.key = l.key;  // keep the spelling already in the file
                    entry.raw = l.key + "=" + value;
                    l = entry;
                    return;
                }
                if (!Trim(l.raw).empty()) lastOfSection = i;
            }
        }
        if (lastOfSection == std::string::npos) {
            if (!lines.empty() && !Trim(lines.back().raw).empty()) lines.push_back(Line{});
            Line header;
            header.kind = Line::Section;
            header.section = section;
            header.raw = "[" + section + "]";
            lines.push_back(header);
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + static_cast<long>(lastOfSection) + 1, entry);
        }
    });
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
    Modify(path_, [&](std::vector<Line>& lines) {
        std::vector<Line> kept;
        bool inside = false;
        for (auto& l : lines) {
            if (l.kind == Line::Section) inside = EqualsNoCase(l.section, section);
            if (!inside) kept.push_back(std::move(l));
        }
        lines.swap(kept);
    });
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    Modify(path_, [&](std::vector<Line>& lines) {
        std::vector<Line> kept;
        bool inside = false;
        for (auto& l : lines) {
            if (l.kind == Line::Section) inside = EqualsNoCase(l.section, section);
            if (inside && l.kind == Line::Key && EqualsNoCase(l.key, key)) continue;
            kept.push_back(std::move(l));
        }
        lines.swap(kept);
    });
}

}  // namespace vexlo
