// The names in one folder, found without regard to case as Windows finds them, so that a game folder copied
// to Linux reads the same.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

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
