// A run never writes over what it reads, nor writes two outputs to one file: paths are compared by the files
// they name (another spelling, a link, ./), not by their letters.
#pragma once
#include <string>
#include <vector>

struct RunFile {
    std::string name;      // as a message names it: "--trace t.txt", "the config file c.txt"
    std::string path;      // UTF-8; "-" is standard input
    bool picture = false;  // one of the pictures --svg writes
};

// Throws CommandError (status 3), naming both, when config and scenario are one pipe (which holds one input
// only).
void RefuseOnePipe(const RunFile& config, const RunFile& scenario);

// Throws CommandError (status 3), naming both, when an output is an input or another output (a link is
// followed to the file it names, there or not), or when the pictures' folder holds an input. Devices and
// pipes are never compared.
void RefuseSameFiles(const std::vector<RunFile>& inputs, const std::vector<RunFile>& outputs,
                     const std::string& pictures);
