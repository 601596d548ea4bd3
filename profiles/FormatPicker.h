#pragma once
// The format picker's rows without their drawing: category rows that expand and collapse
// to show their formats, and format rows that pick a profile. The main window and the
// settings window each hold one; a window draws Rows and forwards mouse actions.
#include <optional>
#include <string>
#include <vector>

#include "profiles/FormatCatalogue.h"

namespace vexlo {

struct TItemInfo {
    bool IsFormat = false;
    bool IsCategory = false;
    std::string Title;       // category name (category rows)
    bool Collapsed = false;  // category rows: formats not shown below
    int Code = 0;            // category index, or format code
};

struct TPickerRow {
    std::string Text;  // category name or format display name
    TItemInfo Info;
};

struct TPickedFormat {
    std::string Code;  // decimal text
    std::string Name;
};

extern const char* const kCollapsedSection;       // "lstformat"
extern const char* const kDefaultPickerFormatName;  // "Apple iPod Video MPEG-4 Movie (*.mp4)"
constexpr int kPickerRowHeight = 20;

class TFormatPicker {
public:
    // The main window's picker stores every pick in the settings at once.
    explicit TFormatPicker(bool storesPicks) : storesPicks_(storesPicks) {}

    std::vector<TPickerRow> Rows;
    int ItemIndex = -1;  // selected row, -1 for none
    TFormatTable FormatTable;

    // Refills the rows from the running catalogue and `lstformat`, selects the row of the
    // stored `FormatName` and returns that name for the format box.
    std::string FillFormatList();
    // Selects the row whose text equals name after trimming blanks; none when no row does.
    void SelectByName(const std::string& name);

    void Expand(int row);
    void Collapse(int row);
    void Toggle(int row);
    // A press at x pixels from the row's left: a category toggles inside its leftmost
    // 20 px, a format row is picked (the list then closes).
    std::optional<TPickedFormat> MouseDown(int row, int x);
    void DoubleClick(int row);
    void MouseMove(int row);

    // Writes every category row's collapsed flag to `lstformat`.
    void SaveCollapsedState() const;

    int RowCount() const { return static_cast<int>(Rows.size()); }

private:
    void ExpandPositions(int row, int lastPosition);
    bool storesPicks_;
};

// Height of a picker list of `rows` rows: one spare row, but `cap` when the rows exceed it.
// Caps: main window 362 when filled and 386 when opened; settings window 247.
int PickerHeight(int rows, int cap);

}  // namespace vexlo
