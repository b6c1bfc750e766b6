#pragma once
#include <string>

// A fresh temporary directory made the current directory for the life of the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file in the directory, bytes as given.
    void Write(const std::string& name, const std::string& content) const;
    void WriteConfig(const std::string& content) const { Write("Skirmora_config.txt", content); }

  private:
    std::string path_;
    std::string previous_;
};
