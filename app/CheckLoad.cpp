#include "app/CheckLoad.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include <fmt/format.h>

#include "app/CheckText.h"
#include "app/GameNames.h"
#include "config/KeyNames.h"
#include "config/LoadConfig.h"
#include "config/LoadObserver.h"
#include "config/WeaponLists.h"
#include "host/Natives.h"
#include "host/ScriptMain.h"
#include "host/ScriptState.h"
#include "sim/Simulation.h"

namespace {

// The key names the check knows, for suggestions; which keys the load reads, it tells itself.
const Names TopKeys = {"EnableKey",   "MaxRioters",  "WeaponsUsedByAllFactions", "PedWeapons",
                       "DisableCops", "PedAccuracy", "RiotersOnlyAttackPlayer",  "Factions"};
const Names FactionKeys = {"MaxMembers", "WillAttackSelf", "Weapons", "MemberModels"};

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

// What the load told, kept with a copy of its document: the loader's own values are gone once it returns.
class Recorder : public LoadObserver {
  public:
    struct Read {
        std::string object;  // path of the object read from: "" or "Factions[1]"
        std::string key;
        const Json::Value* value;  // in the copy; nullptr when the member is absent
        bool applied;
    };
    Json::Value root;
    bool parsed = false;
    std::ptrdiff_t errorOffset = -1;
    std::string error;
    std::vector<Read> reads;
    std::vector<std::string> built;  // entry paths of the factions appended, "" for the default one
    std::map<uint32_t, std::string> groupNames;
    bool ended = false;
    std::string endPath;                    // of the value the load ended at
    const Json::Value* endValue = nullptr;  // in the copy; nullptr when it ended in the reader
    std::string endWhat;

    void Parsed(const Json::Value& document, std::ptrdiff_t offset, const std::string& message) override {
        parsed = true;
        root = document;
        errorOffset = offset;
        error = message;
        Map(document, root, "");
    }
    void KeyRead(const Json::Value& object, const char* key, const Json::Value& value,
                 bool applied) override {
        const auto member = nodes_.find(&value);
        reads.push_back(
            {nodes_.at(&object).path, key, member == nodes_.end() ? nullptr : member->second.copy, applied});
    }
    void FactionBuilt(const Json::Value* entry) override {
        built.push_back(entry ? nodes_.at(entry).path : "");
    }
    void GroupCreated(const std::string& name, uint32_t hash) override { groupNames[hash] = name; }
    void GroupRemoved(uint32_t) override {}
    void Ended(const Json::Value* at, const std::string& what) override {
        ended = true;
        endWhat = what;
        const auto node = at ? nodes_.find(at) : nodes_.end();
        if (node == nodes_.end()) return;
        endPath = node->second.path;
        endValue = node->second.copy;
    }

  private:
    struct Node {
        const Json::Value* copy;
        std::string path;
    };
    std::unordered_map<const Json::Value*, Node> nodes_;

    void Map(const Json::Value& original, const Json::Value& copy, const std::string& path) {
        nodes_[&original] = {&copy, path};
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
};

class Explainer {
  public:
    Explainer(const Recorder& r, CheckedLoad& c, const Names& weaponsBefore)
        : r_(r), c_(c), weaponsBefore_(weaponsBefore) {}

    void Run() {
        ReadText();
        UnknownKeys();
        for (const Recorder::Read& read : r_.reads)
            Step(read);
        if (r_.ended) End();
        if (!r_.ended) Thrown();
    }

  private:
    const Recorder& r_;
    CheckedLoad& c_;
    const Names& weaponsBefore_;

    void Add(FindingKind kind, std::ptrdiff_t offset, std::string message) {
        c_.findings.push_back({kind, offset, std::move(message)});
    }
    void Add(FindingKind kind, const Json::Value& v, std::string message) {
        Add(kind, v.getOffsetStart(), std::move(message));
    }
    std::string Written(const Json::Value& v) const { return SourceOf(c_.text, v); }
    // A value the parser made up where it met its error: it stands for what could not be read.
    bool CutOff(const Json::Value& v) const {
        return c_.parseError && v.isNull() && v.getOffsetStart() >= c_.parseOffset;
    }
    bool WasRead(const std::string& object, const std::string& key) const {
        return std::any_of(r_.reads.begin(), r_.reads.end(), [&](const Recorder::Read& read) {
            return read.object == object && read.key == key;
        });
    }
    bool Applied(const std::string& key) const {
        return std::any_of(r_.reads.begin(), r_.reads.end(),
                           [&](const Recorder::Read& read) { return read.key == key && read.applied; });
    }
    bool EndsIn(const std::string& path) const {
        return r_.ended && (r_.endPath == path || r_.endPath.rfind(path + ".", 0) == 0 ||
                            r_.endPath.rfind(path + "[", 0) == 0);
    }

