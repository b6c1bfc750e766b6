#include "app/run/Scenario.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <fmt/core.h>
#include <json/json.h>

#include "app/InputFile.h"
#include "config/KeyNames.h"

namespace {

class Reader {
  public:
    Reader(const std::string& text, const std::string& name) : text_(text), name_(name) {}

    [[noreturn]] void Fail(const Json::Value& value, const std::string& path, const std::string& what) const {
        throw ScenarioError(fmt::format("{}:{}: \"{}\" {}", name_, LineOf(value), path, what));
    }

    void Keys(const Json::Value& object, const std::string& path,
              std::initializer_list<const char*> known) const {
        if (!object.isObject() && path.empty())
            throw ScenarioError(name_ + ": a scenario is one JSON object, { ... }");
        if (!object.isObject()) Fail(object, path, "must be an object");
        for (const std::string& key : object.getMemberNames()) {
            bool found = false;
            for (const char* name : known)
                found = found || key == name;
            if (found) continue;
            std::string names;
            for (const char* name : known)
                names += (names.empty() ? "" : ", ") + std::string(name);
            Fail(object[key], Join(path, key), "is not a scenario key; the keys here are " + names);
        }
    }

    double Number(const Json::Value& value, const std::string& path, double low, double high) const {
        if (!value.isNumeric() || value.isBool()) Fail(value, path, "must be a number");
        const double number = value.asDouble();
        if (!(number >= low && number <= high))
            Fail(value, path, fmt::format("must be from {} to {}", low, high));
        return number;
    }

    int64_t Whole(const Json::Value& value, const std::string& path, int64_t low, int64_t high) const {
        if (!value.isIntegral() && !(value.isDouble() && value.asDouble() == std::floor(value.asDouble())))
            Fail(value, path, "must be a whole number");
        const double number = value.asDouble();
        if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high)))
            Fail(value, path, fmt::format("must be from {} to {}", low, high));
        return value.isUInt64() ? static_cast<int64_t>(value.asUInt64()) : value.asInt64();
    }

    uint64_t Unsigned(const Json::Value& value, const std::string& path) const {
        if (!value.isUInt64())
            Fail(value, path, fmt::format("must be a whole number from 0 to {}", UINT64_MAX));
        return value.asUInt64();
    }

    const Json::Value& Array(const Json::Value& value, const std::string& path) const {
        if (!value.isArray()) Fail(value, path, "must be an array");
        return value;
    }

    std::string Text(const Json::Value& value, const std::string& path) const {
        if (!value.isString()) Fail(value, path, "must be a text");
        return value.asString();
    }

    static std::string Join(const std::string& path, const std::string& key) {
        return path.empty() ? key : path + "." + key;
    }
    static std::string Item(const std::string& path, Json::ArrayIndex k) {
        return fmt::format("{}[{}]", path, k);
    }

  private:
    int LineOf(const Json::Value& value) const {
        const size_t end = static_cast<size_t>(value.getOffsetStart());
        int line = 1;
        for (size_t k = 0; k < end && k < text_.size(); ++k)
            line += text_[k] == '\n';
        return line;
    }

    const std::string& text_;
    const std::string& name_;
};

TimeSpan ReadSpan(const Reader& r, const Json::Value& value, const std::string& path, double end) {
    r.Keys(value, path, {"from", "to"});
    TimeSpan span;
    span.from = r.Number(value["from"], Reader::Join(path, "from"), 0.0, end);
    span.to = r.Number(value["to"], Reader::Join(path, "to"), span.from, 1e9);
    return span;
}

std::vector<TimeSpan> ReadSpans(const Reader& r, const Json::Value& value, const std::string& path) {
    std::vector<TimeSpan> spans;
    for (Json::ArrayIndex k = 0; k < r.Array(value, path).size(); ++k)
        spans.push_back(ReadSpan(r, value[k], Reader::Item(path, k), 1e9));
    return spans;
}

