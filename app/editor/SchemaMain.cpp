// Build step: writes Skirmora_config.schema.json (the path given) from the key rows and the game's names.
#include <fstream>
#include <iostream>

#include <json/json.h>

#include "app/editor/ConfigSchema.h"
#include "app/editor/EditorData.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skirmora-schema OUTPUT.json\n";
        return 2;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    std::ofstream out(argv[1], std::ios::binary);
    out << Json::writeString(writer, ConfigSchema(EditorData())) << "\n";
    out.close();
    if (!out) {
        std::cerr << "skirmora-schema: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
