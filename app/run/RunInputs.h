// What a run reads: the scenario and the config, each read once through the bounded reader.
#pragma once
#include <filesystem>
#include <string>

#include "app/OutputFile.h"
#include "app/run/Run.h"
#include "app/run/Scenario.h"

// A folder of the run's own for the copy of a config that cannot be read twice (a pipe, standard input),
// removed with it.
class PrivateFolder {
  public:
    PrivateFolder() = default;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    ~PrivateFolder();
    // Writes the bytes as a file of that name in the folder, made on first use; its path, UTF-8.
    std::string Keep(const std::string& name, const std::string& bytes);

  private:
    std::string MakeFolder();  // why it cannot be made, or ""

    std::filesystem::path folder_;
    TemporaryName removedFolder_, removedCopy_;  // for a signal's ending
};

struct RunInputs {
    Scenario scenario;
    std::string config;  // the config file as given, or ./Skirmora_config.txt when there is one; empty: none
    std::string note;    // the config as the first line names it
    std::string bytes;   // what the config file held
    std::string played;  // the file the script reads at the start and at each press: the config's bytes
    PrivateFolder copies;
};

// Reads the scenario and the config, as the options say; throws CommandError (status 3) when one cannot be.
void ReadInputs(const RunOptions& options, RunInputs& in);
