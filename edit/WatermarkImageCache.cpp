#include "edit/WatermarkImageCache.h"

#include <sys/stat.h>

#include "edit/BmpFile.h"

namespace vexlo {

std::shared_ptr<const TBitmap> TWatermarkImageCache::Get(const std::string& path) {
    std::lock_guard lock(mutex_);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        const int64_t modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        if (image_ && path == path_ && modified == modified_ && st.st_size == size_ &&
            static_cast<int64_t>(st.st_ino) == inode_)
            return image_;
        modified_ = modified;
        size_ = st.st_size;
        inode_ = static_cast<int64_t>(st.st_ino);
    }
    image_.reset();
    path_.clear();
    auto image = std::make_shared<const TBitmap>(LoadBmpFile(path));  // a missing file throws here
    path_ = path;
    image_ = image;
    return image;
}

void TWatermarkImageCache::Clear() {
    std::lock_guard lock(mutex_);
    image_.reset();
    path_.clear();
}

}  // namespace vexlo
