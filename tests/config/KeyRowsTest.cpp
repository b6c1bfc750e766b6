// The key rows are the one account of the config's keys: README's key table and the example config's comments
// are held to them, so that a key added without its documentation fails here.
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "config/ConfigKeys.h"

namespace {

std::string Read(const std::string& name) {
    std::ifstream file(std::string(SKIRMORA_SOURCE_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(KeyRows, ReadmeShowsTheTableTheRowsMake) {
    const std::string readme = Read("README.md"), table = KeyTableMarkdown();
    EXPECT_NE(readme.find(table), std::string::npos) << "README.md's key table should read:\n" << table;
}

// Each key in the example, with its row's documentation as the comment lines right above it; the older name
// of the shared list is documented there but not written.
TEST(KeyRows, TheExampleDocumentsEveryKeyAsItsRowSays) {
    const std::string example = Read("examples/Skirmora_config.txt");
    for (const ConfigKey* key = ConfigKeysBegin(); key != ConfigKeysEnd(); ++key) {
        const std::size_t at = example.find("\"" + std::string(key->name) + "\":");
        if (key->id == ConfigKeyId::PedWeapons) {
            EXPECT_EQ(at, std::string::npos);
            continue;
        }
        ASSERT_NE(at, std::string::npos) << key->name << " is missing from the example";
        std::string comment;
        std::size_t line = example.rfind('\n', at);
        while (line != std::string::npos && line > 0) {
            const std::size_t start = example.rfind('\n', line - 1) + 1;
            const std::string text = example.substr(start, line - start);
            const std::size_t slashes = text.find("// ");
            if (slashes == std::string::npos || text.find_first_not_of(' ') != slashes) break;
            comment = text.substr(slashes + 3) + (comment.empty() ? "" : " " + comment);
            line = start - 1;
        }
        EXPECT_EQ(comment, key->doc) << key->name;
    }
}

}  // namespace
