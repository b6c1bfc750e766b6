#include "app/check/FolderListing.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

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
