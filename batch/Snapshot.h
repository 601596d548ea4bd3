#pragma once
// Still pictures of what is shown: BMP and/or JPEG, full and/or small, into the snapshot
// folder under fixed names, each snapshot replacing the previous one.
#include <string>
#include <vector>

#include "engine/Bitmap.h"

namespace vexlo {

struct TSnapshotChoices {
    bool FullSize = true, SmallSize = true, Bmp = true, Jpg = true;
    int Quality = 30;  // JPEG, 1..100
};

// The switches and quality as stored now (section "settings"; exactly 1 means on).
TSnapshotChoices ReadSnapshotChoices();

// Writes each file whose size and format switches are both on, in the order
// Snapshot_full.bmp, Snapshot_small.bmp, Snapshot_full.jpg, Snapshot_small.jpg, into folder
// (with a trailing '/'). An empty picture writes none of its files. Throws on the first file
// that cannot be written; those before it stay. Returns the paths written.
std::vector<std::string> WriteSnapshotFiles(const TBitmap& full, const TBitmap& small, const std::string& folder,
                                            const TSnapshotChoices& choices);

// The snapshot folder (created, or the default with its warning) and the files above,
// with the stored choices.
std::vector<std::string> SaveSnapshot(const TBitmap& full, const TBitmap& small);

}  // namespace vexlo
