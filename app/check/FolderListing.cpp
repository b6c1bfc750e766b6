#include "app/check/FolderListing.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include "app/TextTools.h"
#include "app/Utf8Path.h"

namespace {

constexpr std::size_t MostEntries = 100000;

}  // namespace

FolderListing::FolderListing(const std::string& path) : path_(path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(PathFromUtf8(path), error)) {  // in the same words on every platform
        error_ = std::generic_category().message(fs::exists(PathFromUtf8(path), error) ? ENOTDIR : ENOENT);
        return;
    }
    fs::directory_iterator entry(PathFromUtf8(path), error), end;
    for (std::size_t count = 0; !error && entry != end && count < MostEntries;
         entry.increment(error), ++count) {
        std::error_code ignored;
        const fs::file_status status = entry->status(ignored);  // a link counts as what it points to
        if (!fs::is_regular_file(status) && !fs::is_directory(status)) continue;
        const std::string name = entry->path().filename().u8string();
        entries_.emplace(Lower(name), Entry{name, fs::is_directory(status)});
    }
    if (error) error_ = "it cannot be listed";
}

std::string FolderListing::File(const std::string& name) const {
    const auto found = entries_.find(Lower(name));
    return found != entries_.end() && !found->second.folder ? found->second.name : "";
}

std::vector<std::string> FolderListing::Folders() const {
    std::vector<std::string> folders;
    for (const auto& entry : entries_)
        if (entry.second.folder) folders.push_back(entry.second.name);
    return folders;
}

std::string FolderListing::Join(const std::string& name) const {
    return (PathFromUtf8(path_) / PathFromUtf8(name)).u8string();
}

bool FileTimes(const std::string& path, int64_t& arrived, int64_t& written) {
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(PathFromUtf8(path).c_str(), GetFileExInfoStandard, &data)) return false;
    const auto seconds = [](const FILETIME& t) {  // FILETIME counts 100 ns from 1601
        const int64_t ticks = static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
        return (ticks - 116444736000000000) / 10000000;
    };
    written = seconds(data.ftLastWriteTime);
    arrived = std::max(seconds(data.ftCreationTime), written);
#else
    struct statx times;
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_CTIME | STATX_MTIME, &times) != 0) return false;
    written = times.stx_mtime.tv_sec;
    arrived = std::max<int64_t>(
        times.stx_mask & STATX_BTIME ? times.stx_btime.tv_sec : times.stx_ctime.tv_sec, written);
#endif
    return true;
}
