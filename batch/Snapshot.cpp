#include "batch/Snapshot.h"

#include "app/OutputFolder.h"
#include "app/Settings.h"
#include "batch/JpegFile.h"
#include "edit/BmpFile.h"
#include "platform/IniFile.h"

namespace vexlo {

TSnapshotChoices ReadSnapshotChoices() {
    TSnapshotChoices c;
    c.FullSize = settings::ReadBool("snapFullSize");
    c.SmallSize = settings::ReadBool("snapSmallSize");
    c.Bmp = settings::ReadBool("snapBmp");
    c.Jpg = settings::ReadBool("snapJpg");
    c.Quality = settings::ReadInteger("jpgCmp");
    return c;
}

std::vector<std::string> WriteSnapshotFiles(const TBitmap& full, const TBitmap& small, const std::string& folder,
                                            const TSnapshotChoices& choices) {
    struct File {
        const TBitmap& picture;
        bool size, jpeg;
        const char* name;
    };
    const File files[] = {
        {full, choices.FullSize, false, "Snapshot_full.bmp"},
        {small, choices.SmallSize, false, "Snapshot_small.bmp"},
        {full, choices.FullSize, true, "Snapshot_full.jpg"},
        {small, choices.SmallSize, true, "Snapshot_small.jpg"},
    };
    std::vector<std::string> written;
    for (const File& f : files) {
        if (!f.size || !(f.jpeg ? choices.Jpg : choices.Bmp) || f.picture.Empty()) continue;
        const std::string path = folder + f.name;
        if (f.jpeg) {
            SaveJpegFile(f.picture, path, choices.Quality);
        } else {
            std::lock_guard<std::recursive_mutex> lock(f.picture.CanvasLock());
            WriteFileAtomically(path, EncodeBmp(f.picture));
        }
        written.push_back(path);
    }
    return written;
}

std::vector<std::string> SaveSnapshot(const TBitmap& full, const TBitmap& small) {
    const std::string folder = EnsureOutputFolder("SnapOutPutDir");
    return WriteSnapshotFiles(full, small, folder, ReadSnapshotChoices());
}

}  // namespace vexlo
