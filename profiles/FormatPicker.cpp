#include "profiles/FormatPicker.h"

#include "app/Settings.h"
#include "platform/Text.h"

namespace vexlo {

const char* const kCollapsedSection = "lstformat";
const char* const kDefaultPickerFormatName = "Apple iPod Video MPEG-4 Movie (*.mp4)";

std::string TFormatPicker::FillFormatList() {
    Rows.clear();
    ItemIndex = -1;
    FillFormatTable(FormatTable);
    IniFile ini = SettingsIni();
    const auto& cats = Catalogue();
    for (size_t c = 0; c < cats.size() && c < static_cast<size_t>(kMaxCategories); ++c) {
        TPickerRow row;
        row.Text = cats[c].Name;
        row.Info.IsCategory = true;
        row.Info.Title = cats[c].Name;
        row.Info.Code = static_cast<int>(c);
        row.Info.Collapsed = ini.ReadBool(kCollapsedSection, std::to_string(c), true);
        bool expand = !row.Info.Collapsed;
        row.Info.Collapsed = true;
        Rows.push_back(row);
        if (expand) ExpandPositions(RowCount() - 1, 30);
    }
    std::string name = ini.ReadString(settings::kSection, "FormatName", kDefaultPickerFormatName);
    SelectByName(name);
    return name;
}

void TFormatPicker::SelectByName(const std::string& name) {
    ItemIndex = -1;
    std::string wanted = Trim(name);
    for (int i = 0; i < RowCount(); ++i)
        if (Rows[i].Text == wanted) {
            ItemIndex = i;
            return;
        }
}

void TFormatPicker::ExpandPositions(int row, int lastPosition) {
    TItemInfo& cat = Rows[row].Info;
    if (!cat.IsCategory || !cat.Collapsed) return;
    int c = cat.Code;
    cat.Collapsed = false;
    if (c < 0 || c >= kMaxCategories) return;
    int inserted = 0;
    for (int p = 0; p <= lastPosition && p < kMaxFormatsPerCategory; ++p) {
        const std::string& name = FormatTable[c][p];
        if (name.empty()) continue;
        TPickerRow fmt;
        fmt.Text = name;
        fmt.Info.IsFormat = true;
        fmt.Info.Code = MakeFormatCode(c, p);
        Rows.insert(Rows.begin() + row + 1 + inserted, fmt);
        ++inserted;
    }
    if (ItemIndex > row) ItemIndex += inserted;
}

void TFormatPicker::Expand(int row) {
    if (row >= 0 && row < RowCount()) ExpandPositions(row, kMaxFormatsPerCategory - 1);
}

void TFormatPicker::Collapse(int row) {
    if (row < 0 || row >= RowCount() || !Rows[row].Info.IsCategory || Rows[row].Info.Collapsed) return;
    Rows[row].Info.Collapsed = true;
    int end = row + 1;
    while (end < RowCount() && !Rows[end].Info.IsCategory) ++end;
    int removed = end - row - 1;
    Rows.erase(Rows.begin() + row + 1, Rows.begin() + end);
    if (ItemIndex > row && ItemIndex < end) ItemIndex = row;
    else if (ItemIndex >= end) ItemIndex -= removed;
}

void TFormatPicker::Toggle(int row) {
    if (row < 0 || row >= RowCount() || !Rows[row].Info.IsCategory) return;
    if (Rows[row].Info.Collapsed) Expand(row);
    else Collapse(row);
}

std::optional<TPickedFormat> TFormatPicker::MouseDown(int row, int x) {
    if (row < 0 || row >= RowCount()) return std::nullopt;
    const TPickerRow& r = Rows[row];
    if (r.Info.IsCategory) {
        if (x >= 0 && x < 20) Toggle(row);
        return std::nullopt;
    }
    TPickedFormat picked{std::to_string(r.Info.Code), r.Text};
    ItemIndex = row;
    if (storesPicks_) {
        settings::WriteString("FormatName", picked.Name);
        settings::WriteString("FormatCode", picked.Code);
    }
    return picked;
}

void TFormatPicker::DoubleClick(int row) {
    if (row >= 0 && row < RowCount() && Rows[row].Info.IsCategory) Toggle(row);
}

void TFormatPicker::MouseMove(int row) {
    if (row >= 0 && row < RowCount()) ItemIndex = row;
}

void TFormatPicker::SaveCollapsedState() const {
    IniFile ini = SettingsIni();
    for (const auto& r : Rows)
        if (r.Info.IsCategory) ini.WriteBool(kCollapsedSection, std::to_string(r.Info.Code), r.Info.Collapsed);
}

int PickerHeight(int rows, int cap) {
    return rows * kPickerRowHeight > cap ? cap : (rows + 1) * kPickerRowHeight;
}

}  // namespace vexlo
