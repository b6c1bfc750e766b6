// The files the simulator's commands write, whole or not at all: each goes to a temporary file in its folder
// and is renamed over its name only when complete, so that a run that fails leaves the file it would replace,
// or none, never half of one. A device or a pipe (/dev/null, a FIFO) is written as it is. Every failure says
// why, in the system's words.
#pragma once
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
    // Writes what is buffered and closes the file; the errno of the first failure, or 0.
    int Close();
    int Error() const { return error_; }

  protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int overflow(int c) override;
    int sync() override;

  private:
    void Failed() { error_ = error_ ? error_ : errno ? errno : EIO; }
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

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
    // Closes the file, keeping it under its temporary name, for another writer to open that name.
    void Close();
    // Where the bytes go until Commit: the temporary name (the path itself for a device or a pipe).
    std::string WorkingPath() const;
    // Closes the file and puts it in place; throws CommandError saying what failed, and leaves nothing then.
    void Commit();

  private:
    [[noreturn]] void Fail(const std::string& doing, const std::string& reason);

    std::string path_;
    std::string what_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty: written in place
    FileSink sink_;
    std::ostream stream_{&sink_};
    bool done_ = false;
};
