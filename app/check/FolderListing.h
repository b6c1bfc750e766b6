// The names in one folder, found without regard to case as Windows finds them, so that a game folder copied
// to Linux reads the same.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// When the file at path came into its folder and when it was last written, in seconds since 1970; false when
// unknown. A file's arrival is its creation time on Windows (copying or unzipping sets it to that moment,
// while the time it was written may be the date a zip carries), its birth time on Linux where the file system
// keeps one, its last change otherwise; and never before it was written.
bool FileTimes(const std::string& path, int64_t& arrived, int64_t& written);

class FolderListing {
  public:
    // Lists path (UTF-8); a folder with more entries than any game folder holds is listed only that far.
    explicit FolderListing(const std::string& path);

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }  // why the folder cannot be listed, or ""
    // The name on disk of the regular file called name, in any case; "" when there is none.
    std::string File(const std::string& name) const;
    std::vector<std::string> Folders() const;  // the names of its folders, in order
    // path joined with name, as the platform writes it.
    std::string Join(const std::string& name) const;

  private:
    struct Entry {
        std::string name;
        bool folder;
    };
    std::string path_, error_;
    std::map<std::string, Entry> entries_;  // by the name in lower case
};
