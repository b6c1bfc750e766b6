#include "app/CheckLoad.h"

#include <algorithm>
#include <climits>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include <fmt/format.h>

#include "app/CheckText.h"
#include "app/GameNames.h"
#include "app/TextTools.h"
#include "config/KeyNames.h"
#include "config/LoadConfig.h"
#include "config/LoadObserver.h"
#include "config/WeaponLists.h"
#include "host/Natives.h"
#include "host/ScriptMain.h"
#include "host/ScriptState.h"
#include "sim/Simulation.h"

namespace {

// What the check knows of each key the load reads (which of them it reads, the load tells itself).
struct Rule {
    const char* key;
    bool faction;         // a key of a faction entry, not of the document
    const char* is;       // what the value must be, for a single value
    const char* instead;  // for a list: what the load does when it is not an array (or, "Factions", empty)
    const char* must;     // where the value, or an entry of the list, can end the load: what it must be
};
const Rule Rules[] = {
    {"EnableKey", false, "a key name", nullptr, "a key name must be a text such as \"F6\""},
    {"MaxRioters", false, "a whole number", nullptr, nullptr},
    {"WeaponsUsedByAllFactions", false, nullptr, "changed nothing", "a weapon name must be a text"},
    {"PedWeapons", false, nullptr, "changed nothing", "a weapon name must be a text"},
    {"DisableCops", false, "true or false", nullptr, nullptr},
    {"PedAccuracy", false, "a number", nullptr, nullptr},
    {"RiotersOnlyAttackPlayer", false, "true or false", nullptr, "it must be true or false"},
    {"Factions", false, nullptr, "the default faction is built instead", "a faction must be an object {...}"},
    {"MaxMembers", true, "a whole number", nullptr, "a cap must be a number"},
    {"WillAttackSelf", true, "true or false", nullptr, "it must be true or false"},
    {"Weapons", true, nullptr, "the faction draws from the shared list", "a weapon name must be a text"},
    {"MemberModels", true, nullptr, "the faction's rioters are random pedestrians",
     "a model name must be a text"},
};

const Rule* RuleOf(const std::string& key) {
    for (const Rule& rule : Rules)
        if (key == rule.key) return &rule;
    return nullptr;
}

Names KeysOf(bool faction) {
    Names keys;
    for (const Rule& rule : Rules)
        if (rule.faction == faction) keys.push_back(rule.key);
    return keys;
}

bool Has(const Names& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool SameLetters(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Trimmed(const std::string& name) {
    const std::size_t first = name.find_first_not_of(" \t");
    return first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

std::string Child(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

// "a text", "a number", "an array", "an object", "true", "false", "null".
std::string KindOf(const Json::Value& v) {
    static const char* const kinds[] = {"null",   "a number", "a number", "a number",
                                        "a text", "",         "an array", "an object"};
    return v.isBool() ? (v.asBool() ? "true" : "false") : kinds[v.type()];
}

// The key name a value that is none most likely meant: the same letters in another case or with blanks around
// them, or the name of the key code it gives.
std::string KeyNameHint(const Json::Value& v) {
    for (const auto& entry : KeyNameTable)
        if (v.isString() ? SameLetters(entry.first, Trimmed(v.asString()))
                         : v.isInt() && v.asInt() == entry.second)
            return fmt::format(": did you mean \"{}\"?", entry.first);
    return v.isString() ? ": names are \"F1\" to \"F8\"" : ": names are \"F1\" to \"F8\", in quotes";
}

// Listens to the load, keeping a copy of its document (the loader's own values are gone once it returns), and
// then explains what it heard.
class Check : public LoadObserver {
  public:
    explicit Check(CheckedLoad& checked) : c_(checked) {}

    void Parsed(const Json::Value& document, std::ptrdiff_t offset, const std::string& message) override {
        parsed_ = true;
        copy_ = document;
        errorOffset_ = offset;
        error_ = message;
        Map(document, copy_, "");
    }
    void KeyRead(const Json::Value& object, const char* key, const Json::Value& value,
                 bool applied) override {
        const auto member = nodes_.find(&value);
        reads_.push_back(
            {nodes_.at(&object).path, key, member == nodes_.end() ? nullptr : member->second.copy, applied});
    }
    void FactionBuilt(const Json::Value* entry) override {
        built_.push_back(entry ? nodes_.at(entry) : Node{nullptr, ""});
    }
    void GroupCreated(const std::string& name, uint32_t hash) override { groupNames_[hash] = name; }
    void GroupRemoved(uint32_t) override {}
    void Ended(const Json::Value* at, const std::string& what) override {
        ended_ = true;
        endWhat_ = what;
        const auto node = at ? nodes_.find(at) : nodes_.end();
        if (node != nodes_.end()) end_ = node->second;
    }

    // What the load left, with the factions' groups' names and their entries' places, and why.
    void Explain(const Names& weaponsBefore) {
        c_.settings = Settings;
        c_.weapons = SharedWeaponList;
        for (std::size_t k = 0; k < FactionList.size(); ++k) {
            const Faction& f = FactionList[k];
            const auto named = groupNames_.find(f.GroupHash);
            const Json::Value* entry = k < built_.size() ? built_[k].copy : nullptr;
            std::string group = f.GroupHash != 0 && f.GroupHash == RioterGroup ? "RIOTER" : "";
            if (named != groupNames_.end()) group = named->second;
            c_.factions.push_back({f, group, entry ? entry->getOffsetStart() : -1});
        }
        ReadText();
        UnknownKeys();
        for (const Read& read : reads_)
            Step(read);
        if (ended_) End();
        // The thrown weapons the end of a load takes out of the list it read, or that an ended load leaves.
        Names list = ended_ ? c_.weapons : weaponsBefore;
        if (!ended_ && !c_.weaponsKey.empty()) {
            list.clear();
            for (const Json::Value& entry : root_[c_.weaponsKey])
                list.push_back(entry.asString());
        }
        for (const std::string& name : list)
            if (IsThrowable(name) && !Has(c_.thrown, name)) c_.thrown.push_back(name);
    }

  private:
    struct Node {
        const Json::Value* copy;  // in the copy of the document
        std::string path;         // "", "MaxRioters", "Factions[1].Weapons[0]"
    };
    struct Read {
        std::string object;  // path of the object read from: "" or "Factions[1]"
        std::string key;
        const Json::Value* value;  // nullptr when the member is absent
        bool applied;
    };
    CheckedLoad& c_;
    Json::Value copy_;
    const Json::Value& root_ = copy_;  // read only: a lookup must never add a member
    std::unordered_map<const Json::Value*, Node> nodes_;
    std::map<std::ptrdiff_t, std::string> paths_;  // of the values, by where they start
    bool parsed_ = false;
    std::ptrdiff_t errorOffset_ = -1, parseOffset_ = -1, deepest_ = -1;
    std::string error_;
    std::vector<Read> reads_;
    std::vector<Node> built_;  // the entries of the factions appended; no copy for the default one
    std::unordered_map<uint32_t, std::string> groupNames_;
    bool ended_ = false;
    Node end_{nullptr, ""};  // the value the load ended at; no copy when it ended in the reader
    std::string endWhat_;

    void Map(const Json::Value& original, const Json::Value& copy, const std::string& path) {
        nodes_[&original] = {&copy, path};
        paths_[original.getOffsetStart()] = path;
        if (original.isArray()) {
            for (Json::ArrayIndex k = 0; k < original.size(); ++k)
                Map(original[k], copy[k], fmt::format("{}[{}]", path, k));
        } else if (original.isObject()) {
            for (auto member = original.begin(); member != original.end(); ++member) {
                const std::string key = member.name();
                Map(*member, *copy.find(key.data(), key.data() + key.size()), Child(path, key));
            }
        }
    }

    void Add(FindingKind kind, std::ptrdiff_t offset, std::string message) {
        c_.findings.push_back({kind, offset, std::move(message)});
    }
    void Add(FindingKind kind, const Json::Value& v, std::string message) {
        Add(kind, v.getOffsetStart(), std::move(message));
    }
    // The value as written in the file, shortened when long; arrays and objects as their kind.
    std::string Written(const Json::Value& v) const {
        const std::ptrdiff_t start = v.getOffsetStart(), limit = v.getOffsetLimit();
        if (v.isArray() || v.isObject() || start < 0 || limit <= start) return KindOf(v);
        std::string written =
            c_.text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(limit - start));
        std::replace_if(
            written.begin(), written.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
        return written.size() > 40 ? written.substr(0, 37) + "..." : written;
    }
    // A value the parser made up where it met its error: it stands for what could not be read.
    bool CutOff(const Json::Value& v) const {
        return parseOffset_ >= 0 && v.isNull() && v.getOffsetStart() >= parseOffset_;
    }
    bool WasRead(const std::string& object, const std::string& key) const {
        return std::any_of(reads_.begin(), reads_.end(),
                           [&](const Read& read) { return read.object == object && read.key == key; });
    }
    bool Applied(const std::string& key) const {
        return std::any_of(reads_.begin(), reads_.end(),
                           [&](const Read& read) { return read.key == key && read.applied; });
    }
    bool EndsIn(const std::string& path) const {
        const std::string& at = end_.path;
        return ended_ && end_.copy &&
               (at == path || at.rfind(path + ".", 0) == 0 || at.rfind(path + "[", 0) == 0);
    }

    // A value the load converts, and what it becomes.
    void CountsAs(const Json::Value& v, const std::string& path, const std::string& result) {
        Add(FindingKind::Warning, v,
            CutOff(v) ? fmt::format("\"{}\" is cut off by the parse error and counts as {}", path, result)
                      : fmt::format("\"{}\": {}{} counts as {}", path, v.isNumeric() ? "the number " : "",
                                    Written(v), result));
    }
    // A list the load does not read, and what it does instead.
    void NoList(const Json::Value& v, const std::string& path, const std::string& instead) {
        Add(FindingKind::ChangedNothing, v,
            fmt::format("\"{}\" is {}: {}", path,
                        v.isArray() ? "an empty array" : KindOf(v) + ", not an array", instead));
    }

    // What the parser keeps quiet about, found in the text.
    void ReadText() {
        const std::string& text = c_.text;
        std::size_t read = text.size();
        if (parsed_ && errorOffset_ >= 0 && root_.isNull() && SkipBlanksAndComments(text, 0) == text.size()) {
            c_.empty = true;
        } else if (parsed_ && errorOffset_ >= 0) {
            parseOffset_ = errorOffset_;
            read = static_cast<std::size_t>(errorOffset_);
            Add(FindingKind::ParseError, errorOffset_,
                ExplainParseError(text, errorOffset_, error_, c_.notJson));
        } else if (parsed_) {
            read = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, root_.getOffsetLimit()));
            const std::size_t after = SkipBlanksAndComments(text, read);
            if (after < text.size())
                Add(FindingKind::ChangedNothing, static_cast<std::ptrdiff_t>(after),
                    "text after the end of the document is not read");
            if (root_.isNull())
                Add(FindingKind::ChangedNothing, root_, "the document is null: it counts as an empty object");
        }
        const TextScan scan = ScanText(text, std::min(read, text.size()));
        deepest_ = scan.deepest;
        const LineIndex lines(text);
        for (const Repeat& repeat : parsed_ ? scan.repeats : std::vector<Repeat>()) {
            const auto value = paths_.upper_bound(repeat.later);  // the value the parser kept
            if (value != paths_.end())
                Add(FindingKind::ChangedNothing, repeat.first,
                    fmt::format("\"{}\" is given again on line {}: only the later one counts", value->second,
                                lines.Of(repeat.later, false).line));
        }
    }

    // Keys the load never reads in an object it read: unknown ones, and those that belong to the other level.
    void Misplaced(const Json::Value& object, const std::string& at, const Names& keys, const Names& others) {
        for (const std::string& key : object.getMemberNames()) {
            const Json::Value& v = object[key];
            if (Has(keys, key)) continue;
            const std::string guess =
                Suggest(key, keys, std::min<std::size_t>(3, std::max<std::size_t>(1, key.size() / 4)));
            std::string message =
                fmt::format("unknown key \"{}\"{}: ", key, at.empty() ? "" : " in \"" + at + "\"");
            message += guess.empty() ? "ignored" : "did you mean \"" + guess + "\"?";
            if (!guess.empty() && SameLetters(guess, key)) message += " Key names are case-sensitive";
            if (Has(others, key) && at.empty())
                message = "\"" + key + "\" is a key of a faction entry: at the top level it is ignored" +
                          (key == "Weapons" ? " (the shared list is \"WeaponsUsedByAllFactions\")" : "");
            if (Has(others, key) && !at.empty())
                message = "\"" + at + "." + key + "\" is a top-level key: inside a faction it is ignored";
            Add(FindingKind::ChangedNothing, v, message);
        }
    }

    void UnknownKeys() {
        if (!root_.isObject()) return;
        Misplaced(root_, "", KeysOf(false), KeysOf(true));
        const Json::Value& factions = root_["Factions"];
        std::unordered_set<std::string> reached;
        for (const Read& read : reads_)
            reached.insert(read.object);
        for (Json::ArrayIndex k = 0; factions.isArray() && k < factions.size(); ++k) {
            const std::string at = fmt::format("Factions[{}]", k);
            if (!EndsIn(at) && !reached.count(at)) continue;
            if (factions[k].isNull())
                CountsAs(factions[k], at, "an empty faction (cap 20, a group of its own)");
            if (factions[k].isObject()) Misplaced(factions[k], at, KeysOf(true), KeysOf(false));
        }
    }

    void Step(const Read& read) {
        const Rule* rule = RuleOf(read.key);
        if (!read.value || !rule) return;
        const Json::Value& v = *read.value;
        const std::string& key = read.key;
        const std::string path = Child(read.object, key), is = rule->is ? rule->is : "";
        if (!rule->faction && rule->is) c_.sources[key] = {read.applied, v.getOffsetStart(), ""};
        if (!rule->faction && rule->is && !read.applied) {
            Unapplied(*rule, v, c_.sources[key]);
        } else if ((is == "a whole number" && !v.isInt()) || (is == "true or false" && !v.isBool())) {
            CountsAs(v, path,
                     is == "a whole number" ? std::to_string(v.asInt())
                     : v.asBool()           ? "true"
                                            : "false");
        } else if (!read.applied && key == "PedWeapons" && Applied("WeaponsUsedByAllFactions")) {
            Add(FindingKind::ChangedNothing, v,
                "\"PedWeapons\" is ignored: \"WeaponsUsedByAllFactions\" is an array and is read instead");
        } else if (!read.applied && rule->instead) {
            NoList(v, path,
                   std::string(rule->instead) + (key == "WeaponsUsedByAllFactions" && Applied("PedWeapons")
                                                     ? "; \"PedWeapons\" is read instead"
                                                     : ""));
        } else if (rule->instead && key != "Factions") {
            if (!rule->faction) {
                c_.weaponsKey = key;
                c_.weaponsOffset = v.getOffsetStart();
            }
            ListNames(v, path, key == "MemberModels" ? NameKind::Model : NameKind::Weapon, !rule->faction);
        }
        if (key == "MaxRioters" && read.applied && v.asInt() <= 0)
            Add(FindingKind::Warning, v,
                fmt::format("\"MaxRioters\": {} lets nobody be recruited", Written(v)));
    }

    // A setting the file's value left as it was: the finding, and the note on the setting's row.
    void Unapplied(const Rule& rule, const Json::Value& v, SettingSource& source) {
        const std::string written = Written(v), key = rule.key, is = rule.is;
        std::string why = written + " is not " + is;
        if (CutOff(v)) {
            why = "the value is cut off by the parse error";
        } else if (key == "RiotersOnlyAttackPlayer" && !v.isNull()) {
            source.note =
                fmt::format("the file's {} leaves it as it is: a file can switch it on, never off", written);
            return;
        } else if (v.isString() && key != "EnableKey") {
            why = fmt::format("{} is a text: write {} without quotes", written,
                              is == "true or false" ? is : "the number");
        } else if (is == "a whole number" && v.isNumeric() &&
                   (v.asDouble() < INT_MIN || v.asDouble() > INT_MAX)) {
            why = written + " is outside the whole numbers it takes (-2147483648 to 2147483647)";
        } else if (key == "EnableKey") {
            why += KeyNameHint(v);
        }
        Add(FindingKind::ChangedNothing, v, fmt::format("\"{}\": {}", key, why));
        source.note = CutOff(v) ? "the file's value is cut off by the parse error" : "the file's " + why;
    }

    // The entries of a list of names that the load read (up to where it ended), each against the game's
    // names.
    void ListNames(const Json::Value& list, const std::string& path, NameKind kind, bool shared) {
        for (Json::ArrayIndex k = 0; k < list.size(); ++k) {
            const Json::Value& entry = list[k];
            const std::string at = fmt::format("{}[{}]", path, k);
            if (EndsIn(at)) return;
            const std::string name = entry.asString();
            if (!entry.isString()) {
                CountsAs(entry, at, fmt::format("the name \"{}\"", name));
            } else if (name.empty()) {
                Add(FindingKind::Warning, entry, fmt::format("\"{}\" is the empty name", at));
            } else {
                for (const std::string& thrown : ThrowableList)
                    if (shared && name != thrown && SameLetters(name, thrown))
                        Add(FindingKind::Warning, entry,
                            fmt::format(
                                "\"{}\": \"{}\" is the thrown weapon {} in other letters, so it is not "
                                "taken out of the shared list",
                                at, name, thrown));
                GameName(entry, at, name, kind);
            }
        }
    }

    void GameName(const Json::Value& entry, const std::string& at, const std::string& name, NameKind kind) {
        const NameVerdict verdict = JudgeName(name, kind);
        const char* what = kind == NameKind::Weapon ? "a weapon" : "a ped model";
        if (verdict.known) return;
        if (verdict.likelyTypo && Trimmed(name) != name && SameLetters(verdict.nearest, Trimmed(name))) {
            Add(FindingKind::UnknownName, entry,
                fmt::format(
                    "\"{}\": \"{}\" has blanks around it, which the game does not ignore: write \"{}\"", at,
                    name, verdict.nearest));
        } else if (verdict.likelyTypo) {
            Add(FindingKind::UnknownName, entry,
                fmt::format("\"{}\": \"{}\" is not {} of the game: did you mean \"{}\"?", at, name, what,
                            verdict.nearest));
        } else {
            Add(FindingKind::Note, entry,
                fmt::format("\"{}\": \"{}\" is not {} of the base game, nor close to one: fine if another "
                            "mod adds it",
                            at, name, what));
        }
    }

    // Where and why the load ended, and what that leaves that the state below does not show.
    void End() {
        const Json::Value* v = end_.copy;
        if (v) {
            Add(FindingKind::Ended, *v, EndWhy(*v, end_.path));
        } else {
            Add(FindingKind::Ended, parsed_ ? -1 : deepest_,
                parsed_ ? "the load ran out of memory"
                        : "the file nests arrays and objects more than 1000 deep, and the reader gives up");
        }
        Add(FindingKind::Ended, -1, "What was read before it is applied; nothing after it is read.");
        if (!v || !WasRead("", "Factions"))
            Add(FindingKind::Ended, -1,
                "The factions are not rebuilt: those of the last load stay. At the game's start there are "
                "none\n"
                "yet, so nobody is recruited until a load gets through.");
        // A group made for the entry the load ended in, which never joined the faction list, is never
        // removed.
        const std::string entry = end_.path.substr(0, end_.path.find(']') + 1);
        const bool built =
            std::any_of(built_.begin(), built_.end(), [&](const Node& n) { return n.path == entry; });
        for (const auto& group : groupNames_)
            if (!built && "Factions[" + group.second + "]" == entry)
                Add(FindingKind::Ended, -1,
                    fmt::format("The group \"{}\" made for \"{}\" stays in the game and is never removed.",
                                group.second, entry));
        if (v) Unread(end_.path);
    }

    std::string EndWhy(const Json::Value& v, const std::string& path) const {
        if (path.empty())
            return fmt::format("the document is {}, not an object {{...}}: the load ends at its first key",
                               KindOf(v));
        const std::string list = path.back() == ']' ? path.substr(0, path.rfind('[')) : path;
        const Rule* rule =
            RuleOf(list.substr(list.rfind('.') == std::string::npos ? 0 : list.rfind('.') + 1));
        if (rule && rule->key == std::string("MaxMembers") && v.isNumeric())
            return fmt::format("\"{}\": {} is outside the 32-bit range (-2147483648 to 2147483647)", path,
                               Written(v));
        return fmt::format(
            "\"{}\" is {}{}: {}", path, KindOf(v), v.isString() ? " (" + Written(v) + ")" : "",
            rule && rule->must ? rule->must : fmt::format("the load cannot read it ({})", endWhat_));
    }

    // The keys and entries the load never reached.
    void Unread(const std::string& endPath) {
        auto unread = [&](const Json::Value& object, const std::string& at, const Names& keys) {
            for (const std::string& key : keys) {
                const Json::Value* v =
                    object.isObject() ? object.find(key.data(), key.data() + key.size()) : nullptr;
                if (!v || WasRead(at, key) || EndsIn(Child(at, key))) continue;
                Add(FindingKind::NotRead, *v,
                    fmt::format("\"{}\" not read: the load ended before it", Child(at, key)));
                if (at.empty() && RuleOf(key)->is)
                    c_.sources[key].note = "the file's value is not read: the load ended before it";
            }
        };
        unread(root_, "", KeysOf(false));
        if (endPath.rfind("Factions[", 0) != 0) return;
        const Json::Value& factions = root_["Factions"];
        const auto k = static_cast<Json::ArrayIndex>(std::stoul(endPath.substr(9)));
        unread(factions[k], fmt::format("Factions[{}]", k), KeysOf(true));
        if (k + 1 >= factions.size()) return;
        Add(FindingKind::NotRead, factions[k + 1],
            k + 2 == factions.size()
                ? fmt::format("\"Factions[{}]\" not read: the load ended before it", k + 1)
                : fmt::format("\"Factions[{}]\" to \"Factions[{}]\" not read: the load ended before them",
                              k + 1, factions.size() - 1));
    }
};

}  // namespace

bool CheckedLoad::Has(FindingKind kind) const {
    return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) { return f.kind == kind; });
}

CheckedLoad CheckLoad(const std::string& bytes) {
    CheckedLoad checked;
    checked.text = bytes.substr(ConfigTextStart(bytes));
    Check check(checked);
    ResetScriptState();
    {
        // A fresh game, as at a press of the toggle key: "RIOTER" exists, no faction yet. The loader runs to
        // completion without waiting, so it can be called right here rather than on the script's fibre.
        Simulation sim;
        sim.game.BeginFrame();
        AddRelationshipGroup("RIOTER", &RioterGroup);
        const Names weaponsBefore = SharedWeaponList;
        LoadConfigText(bytes, &check);
        check.Explain(weaponsBefore);
    }
    ResetScriptState();
    return checked;
}