    // What the parser keeps quiet about, found in the text.
    void ReadText() {
        const std::string& text = c_.text;
        if (!r_.parsed) return;
        if (r_.errorOffset >= 0) {
            if (r_.root.isNull() && SkipBlanksAndComments(text, 0) == text.size()) {
                c_.empty = true;
            } else {
                c_.parseError = true;
                c_.parseOffset = r_.errorOffset;
                c_.parseMessage = ExplainParseError(text, r_.errorOffset, r_.error, c_.notJson);
            }
        } else {
            const std::size_t after =
                SkipBlanksAndComments(text, static_cast<std::size_t>(r_.root.getOffsetLimit()));
            if (after < text.size())
                Add(FindingKind::ChangedNothing, static_cast<std::ptrdiff_t>(after),
                    "text after the end of the document is not read");
            if (r_.root.isNull())
                Add(FindingKind::ChangedNothing, r_.root,
                    "the document is null: it counts as an empty object");
        }
        const std::size_t read = static_cast<std::size_t>(
            c_.parseError ? c_.parseOffset : std::max<std::ptrdiff_t>(0, r_.root.getOffsetLimit()));
        const LineIndex lines(text);
        for (const Repeat& repeat : RepeatedKeys(text, std::min(read, text.size())))
            Add(FindingKind::ChangedNothing, repeat.first,
                fmt::format("\"{}\" is given again on line {}: only the later one counts", repeat.path,
                            lines.Of(repeat.later, false).line));
    }

    void Unknown(const Json::Value& v, const std::string& key, const std::string& where, const Names& known) {
        const std::string guess = SuggestKey(key, known);
        std::string message = fmt::format("unknown key \"{}\"{}", key, where);
        if (guess.empty()) {
            message += ": ignored";
        } else if (SameLetters(guess, key)) {
            message += fmt::format(": did you mean \"{}\"? Key names are case-sensitive", guess);
        } else {
            message += fmt::format(": did you mean \"{}\"?", guess);
        }
        Add(FindingKind::ChangedNothing, v, message);
    }

    void UnknownKeys() {
        if (r_.root.isObject()) {
            for (const std::string& key : r_.root.getMemberNames()) {
                const Json::Value& v = r_.root[key];
                if (Has(FactionKeys, key)) {
                    Add(FindingKind::ChangedNothing, v,
                        fmt::format(
                            "\"{}\" is a key of a faction entry: at the top level it is ignored{}", key,
                            key == "Weapons" ? " (the shared list is \"WeaponsUsedByAllFactions\")" : ""));
                } else if (!Has(TopKeys, key)) {
                    Unknown(v, key, "", TopKeys);
                }
            }
        }
        const Json::Value& factions = r_.root.isObject() ? r_.root["Factions"] : Json::Value::nullSingleton();
        std::unordered_set<std::string> readFrom;  // the entries the load reached
        for (const Recorder::Read& read : r_.reads)
            readFrom.insert(read.object);
        for (Json::ArrayIndex k = 0; factions.isArray() && k < factions.size(); ++k) {
            const std::string at = fmt::format("Factions[{}]", k);
            const Json::Value& entry = factions[k];
            if (!EndsIn(at) && !readFrom.count(at)) continue;
            if (entry.isNull() && !CutOff(entry))
                Add(FindingKind::Warning, entry,
                    fmt::format(
                        "\"{}\" is null: it is built as an empty faction (cap 20, a group of its own)", at));
            if (!entry.isObject()) continue;
            for (const std::string& key : entry.getMemberNames()) {
                if (Has(FactionKeys, key)) continue;
                if (Has(TopKeys, key)) {
                    Add(FindingKind::ChangedNothing, entry[key],
                        fmt::format("\"{}.{}\" is a top-level key: inside a faction it is ignored", at, key));
                } else {
                    Unknown(entry[key], key, " in \"" + at + "\"", FactionKeys);
                }
            }
        }
    }

