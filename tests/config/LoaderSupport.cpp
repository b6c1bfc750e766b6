#include "tests/config/LoaderSupport.h"

#include "config/Jenkins.h"
#include "config/WeaponLists.h"

Names LoaderTest::GroupCalls() const {
    // Groups are named "0", "1", ...: map the hashes the game returned back to their names.
    Names calls;
    for (const std::string& event : run->Events()) {
        if (event.rfind("AddRelationshipGroup(\"", 0) == 0) {
            calls.push_back("+" + event.substr(22, event.find('"', 22) - 22));
        } else if (event.rfind("RemoveRelationshipGroup(", 0) == 0) {
            const uint32_t hash = static_cast<uint32_t>(std::stoul(event.substr(24 + 2, 8), nullptr, 16));
            std::string name = "?";
            for (int k = 0; k < 1000; ++k)
                if (JenkinsHash(std::to_string(k)) == hash) name = std::to_string(k);
            if (hash == JenkinsHash("RIOTER")) name = "RIOTER";
            if (hash == 0) name = "(0)";
            calls.push_back("-" + name);
        }
    }
    return calls;
}

Names LoaderTest::BuiltInWithoutThrowables() {
    Names names;
    for (const std::string& name : BuiltInWeaponList()) {
        bool thrown = false;
        for (const std::string& t : ThrowableList)
            thrown = thrown || t == name;
        if (!thrown) names.push_back(name);
    }
    return names;
}