std::vector<double> ReadMoments(const Reader& r, const Json::Value& value, const std::string& path) {
    std::vector<double> moments;
    for (Json::ArrayIndex k = 0; k < r.Array(value, path).size(); ++k) {
        moments.push_back(r.Number(value[k], Reader::Item(path, k), 0.0, 1e9));
        if (k > 0 && moments[k] < moments[k - 1])
            r.Fail(value[k], Reader::Item(path, k), "comes before the one above it");
    }
    return moments;
}

void ReadPlayer(const Reader& r, const Json::Value& player, PlayerPlan& plan) {
    r.Keys(player, "player", {"path", "vehicle", "deaths", "health", "respawnSeconds"});
    if (player.isMember("path")) {
        const Json::Value& path = r.Array(player["path"], "player.path");
        if (path.empty()) r.Fail(path, "player.path", "must hold at least one point");
        plan.path.clear();
        for (Json::ArrayIndex k = 0; k < path.size(); ++k) {
            const std::string at = Reader::Item("player.path", k);
            r.Keys(path[k], at, {"at", "x", "y"});
            PathPoint point;
            point.seconds = r.Number(path[k]["at"], Reader::Join(at, "at"), 0.0, 1e9);
            point.x = static_cast<float>(r.Number(path[k]["x"], Reader::Join(at, "x"), -1e5, 1e5));
            point.y = static_cast<float>(r.Number(path[k]["y"], Reader::Join(at, "y"), -1e5, 1e5));
            if (k > 0 && point.seconds <= plan.path.back().seconds)
                r.Fail(path[k]["at"], Reader::Join(at, "at"), "must come after the point before it");
            plan.path.push_back(point);
        }
    }
    if (player.isMember("vehicle")) plan.vehicle = ReadSpans(r, player["vehicle"], "player.vehicle");
    if (player.isMember("deaths")) plan.deaths = ReadMoments(r, player["deaths"], "player.deaths");
    if (player.isMember("health"))
        plan.health = static_cast<float>(r.Number(player["health"], "player.health", 1.0, 1e6));
    if (player.isMember("respawnSeconds"))
        plan.respawnSeconds = r.Number(player["respawnSeconds"], "player.respawnSeconds", 0.0, 3600.0);
}

void ReadWorld(const Reader& r, const Json::Value& world, Scenario& scenario) {
    r.Keys(world, "world",
           {"modelLoadPolls", "neverLoadingModels", "failingSpawns", "safeCoordFailures", "groundZ",
            "vanishPerMinute"});
    if (world.isMember("modelLoadPolls"))
        scenario.modelLoadPolls =
            static_cast<int32_t>(r.Whole(world["modelLoadPolls"], "world.modelLoadPolls", 0, 100000));
    if (world.isMember("neverLoadingModels")) {
        const Json::Value& models = r.Array(world["neverLoadingModels"], "world.neverLoadingModels");
        for (Json::ArrayIndex k = 0; k < models.size(); ++k)
            scenario.neverLoadingModels.push_back(
                r.Text(models[k], Reader::Item("world.neverLoadingModels", k)));
    }
    if (world.isMember("failingSpawns")) {
        const Json::Value& spawns = r.Array(world["failingSpawns"], "world.failingSpawns");
        for (Json::ArrayIndex k = 0; k < spawns.size(); ++k)
            scenario.failingSpawns.push_back(
                r.Whole(spawns[k], Reader::Item("world.failingSpawns", k), 0, 1000000000));
    }
    if (world.isMember("safeCoordFailures"))
        scenario.world.safeCoordFailures =
            ReadSpans(r, world["safeCoordFailures"], "world.safeCoordFailures");
    if (world.isMember("groundZ"))
        scenario.groundZ = static_cast<float>(r.Number(world["groundZ"], "world.groundZ", -1000.0, 3000.0));
    if (world.isMember("vanishPerMinute"))
        scenario.world.rules.vanishPerMinute =
            static_cast<float>(r.Number(world["vanishPerMinute"], "world.vanishPerMinute", 0.0, 60.0));
}