    SettingSource* SettingOf(const std::string& key) {
        if (key == "EnableKey") return &c_.enableKey;
        if (key == "MaxRioters") return &c_.maxRioters;
        if (key == "DisableCops") return &c_.disableCops;
        if (key == "PedAccuracy") return &c_.pedAccuracy;
        if (key == "RiotersOnlyAttackPlayer") return &c_.riotersOnlyAttackPlayer;
        return nullptr;
    }

    // A setting the file's value left as it was: the finding, and the note on the setting's row.
    void Unapplied(const Json::Value& v, std::string finding, const std::string& why, SettingSource& source) {
        Add(FindingKind::ChangedNothing, v, std::move(finding));
        source.note = CutOff(v) ? "the file's value is cut off by the parse error" : "the file's " + why;
    }

    void Step(const Recorder::Read& read) {
        if (!read.value) return;
        const Json::Value& v = *read.value;
        const std::string path = Child(read.object, read.key);
        if (SettingSource* source = SettingOf(read.key)) {
            if (read.applied) {
                *source = {true, v.getOffsetStart(), ""};
                if (read.key == "MaxRioters" && v.asInt() <= 0)
                    Add(FindingKind::Warning, v,
                        fmt::format("\"MaxRioters\": {} lets nobody be recruited", Written(v)));
                if (read.key == "RiotersOnlyAttackPlayer" && !v.isBool())
                    Add(FindingKind::Warning, v,
                        fmt::format("\"RiotersOnlyAttackPlayer\": the number {} counts as true", Written(v)));
            } else {
                SettingUnapplied(read.key, v, *source);
            }
        } else if (read.key == "WeaponsUsedByAllFactions" || read.key == "PedWeapons") {
            SharedList(read, v);
        } else if (read.key == "Factions" && !read.applied) {
            Add(FindingKind::ChangedNothing, v,
                v.isArray()
                    ? std::string("\"Factions\" is an empty array: the default faction is built instead")
                    : fmt::format("\"Factions\" is {}, not an array: the default faction is built instead",
                                  KindOf(v)));
        } else if (read.key == "MaxMembers") {
            Cap(v, path);
        } else if (read.key == "WillAttackSelf") {
            if (!v.isBool() && !v.isNull())
                Add(FindingKind::Warning, v,
                    fmt::format("\"{}\": the number {} counts as {}", path, Written(v),
                                v.asBool() ? "true" : "false"));
            if (v.isNull() && !CutOff(v))
                Add(FindingKind::Warning, v, fmt::format("\"{}\": null counts as false", path));
        } else if (read.key == "Weapons" || read.key == "MemberModels") {
            const bool weapons = read.key == "Weapons";
            if (read.applied) {
                if (weapons && v.size() == 0)
                    Add(FindingKind::Warning, v,
                        fmt::format("\"{}\" is empty: the faction draws from the shared list", path));
                ListNames(v, path, weapons ? NameKind::Weapon : NameKind::Model, false);
            } else {
                Add(FindingKind::ChangedNothing, v,
                    fmt::format("\"{}\" is {}, not an array: {}", path, KindOf(v),
                                weapons ? "the faction draws from the shared list"
                                        : "the faction's rioters are random pedestrians"));
            }
        }
    }

