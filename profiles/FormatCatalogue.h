#pragma once
// The built-in catalogue of output formats, grouped by category. A format's code is
// category index x 100 + its position in the category; everything else about a format is
// looked up by that code in the "formatInfo" sections of the format and settings files.
#include <array>
#include <string>
#include <vector>

namespace vexlo {

enum class TEdition { Mobile, General };

// The edition this build runs as (CMake option VEXLO_EDITION).
TEdition RunningEdition();

struct TFormatCategory {
    std::string Name;
    std::vector<std::string> Formats;  // display names in position order
};

const std::vector<TFormatCategory>& Catalogue(TEdition edition);
inline const std::vector<TFormatCategory>& Catalogue() { return Catalogue(RunningEdition()); }

constexpr int kMaxCategories = 51;
constexpr int kMaxFormatsPerCategory = 50;

// 51 x 51 display names: row = category index, column = position; empty elsewhere.
using TFormatTable = std::array<std::array<std::string, 51>, 51>;
void FillFormatTable(TFormatTable& table, TEdition edition = RunningEdition());

inline int MakeFormatCode(int category, int position) { return category * 100 + position; }
// Display name of a code of the catalogue; empty when the code names no format.
std::string FormatNameOf(int code, TEdition edition = RunningEdition());
// Every code of the catalogue in category and position order.
std::vector<int> CatalogueCodes(TEdition edition = RunningEdition());

// "formatInfo" + code, the section of a format in both files.
std::string FormatSection(const std::string& code);
std::string FormatSection(int code);

}  // namespace vexlo