void ReadFight(const Reader& r, const Json::Value& fight, FightRules& rules) {
    r.Keys(fight, "fight",
           {"runSpeed", "gunRange", "meleeRange", "attackSeconds", "gunDamage", "meleeDamage", "pedHealth"});
    struct Knob {
        const char* key;
        float* value;
        double low;
        double high;
    };
    const Knob knobs[] = {
        {"runSpeed", &rules.runSpeed, 0.0, 100.0},     {"gunRange", &rules.gunRange, 0.1, 1000.0},
        {"meleeRange", &rules.meleeRange, 0.1, 100.0}, {"attackSeconds", &rules.attackSeconds, 0.01, 60.0},
        {"gunDamage", &rules.gunDamage, 0.0, 1e6},     {"meleeDamage", &rules.meleeDamage, 0.0, 1e6},
        {"pedHealth", &rules.pedHealth, 1.0, 1e6},
    };
    for (const Knob& knob : knobs)
        if (fight.isMember(knob.key))
            *knob.value = static_cast<float>(
                r.Number(fight[knob.key], Reader::Join("fight", knob.key), knob.low, knob.high));
}

void ReadPresses(const Reader& r, const Json::Value& presses, Scenario& scenario) {
    r.Array(presses, "presses");
    scenario.presses.clear();
    for (Json::ArrayIndex k = 0; k < presses.size(); ++k) {
        const std::string at = Reader::Item("presses", k);
        KeyPress press;
        if (presses[k].isObject()) {
            r.Keys(presses[k], at, {"at", "key"});
            press.seconds = r.Number(presses[k]["at"], Reader::Join(at, "at"), 0.0, 1e9);
            if (presses[k].isMember("key")) {
                const std::string name = r.Text(presses[k]["key"], Reader::Join(at, "key"));
                if (!LookupKeyName(name, &press.key))
                    r.Fail(presses[k]["key"], Reader::Join(at, "key"),
                           "is not a key name: names are \"F1\" to \"F8\"");
            }
        } else {
            press.seconds = r.Number(presses[k], at, 0.0, 1e9);
        }
        if (k > 0 && press.seconds < scenario.presses.back().seconds)
            r.Fail(presses[k], at, "comes before the press above it");
        scenario.presses.push_back(press);
    }
}

// Where the text first opens more than `most` arrays and objects, outside its strings and comments: "Line 3,
// Column 7"; "" when it never does.
std::string NestingPlace(const std::string& text, int most) {
    int depth = 0, line = 1;
    size_t lineStart = 0, k = 0;
    const auto count = [&](size_t at) {
        if (text[at] == '\n') {
            ++line;
            lineStart = at + 1;
        }
    };
    const auto passTo = [&](size_t end) {  // over a string or a comment
        for (end = std::min(end, text.size()); k < end; ++k)
            count(k);
    };
    for (; k < text.size(); ++k) {
        if (text[k] == '"') {
            size_t end = k + 1;
            while (end < text.size() && text[end] != '"')
                end += text[end] == '\\' ? 2 : 1;
            passTo(end);
        } else if (text.compare(k, 2, "//") == 0) {
            passTo(text.find('\n', k));
        } else if (text.compare(k, 2, "/*") == 0) {
            passTo(text.find("*/", k + 2));
        }
        if (k >= text.size()) break;
        count(k);
        depth += (text[k] == '[' || text[k] == '{') - (text[k] == ']' || text[k] == '}');
        if (depth > most) return fmt::format("Line {}, Column {}", line, k - lineStart + 1);
    }
    return "";
}