    void SettingUnapplied(const std::string& key, const Json::Value& v, SettingSource& source) {
        const std::string written = Written(v);
        const bool cut = CutOff(v);
        if (key == "EnableKey") {
            std::string why = "is not a key name: names are \"F1\" to \"F8\", in quotes";
            if (cut) {
                why = "is cut off by the parse error";
            } else if (v.isString()) {
                const std::string name = v.asString();
                const std::string trimmed = Trimmed(name);
                int32_t code = 0;
                why = "is not a key name: names are \"F1\" to \"F8\"";
                for (const auto& entry : KeyNameTable)
                    if (SameLetters(entry.first, name)) why += ", case-sensitive";
                if (trimmed != name && LookupKeyName(trimmed, &code))
                    why = fmt::format("is not a key name: no blanks around it, write \"{}\"", trimmed);
            } else if (v.isInt() && v.asInt() >= 112 && v.asInt() <= 119) {
                why = fmt::format("is not a key name: write the key's name in quotes, \"F{}\"",
                                  v.asInt() - 111);
            }
            Unapplied(v, cut ? "\"EnableKey\" " + why : fmt::format("\"EnableKey\": {} {}", written, why),
                      written + " " + why, source);
        } else if (key == "MaxRioters") {
            std::string why = written + " is not a number";
            if (v.isString()) {
                why = written + " is a text: write the number without quotes";
            } else if (v.type() == Json::realValue && v.asDouble() >= INT_MIN && v.asDouble() <= INT_MAX) {
                why = written + " is not a whole number";
            } else if (v.isNumeric()) {
                why = written + " is outside the whole numbers it takes (-2147483648 to 2147483647)";
            }
            Unapplied(v, cut ? "\"MaxRioters\" is cut off by the parse error" : "\"MaxRioters\": " + why, why,
                      source);
        } else if (key == "DisableCops" || key == "PedAccuracy") {
            const bool cops = key == "DisableCops";
            std::string why = written + (cops ? " is not true or false" : " is not a number");
            if (cut) {
                why = "the value is cut off by the parse error";
            } else if (v.isString()) {
                why = cops ? why + ": write true or false without quotes"
                           : written + " is a text: write the number without quotes";
            }
            Unapplied(v, fmt::format("\"{}\": {}", key, why), why, source);
        } else if (cut) {
            Add(FindingKind::ChangedNothing, v, "\"RiotersOnlyAttackPlayer\" is cut off by the parse error");
        } else if (v.isNull()) {
            Unapplied(v, "\"RiotersOnlyAttackPlayer\": null is not true or false",
                      "null is not true or false", source);
        } else {
            source.note =
                fmt::format("the file's {} leaves it as it is: a file can switch it on, never off", written);
        }
    }

    void SharedList(const Recorder::Read& read, const Json::Value& v) {
        const bool all = read.key == "WeaponsUsedByAllFactions";
        if (read.applied) {
            c_.weaponsKey = read.key;
            c_.weaponsOffset = v.getOffsetStart();
            bool thrownOnly = v.size() > 0;
            for (const Json::Value& entry : v)
                thrownOnly = thrownOnly && entry.isString() && IsThrowable(entry.asString());
            if (v.size() == 0)
                Add(FindingKind::Warning, v,
                    fmt::format("\"{}\" is empty: factions without weapons of their own get none from it",
                                read.key));
            if (thrownOnly)
                Add(FindingKind::Warning, v,
                    fmt::format(
                        "\"{}\" holds only thrown weapons, which are taken out: the shared list ends empty",
                        read.key));
            ListNames(v, read.key, NameKind::Weapon, true);
        } else if (!all && Applied("WeaponsUsedByAllFactions")) {
            Add(FindingKind::ChangedNothing, v,
                "\"PedWeapons\" is ignored: \"WeaponsUsedByAllFactions\" is an array and is read instead");
        } else {
            Add(FindingKind::ChangedNothing, v,
                fmt::format("\"{}\" is {}, not an array: changed nothing{}", read.key, KindOf(v),
                            all && Applied("PedWeapons") ? "; \"PedWeapons\" is read instead" : ""));
        }
    }

