// The files the simulator's commands write, whole or not at all: each goes to a temporary file in its folder
// and is renamed over its name only when complete, so that a run that fails leaves the file it would replace,
// or none, never half of one. A device or a pipe (/dev/null, a FIFO) is written as it is. Every failure says
// why, in the system's words.
#pragma once
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

// An output stream into a C file that keeps the errno of its first failed write.
class FileSink : public std::streambuf {
  public:
    FileSink() = default;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    ~FileSink() override { Close(); }

    // Opens the file for writing, emptied; false with Error() set when it cannot.
    bool Open(const std::filesystem::path& path);
    // Writes into a file opened already.
    void Adopt(std::FILE* file) { file_ = file; }
    // Writes what is buffered and closes the file; the errno of the first failure, or 0.
    int Close();
    int Error() const { return error_; }
    void SetError(int error) { error_ = error_ ? error_ : error; }

  protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int overflow(int c) override;
    int sync() override;

  private:
    void Failed() { SetError(errno ? errno : EIO); }
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

// A file or folder of the program's own that a signal's ending removes (RemoveTemporaries) while it is named
// here: a temporary file, the copy of a config.
class TemporaryName {
  public:
    TemporaryName() = default;
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName() { Clear(); }
    void Set(const std::filesystem::path& path, bool folder = false);
    void Clear();

  private:
    int slot_ = -1;
};

// Removes every file and folder a TemporaryName holds, files first. Safe in a signal handler.
void RemoveTemporaries();

// Where the bytes for path go: the file a link names (followed to its end, live or dangling) when path is a
// link to a file or to none, else path itself.
std::filesystem::path LinkedFile(const std::filesystem::path& path);

class OutputFile {
  public:
    // Opens the temporary file for path (path itself for a device or a pipe); what names the file in messages
    // ("the trace "). Throws CommandError (status 3) with the reason when it cannot.
    OutputFile(const std::string& path, const std::string& what);
    // A file not committed leaves nothing behind.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& Stream() { return stream_; }
    // Whether a write has failed already.
    bool Failed() const { return sink_.Error() != 0; }
    // Writes what is buffered and closes the file, keeping it under its temporary name (for another writer to
    // open that name, or to be committed with others); throws CommandError when a write failed.
    void Close();
    // Where the bytes go until Commit: the temporary name (the path itself for a device or a pipe).
    std::string WorkingPath() const;
    // Closes the file and puts it in place; throws CommandError saying what failed, and leaves nothing then.
    void Commit();
    // Gives the file up because another writer failed with this errno: throws CommandError, leaves nothing.
    [[noreturn]] void Abandon(int error);

  private:
    [[noreturn]] void Fail(const std::string& doing, const std::string& reason);

    std::string path_;
    std::string what_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty: written in place
    TemporaryName removed_;            // the temporary, for a signal's ending
    FileSink sink_;
    std::ostream stream_{&sink_};
    bool done_ = false;
};

// Why no file can be made in folder, or "" when one can: an empty file of a name of its own is made there,
// exclusively, and removed at once.
std::string FolderProblem(const std::filesystem::path& folder);

// The standard output's file when it is a regular file (redirected to one), to compare with the others; else
// "".
std::string StandardOutputFile();