Json::Value ParseJson(const std::string& text, const std::string& name) {
    constexpr int MostNesting = 1000;  // JsonCpp's own limit; deeper, it throws
    const std::string deep = NestingPlace(text, MostNesting - 1);
    if (!deep.empty())
        throw ScenarioError(fmt::format("{}: not valid JSON: {} nests arrays and objects more than {} deep",
                                        name, deep, MostNesting - 1));
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["failIfExtra"] = true;
    builder["rejectDupKeys"] = true;
    builder["strictRoot"] = true;
    builder["stackLimit"] = MostNesting;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    bool parsed = false;
    try {
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const Json::Exception& error) {
        errors = error.what();
    }
    if (parsed) return root;
    // "* Line 3, Column 5\n  Missing ',' or '}' in object declaration\n* Line ...": the first error, on one
    // line.
    std::string message = errors.substr(0, errors.find("\n* "));
    if (message.rfind("* ", 0) == 0) message.erase(0, 2);
    std::string flat;
    for (char c : message)
        if ((c != '\n' && c != ' ') || (!flat.empty() && flat.back() != ' ')) flat += c == '\n' ? ' ' : c;
    while (!flat.empty() && flat.back() == ' ')
        flat.pop_back();
    throw ScenarioError(fmt::format("{}: not valid JSON: {}", name, flat));
}

Scenario ReadRoot(const Reader& r, const Json::Value& root, const std::string& name) {
    r.Keys(root, "",
           {"name", "seconds", "frameMs", "seed", "clockStart", "presses", "snapshots", "player", "world",
            "fight"});
    Scenario scenario = BuiltInScenario();
    scenario.name = name;
    if (root.isMember("name")) scenario.name = r.Text(root["name"], "name");
    if (root.isMember("seconds")) scenario.seconds = r.Number(root["seconds"], "seconds", 0.001, 86400.0);
    if (root.isMember("frameMs")) scenario.frameMs = r.Number(root["frameMs"], "frameMs", 1.0, 1000.0);
    if (root.isMember("seed")) scenario.world.seed = r.Unsigned(root["seed"], "seed");
    if (root.isMember("clockStart"))
        scenario.clockStart = static_cast<uint32_t>(r.Whole(root["clockStart"], "clockStart", 0, UINT32_MAX));
    if (root.isMember("presses")) ReadPresses(r, root["presses"], scenario);
    if (root.isMember("snapshots")) scenario.snapshots = ReadMoments(r, root["snapshots"], "snapshots");
    if (root.isMember("player")) ReadPlayer(r, root["player"], scenario.world.player);
    if (root.isMember("world")) ReadWorld(r, root["world"], scenario);
    if (root.isMember("fight")) ReadFight(r, root["fight"], scenario.world.rules);
    return scenario;
}

}  // namespace

Scenario BuiltInScenario() {
    Scenario scenario;
    scenario.seconds = 60.0;
    scenario.world.seed = 1;
    // Strolls for 25 s, then drives off at 20 units a second and leaves the riot behind, walks back in.
    scenario.world.player.path = {
        {0.0, 0.0f, 0.0f}, {25.0, 30.0f, 0.0f}, {35.0, 230.0f, 0.0f}, {60.0, 260.0f, 20.0f}};
    scenario.world.player.vehicle = {{25.0, 35.0}};
    scenario.world.rules.vanishPerMinute = 0.2f;
    scenario.modelLoadPolls = 2;
    return scenario;
}

Scenario ParseScenario(const std::string& text, const std::string& name) {
    const Json::Value root = ParseJson(text, name);
    try {
        return ReadRoot(Reader(text, name), root, name);
    } catch (const Json::Exception& error) {  // a defect of the reader's own, said rather than a crash
        throw ScenarioError(fmt::format("{}: cannot be read as a scenario: {}", name, error.what()));
    }
}

Scenario ReadScenario(const std::string& path) {
    std::string text;
    const std::string name = path == "-" ? "standard input" : path;
    const std::string error = ReadInput(path, text, &std::cin);
    if (!error.empty()) throw ScenarioError(fmt::format("{}: cannot read the scenario: {}", name, error));
    return ParseScenario(text, name);
}