    // The entries of a list of names that the load read (up to where it ended), each against the game's
    // names.
    void ListNames(const Json::Value& list, const std::string& path, NameKind kind, bool shared) {
        for (Json::ArrayIndex k = 0; k < list.size(); ++k) {
            const Json::Value& entry = list[k];
            const std::string at = fmt::format("{}[{}]", path, k);
            if (EndsIn(at)) return;
            const std::string name = entry.asString();
            if (CutOff(entry)) {
                Add(FindingKind::Warning, entry,
                    fmt::format("\"{}\" is cut off by the parse error and becomes the empty name \"\"", at));
            } else if (entry.isNull()) {
                Add(FindingKind::Warning, entry,
                    fmt::format("\"{}\" is null and becomes the empty name \"\"", at));
            } else if (!entry.isString()) {
                Add(FindingKind::Warning, entry,
                    fmt::format("\"{}\": {} is not a text and becomes the name \"{}\"", at, Written(entry),
                                name));
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
        if (verdict.known) return;
        const char* what = kind == NameKind::Weapon ? "a weapon" : "a ped model";
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

    void Cap(const Json::Value& v, const std::string& path) {
        if (v.isNull()) {
            Add(FindingKind::Warning, v,
                CutOff(v)
                    ? fmt::format("\"{}\" is cut off by the parse error and counts as 0: it recruits nobody",
                                  path)
                    : fmt::format("\"{}\": null counts as 0: it recruits nobody", path));
            return;
        }
        if (v.isBool())
            Add(FindingKind::Warning, v, fmt::format("\"{}\": {} counts as {}", path, Written(v), v.asInt()));
        if (v.type() == Json::realValue && v.asDouble() != std::trunc(v.asDouble()))
            Add(FindingKind::Warning, v, fmt::format("\"{}\": {} is cut to {}", path, Written(v), v.asInt()));
        if (v.asInt() == 0) Add(FindingKind::Warning, v, fmt::format("\"{}\": 0 recruits nobody", path));
    }

    void End() {
        c_.ended = true;
        const char* kept =
            "The factions are not rebuilt: those of the last load stay. At the game's start there are none "
            "yet, so";
        const char* keptMore = "nobody is recruited until a load gets through.";
        if (!r_.endValue) {
            c_.endOffset = r_.parsed ? -1 : DeepestOffset(c_.text);
            c_.endWhy =
                r_.parsed ? "the load ran out of memory"
                          : "the file nests arrays and objects more than 1000 deep, and the reader gives up";
            c_.endEffect = {"Nothing changed: the settings and the shared weapons keep their values.", kept,
                            keptMore};
            return;
        }
        const Json::Value& v = *r_.endValue;
        const std::string& path = r_.endPath;
        c_.endOffset = v.getOffsetStart();
        c_.endWhy = EndWhy(v, path);
        if (path.empty()) {
            c_.endEffect = {"Nothing changed: the settings and the shared weapons keep their values.", kept,
                            keptMore};
        } else if (WasRead("", "Factions")) {
            const std::size_t built = c_.factions.size();
            c_.endEffect = {
                "The settings and the shared weapons are applied. The groups of the last load's factions are",
                fmt::format("removed, and the faction list holds only the {} {} built before it{}.", built,
                            built == 1 ? "faction" : "factions",
                            built == 0 ? ": no faction at all, so nobody is recruited" : "")};
            const std::string entry = path.substr(0, path.find(']') + 1);
            const auto group =
                std::find_if(r_.groupNames.begin(), r_.groupNames.end(),
                             [&](const auto& named) { return "Factions[" + named.second + "]" == entry; });
            if (std::find(r_.built.begin(), r_.built.end(), entry) != r_.built.end()) {
                c_.endEffect.push_back(fmt::format(
                    "\"{}\" is in the faction list with the models before the bad entry.", entry));
            } else if (group != r_.groupNames.end()) {
                c_.endEffect.push_back(
                    fmt::format("\"{}\" is not in the faction list, and the group \"{}\" made for it "
                                "stays in the game and is never removed.",
                                entry, group->second));
            } else {
                c_.endEffect.push_back(fmt::format("\"{}\" is not built.", entry));
            }
        } else if (path.rfind(c_.weaponsKey + "[", 0) == 0 && !c_.weaponsKey.empty()) {
            c_.endEffect = {
                "The shared weapons hold the entries before the bad one; nothing after it is read.", kept,
                keptMore};
        } else {
            c_.endEffect = {"What was read before it is applied; nothing after it is read.", kept, keptMore};
        }
        Names thrown;
        for (const std::string& name : c_.weapons)
            if (IsThrowable(name) && !Has(thrown, name)) thrown.push_back(name);
        if (!thrown.empty()) {
            std::string list;
            for (const std::string& name : thrown)
                list += (list.empty() ? "" : ", ") + name;
            c_.endEffect.push_back(
                "The thrown weapons are not taken out of the shared list (the last step of a load):");
            c_.endEffect.push_back(list + (thrown.size() == 1 ? " stays in it." : " stay in it."));
        }
        NotRead(path);
    }

    std::string EndWhy(const Json::Value& v, const std::string& path) const {
        if (path.empty())
            return fmt::format("the document is {}, not an object {{...}}: the load ends at its first key",
                               KindOf(v));
        const std::string kind = KindOf(v) + (v.isString() ? " (" + Written(v) + ")" : "");
        const std::string parent = path.back() == ']' ? path.substr(0, path.rfind('[')) : "";
        const std::string key = path.substr(path.rfind('.') == std::string::npos ? 0 : path.rfind('.') + 1);
        if (parent == "Factions")
            return fmt::format("\"{}\" is {}: a faction must be an object {{...}}", path, KindOf(v));
        if (!parent.empty())
            return fmt::format(
                "\"{}\" is {}: a {} name must be a text", path, KindOf(v),
                parent.size() >= 12 && parent.compare(parent.size() - 12, 12, "MemberModels") == 0
                    ? "model"
                    : "weapon");
        if (key == "EnableKey")
            return fmt::format("\"EnableKey\" is {}: a key name must be a text such as \"F6\"", KindOf(v));
        if (key == "MaxMembers" && v.isNumeric())
            return fmt::format("\"{}\": {} is outside the 32-bit range (-2147483648 to 2147483647)", path,
                               Written(v));
        if (key == "MaxMembers") return fmt::format("\"{}\" is {}: a cap must be a number", path, kind);
        if (key == "RiotersOnlyAttackPlayer" || key == "WillAttackSelf")
            return fmt::format("\"{}\" is {}: it must be true or false", path, kind);
        return fmt::format("\"{}\" is {}: the load cannot read it ({})", path, KindOf(v), r_.endWhat);
    }

    // The keys and entries the load never reached.
    void NotRead(const std::string& endPath) {
        auto unread = [&](const Json::Value& object, const std::string& at, const Names& keys) {
            for (const std::string& key : keys) {
                const Json::Value* v =
                    object.isObject() ? object.find(key.data(), key.data() + key.size()) : nullptr;
                const std::string path = Child(at, key);
                if (!v || WasRead(at, key) || EndsIn(path)) continue;
                Add(FindingKind::NotRead, *v, fmt::format("\"{}\" not read: the load ended before it", path));
                if (SettingSource* source = at.empty() ? SettingOf(key) : nullptr)
                    source->note = "the file's value is not read: the load ended before it";
            }
        };
        unread(r_.root, "", TopKeys);
        if (endPath.rfind("Factions[", 0) != 0) return;
        const Json::Value& factions = r_.root["Factions"];
        const Json::ArrayIndex k = static_cast<Json::ArrayIndex>(std::stoul(endPath.substr(9)));
        const std::string entry = fmt::format("Factions[{}]", k);
        unread(factions[k], entry, FactionKeys);
        if (k + 1 >= factions.size()) return;
        Add(FindingKind::NotRead, factions[k + 1],
            k + 2 == factions.size()
                ? fmt::format("\"Factions[{}]\" not read: the load ended before it", k + 1)
                : fmt::format("\"Factions[{}]\" to \"Factions[{}]\" not read: the load ended before them",
                              k + 1, factions.size() - 1));
    }

    // What the end of a completed load took out of the shared list.
    void Thrown() {
        Names before = weaponsBefore_;
        if (!c_.weaponsKey.empty()) {
            before.clear();
            for (const Json::Value& entry : r_.root[c_.weaponsKey])
                before.push_back(entry.asString());
        }
        for (const std::string& name : before)
            if (IsThrowable(name) && !Has(c_.thrownRemoved, name)) c_.thrownRemoved.push_back(name);
    }
};

}  // namespace

CheckedLoad CheckLoad(const std::string& bytes) {
    CheckedLoad checked;
    checked.text = bytes.substr(ConfigTextStart(bytes));
    Recorder recorder;
    ResetScriptState();
    const Names weaponsBefore = SharedWeaponList;
    {
        // A fresh game, as at a press of the toggle key: "RIOTER" exists, no faction yet. The loader runs to
        // completion without waiting, so it can be called right here rather than on the script's fibre.
        Simulation sim;
        sim.game.BeginFrame();
        AddRelationshipGroup("RIOTER", &RioterGroup);
        LoadConfigText(bytes, &recorder);
        checked.settings = Settings;
        checked.weapons = SharedWeaponList;
        for (std::size_t k = 0; k < FactionList.size(); ++k) {
            const Faction& f = FactionList[k];
            const auto named = recorder.groupNames.find(f.GroupHash);
            std::string group = f.GroupHash == 0 ? "" : f.GroupHash == RioterGroup ? "RIOTER" : "?";
            if (named != recorder.groupNames.end() && !f.IsDefault) group = named->second;
            const std::string& entry = k < recorder.built.size() ? recorder.built[k] : "";
            const Json::Value& document = recorder.root;
            const Json::Value* at =
                entry.empty()
                    ? nullptr
                    : &document["Factions"][static_cast<Json::ArrayIndex>(std::stoul(entry.substr(9)))];
            checked.factions.push_back({f, group, at ? at->getOffsetStart() : -1});
        }
    }
    ResetScriptState();
    Explainer(recorder, checked, weaponsBefore).Run();
    return checked;
}
