// A run never writes over what it reads, nor writes two outputs to one file: paths are compared by the files
// they name (another spelling, a link, ./), not by their letters.
#pragma once
#include <string>
#include <vector>

struct RunFile {
    std::string option;  // "--trace"; empty for the config read without being named
    std::string path;    // as given; "-" is standard input
    std::string what;    // "the config file"
};

// Throws CommandError (status 3), naming both, when an output is an input or another output, when the
// pictures' folder holds an input, or when an output has the name of a picture in it. Devices and pipes are
// never compared.
void RefuseSameFiles(const std::vector<RunFile>& inputs, const std::vector<RunFile>& outputs,
                     const std::string& pictures);
