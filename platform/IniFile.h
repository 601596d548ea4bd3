#pragma once
// INI files with the Windows profile-file rules: section and key names match without
// regard to case, Booleans are 1/0, every read opens the file afresh and every write
// reaches the disk at once, replacing the file atomically.
#include <string>
#include <vector>

namespace vexlo {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Whole-text integers only (decimal, or hex with 0x / $); anything else gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Exactly 1 is true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Key names of a section in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    // Key/value pairs of a section in file order.
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(const std::string& section) const;

    // Throws std::runtime_error when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    std::string path_;
};

// Parses an integer the way the settings readers do; false when the text is not one.
bool ParseIniInteger(const std::string& text, int& out);

// Writes text to path through a temporary file in the same folder and a rename, so a
// crash leaves either the old file or the new one, never a torn one.
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace vexlo
