#include "app/CheckWalk.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

#include <fmt/format.h>
#include <json/json.h>

#include "app/CheckText.h"
#include "config/KeyNames.h"
#include "config/WeaponLists.h"

namespace {

const Names TopKeys = {"EnableKey",   "MaxRioters",  "WeaponsUsedByAllFactions", "PedWeapons",
                       "DisableCops", "PedAccuracy", "RiotersOnlyAttackPlayer",  "Factions"};
const Names FactionKeys = {"MaxMembers", "WillAttackSelf", "Weapons", "MemberModels"};

// The position of each top-level key in the loader's order of steps; both weapon keys are one step.
int StepOf(const std::string& key) {
    for (std::size_t k = 0; k < TopKeys.size(); ++k)
        if (TopKeys[k] == key) return k <= 2 ? static_cast<int>(k) : static_cast<int>(k) - 1;
    return -1;
}

struct Repeat {
    std::string path;
    std::ptrdiff_t first;  // the occurrence the parser drops
    std::ptrdiff_t later;  // the one it keeps
};

// Keys given twice in one object: the parser keeps the later value and drops the earlier one without a word.
std::vector<Repeat> RepeatedKeys(const std::string& text, std::size_t end) {
    struct Level {
        bool object;
        bool expectKey;
        std::string path;
        Json::ArrayIndex index;
        std::map<std::string, std::ptrdiff_t> keys;
        std::string key;
    };
    std::vector<Repeat> repeats;
    std::vector<Level> levels;
    auto childPath = [&]() {
        if (levels.empty()) return std::string();
        const Level& top = levels.back();
        if (!top.object) return fmt::format("{}[{}]", top.path, top.index);
        return top.path.empty() ? top.key : top.path + "." + top.key;
    };
    for (std::size_t k = SkipBlanksAndComments(text, 0); k < end; k = SkipBlanksAndComments(text, k)) {
        const char c = text[k];
        if (c == '"') {
            std::size_t close = k + 1;
            while (close < end && text[close] != '"')
                close += text[close] == '\\' ? 2 : 1;
            if (close >= end) break;
            if (!levels.empty() && levels.back().object && levels.back().expectKey) {
                Level& top = levels.back();
                top.key = text.substr(k + 1, close - k - 1);
                const auto seen = top.keys.find(top.key);
                if (seen != top.keys.end()) {
                    repeats.push_back({childPath(), seen->second, static_cast<std::ptrdiff_t>(k)});
                    seen->second = static_cast<std::ptrdiff_t>(k);
                } else {
                    top.keys[top.key] = static_cast<std::ptrdiff_t>(k);
                }
                top.expectKey = false;
            }
            k = close + 1;
        } else if (c == '{' || c == '[') {
            levels.push_back({c == '{', c == '{', childPath(), 0, {}, ""});
            ++k;
        } else if (c == '}' || c == ']') {
            if (!levels.empty()) levels.pop_back();
            ++k;
        } else if (c == ',') {
            if (!levels.empty()) {
                if (levels.back().object) {
                    levels.back().expectKey = true;
                } else {
                    ++levels.back().index;
                }
            }
            ++k;
        } else {
            ++k;
        }
    }
    return repeats;
}

// Unwinds the walk where the loader's load ends.
struct LoadEnds {};

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

// Why a value is not a whole number in the 32-bit range, as isInt sees it.
std::string WhyNotWhole(const Json::Value& v, const std::string& text) {
    const std::string written = SourceOf(text, v);
    if (v.isString()) return fmt::format("{} is a text: write the number without quotes", written);
    if (v.isNumeric()) {
        const double d = v.asDouble();
        if (v.type() == Json::realValue && d >= INT_MIN && d <= INT_MAX)
            return written + " is not a whole number";
        return written + " is outside the whole numbers it takes (-2147483648 to 2147483647)";
    }
    return written + " is not a number";
}

class Walker {
  public:
    Walker(const std::string& text, const LoadState& before, uint32_t rioterGroup)
        : text_(text), before_(before), rioterGroup_(rioterGroup) {
        r_.predicted.settings = before.settings;
        r_.predicted.weapons = before.weapons;
        r_.predicted.factions = before.factions;
    }

    WalkResult Run() {
        if (!Parse()) return r_;
        try {
            Document();
            EnableKey();
            MaxRioters();
            SharedWeapons();
            DisableCops();
            PedAccuracy();
            RiotersOnlyAttackPlayer();
            Factions();
            RemoveThrowables();
        } catch (const LoadEnds&) {
        }
        return r_;
    }

  private:
    const std::string& text_;
    const LoadState& before_;
    uint32_t rioterGroup_;
    WalkResult r_;
    Json::Value root_;
    int step_ = -1;         // the top-level step in progress
    int faction_ = -1;      // the faction entry in progress
    int factionStep_ = -1;  // its key in progress, in FactionKeys order

    void Add(FindingKind kind, std::ptrdiff_t offset, std::string message) {
        r_.findings.push_back({kind, offset, std::move(message)});
    }
    void Add(FindingKind kind, const Json::Value& v, std::string message) {
        Add(kind, v.getOffsetStart(), std::move(message));
    }
    // A setting the file's value left as it was: the finding, and the note on the setting's row.
    void Unapplied(const Json::Value& v, std::string finding, const std::string& why, SettingSource& source) {
        Add(FindingKind::ChangedNothing, v, std::move(finding));
        source.note = CutOff(v) ? "the file's value is cut off by the parse error" : "the file's " + why;
    }
    const Json::Value* Member(const Json::Value& object, const char* key) const {
        return object.isObject() ? object.find(key, key + std::char_traits<char>::length(key)) : nullptr;
    }
    // A value the parser made up where it met its error: it stands for what could not be read.
    bool CutOff(const Json::Value& v) const {
        return r_.parseError && v.isNull() && v.getOffsetStart() >= r_.parseOffset;
    }
    std::string Written(const Json::Value& v) const { return SourceOf(text_, v); }
    SettingSource* SettingOf(const std::string& key) {
        if (key == "EnableKey") return &r_.enableKey;
        if (key == "MaxRioters") return &r_.maxRioters;
        if (key == "DisableCops") return &r_.disableCops;
        if (key == "PedAccuracy") return &r_.pedAccuracy;
        if (key == "RiotersOnlyAttackPlayer") return &r_.riotersOnlyAttackPlayer;
        return nullptr;
    }
    // Lookups through a const value never add members.
    const Json::Value& Root() const { return root_; }

    [[noreturn]] void End(LoadEnd where, const Json::Value& v, std::string why) {
        r_.end = where;
        r_.endOffset = v.getOffsetStart();
        r_.endWhy = std::move(why);
        if (where == LoadEnd::InFactions)
            r_.endFaction = fmt::format("\"Factions[{}]\" is not built", faction_);
        MarkUnread();
        throw LoadEnds();
    }

    void MarkUnread() {
        if (!root_.isObject()) return;
        for (const std::string& key : root_.getMemberNames()) {
            const int step = StepOf(key);
            if (step <= step_) continue;
            Add(FindingKind::NotRead, Root()[key],
                fmt::format("\"{}\" not read: the load ended before it", key));
            if (SettingSource* source = SettingOf(key))
                source->note = "the file's value is not read: the load ended before it";
        }
        const Json::Value* factions = Member(root_, "Factions");
        if (faction_ < 0 || !factions) return;
        const Json::Value& entry = (*factions)[static_cast<Json::ArrayIndex>(faction_)];
        for (std::size_t k = 0; k < FactionKeys.size(); ++k) {
            const Json::Value* v = Member(entry, FactionKeys[k].c_str());
            if (v && static_cast<int>(k) > factionStep_)
                Add(FindingKind::NotRead, *v,
                    fmt::format("\"Factions[{}].{}\" not read: the load ended before it", faction_,
                                FactionKeys[k]));
        }
        const Json::ArrayIndex next = static_cast<Json::ArrayIndex>(faction_) + 1;
        if (next < factions->size()) {
            const std::string which =
                next + 1 == factions->size()
                    ? fmt::format("\"Factions[{}]\"", next)
                    : fmt::format("\"Factions[{}]\" to \"Factions[{}]\"", next, factions->size() - 1);
            Add(FindingKind::NotRead, (*factions)[next],
                which + (next + 1 == factions->size() ? " not read: the load ended before it"
                                                      : " not read: the load ended before them"));
        }
    }

    bool Parse() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Json::Reader reader;
#pragma GCC diagnostic pop
        try {
            reader.parse(text_, root_, false);
        } catch (const std::exception&) {
            r_.end = LoadEnd::InParse;
            r_.endOffset = DeepestOffset();
            r_.endWhy = "the file nests arrays and objects more than 1000 deep, and the reader gives up";
            return false;
        }
        const auto errors = reader.getStructuredErrors();
        if (!errors.empty()) {
            if (root_.isNull() && SkipBlanksAndComments(text_, 0) == text_.size()) {
                r_.empty = true;
            } else {
                r_.parseError = true;
                r_.parseOffset = errors.front().offset_start;
                r_.parseMessage = errors.front().message;
            }
        } else {
            const std::size_t after =
                SkipBlanksAndComments(text_, static_cast<std::size_t>(root_.getOffsetLimit()));
            if (after < text_.size())
                Add(FindingKind::ChangedNothing, static_cast<std::ptrdiff_t>(after),
                    "text after the end of the document is not read");
        }
        const std::size_t read =
            r_.parseError ? static_cast<std::size_t>(r_.parseOffset)
                          : static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, root_.getOffsetLimit()));
        const LineIndex lines(text_);
        for (const Repeat& repeat : RepeatedKeys(text_, std::min(read, text_.size())))
            Add(FindingKind::ChangedNothing, repeat.first,
                fmt::format("\"{}\" is given again on line {}: only the later one counts", repeat.path,
                            lines.LineOf(repeat.later)));
        return true;
    }

    // Where the reader meets its nesting limit: the first value inside 1000 open arrays and objects.
    std::ptrdiff_t DeepestOffset() const {
        int depth = 0;
        for (std::size_t k = 0; k < text_.size(); ++k) {
            const std::size_t at = SkipBlanksAndComments(text_, k);
            if (at >= text_.size()) break;
            k = at;
            const char c = text_[k];
            if (c == '"') {
                if (depth >= 1000) return static_cast<std::ptrdiff_t>(k);
                for (++k; k < text_.size() && text_[k] != '"'; ++k)
                    if (text_[k] == '\\') ++k;
            } else if (c == '[' || c == '{') {
                if (depth >= 1000) return static_cast<std::ptrdiff_t>(k);
                ++depth;
            } else if (c == ']' || c == '}') {
                --depth;
            } else if (c != ',' && c != ':' && depth >= 1000) {
                return static_cast<std::ptrdiff_t>(k);
            }
        }
        return -1;
    }

    void Document() {
        if (root_.isNull()) {
            if (!r_.empty && !r_.parseError)
                Add(FindingKind::ChangedNothing, root_, "the document is null: it counts as an empty object");
        } else if (!root_.isObject()) {
            End(LoadEnd::AtDocument, root_,
                fmt::format("the document is {}, not an object {{...}}: the load ends at its first key",
                            KindOf(root_)));
        }
        if (!root_.isObject()) return;
        for (const std::string& key : root_.getMemberNames()) {
            if (StepOf(key) >= 0) continue;
            const Json::Value& v = Root()[key];
            if (std::find(FactionKeys.begin(), FactionKeys.end(), key) != FactionKeys.end()) {
                Add(FindingKind::ChangedNothing, v,
                    fmt::format(
                        "\"{}\" is a key of a faction entry: at the top level it is ignored{}", key,
                        key == "Weapons" ? " (the shared list is \"WeaponsUsedByAllFactions\")" : ""));
            } else {
                Unknown(v, key, "", TopKeys);
            }
        }
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

    void EnableKey() {
        step_ = 0;
        const Json::Value* v = Member(root_, "EnableKey");
        if (!v) return;
        if (v->isArray() || v->isObject())
            End(LoadEnd::InSettings, *v,
                fmt::format("\"EnableKey\" is {}: a key name must be a text such as \"F6\"", KindOf(*v)));
        int32_t code = 0;
        const std::string name = v->asString();
        if (LookupKeyName(name, &code)) {
            r_.predicted.settings.EnableKey = code;
            r_.enableKey = {true, v->getOffsetStart(), ""};
            return;
        }
        std::string why;
        if (CutOff(*v)) {
            why = "is cut off by the parse error";
        } else if (v->isString()) {
            std::string fold;
            for (const auto& entry : KeyNameTable)
                if (SameLetters(entry.first, name)) fold = entry.first;
            std::string trimmed = name;
            trimmed.erase(0, trimmed.find_first_not_of(" \t"));
            trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
            if (!fold.empty()) {
                why = "is not a key name: names are \"F1\" to \"F8\", case-sensitive";
            } else if (LookupKeyName(trimmed, &code)) {
                why = fmt::format("is not a key name: no blanks around it, write \"{}\"", trimmed);
            } else {
                why = "is not a key name: names are \"F1\" to \"F8\"";
            }
        } else if (v->isNumeric() && v->isInt() && v->asInt() >= 112 && v->asInt() <= 119) {
            why = fmt::format("is not a key name: write the key's name in quotes, \"F{}\"", v->asInt() - 111);
        } else {
            why = "is not a key name: names are \"F1\" to \"F8\", in quotes";
        }
        Unapplied(*v,
                  CutOff(*v) ? "\"EnableKey\" " + why : fmt::format("\"EnableKey\": {} {}", Written(*v), why),
                  Written(*v) + " " + why, r_.enableKey);
    }

    void MaxRioters() {
        step_ = 1;
        const Json::Value* v = Member(root_, "MaxRioters");
        if (!v) return;
        if (v->isInt()) {
            r_.predicted.settings.MaxRioters = v->asInt();
            r_.maxRioters = {true, v->getOffsetStart(), ""};
            if (v->asInt() <= 0)
                Add(FindingKind::Warning, *v,
                    fmt::format("\"MaxRioters\": {} lets nobody be recruited", Written(*v)));
            return;
        }
        const std::string why = WhyNotWhole(*v, text_);
        Unapplied(*v, CutOff(*v) ? "\"MaxRioters\" is cut off by the parse error" : "\"MaxRioters\": " + why,
                  why, r_.maxRioters);
    }

    void SharedWeapons() {
        step_ = 2;
        const Json::Value* all = Member(root_, "WeaponsUsedByAllFactions");
        const Json::Value* ped = Member(root_, "PedWeapons");
        const Json::Value* chosen = nullptr;
        if (all && all->isArray()) {
            chosen = all;
            r_.weaponsKey = "WeaponsUsedByAllFactions";
            if (ped)
                Add(FindingKind::ChangedNothing, *ped,
                    "\"PedWeapons\" is ignored: \"WeaponsUsedByAllFactions\" is an array and is read "
                    "instead");
        } else {
            if (all)
                Add(FindingKind::ChangedNothing, *all,
                    fmt::format("\"WeaponsUsedByAllFactions\" is {}, not an array: changed nothing{}",
                                KindOf(*all),
                                ped && ped->isArray() ? "; \"PedWeapons\" is read instead" : ""));
            if (ped && ped->isArray()) {
                chosen = ped;
                r_.weaponsKey = "PedWeapons";
            } else if (ped) {
                Add(FindingKind::ChangedNothing, *ped,
                    fmt::format("\"PedWeapons\" is {}, not an array: changed nothing", KindOf(*ped)));
            }
        }
        if (!chosen) return;
        r_.weaponsOffset = chosen->getOffsetStart();
        r_.predicted.weapons.clear();
        ReadNames(*chosen, r_.weaponsKey, r_.predicted.weapons, true, LoadEnd::InSharedWeapons);
        if (chosen->size() == 0) {
            Add(FindingKind::Warning, *chosen,
                fmt::format("\"{}\" is empty: factions without weapons of their own get none from it",
                            r_.weaponsKey));
        } else if (std::all_of(r_.predicted.weapons.begin(), r_.predicted.weapons.end(), IsThrowable)) {
            Add(FindingKind::Warning, *chosen,
                fmt::format(
                    "\"{}\" holds only thrown weapons, which are taken out: the shared list ends empty",
                    r_.weaponsKey));
        }
    }

    // Reads a list of names as the loader does: each entry converted to text, an array or object ends the
    // load.
    void ReadNames(const Json::Value& array, const std::string& path, Names& into, bool weapons,
                   LoadEnd stage) {
        for (Json::ArrayIndex k = 0; k < array.size(); ++k) {
            const Json::Value& entry = array[k];
            const std::string at = fmt::format("{}[{}]", path, k);
            if (entry.isArray() || entry.isObject())
                End(stage, entry,
                    fmt::format("\"{}\" is {}: a {} name must be a text", at, KindOf(entry),
                                weapons ? "weapon" : "model"));
            const std::string name = entry.asString();
            into.push_back(name);
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
            } else if (weapons) {
                for (const std::string& thrown : ThrowableList)
                    if (name != thrown && SameLetters(name, thrown))
                        Add(FindingKind::Warning, entry,
                            fmt::format(
                                "\"{}\": \"{}\" is the thrown weapon {} in other letters, so it is not taken "
                                "out of the shared list",
                                at, name, thrown));
                if (!SameLetters(name.substr(0, 7), "WEAPON_"))
                    Add(FindingKind::Warning, entry,
                        fmt::format(
                            "\"{}\": \"{}\" does not start with WEAPON_, as the game's weapon names do", at,
                            name));
            }
        }
    }

    void DisableCops() {
        step_ = 3;
        const Json::Value* v = Member(root_, "DisableCops");
        if (!v) return;
        if (v->isBool()) {
            r_.predicted.settings.DisableCops = v->asBool();
            r_.disableCops = {true, v->getOffsetStart(), ""};
            return;
        }
        std::string why = Written(*v) + " is not true or false";
        if (CutOff(*v)) {
            why = "the value is cut off by the parse error";
        } else if (v->isString()) {
            why += ": write true or false without quotes";
        }
        Unapplied(*v, "\"DisableCops\": " + why, why, r_.disableCops);
    }

    void PedAccuracy() {
        step_ = 4;
        const Json::Value* v = Member(root_, "PedAccuracy");
        if (!v) return;
        if (v->isNumeric()) {
            r_.predicted.settings.PedAccuracy = v->asDouble();
            r_.pedAccuracy = {true, v->getOffsetStart(), ""};
            return;
        }
        std::string why = Written(*v) + " is not a number";
        if (CutOff(*v)) {
            why = "the value is cut off by the parse error";
        } else if (v->isString()) {
            why = Written(*v) + " is a text: write the number without quotes";
        }
        Unapplied(*v, "\"PedAccuracy\": " + why, why, r_.pedAccuracy);
    }

    void RiotersOnlyAttackPlayer() {
        step_ = 5;
        const Json::Value* v = Member(root_, "RiotersOnlyAttackPlayer");
        if (!v) return;
        if (v->isString() || v->isArray() || v->isObject())
            End(LoadEnd::InSettings, *v,
                fmt::format("\"RiotersOnlyAttackPlayer\" is {}{}: it must be true or false", KindOf(*v),
                            v->isString() ? " (" + Written(*v) + ")" : ""));
        if (v->asBool()) {
            r_.predicted.settings.RiotersOnlyAttackPlayer = true;
            r_.riotersOnlyAttackPlayer = {true, v->getOffsetStart(), ""};
            if (!v->isBool())
                Add(FindingKind::Warning, *v,
                    fmt::format("\"RiotersOnlyAttackPlayer\": the number {} counts as true", Written(*v)));
        } else if (CutOff(*v)) {
            Add(FindingKind::ChangedNothing, *v, "\"RiotersOnlyAttackPlayer\" is cut off by the parse error");
        } else if (v->isNull()) {
            Add(FindingKind::ChangedNothing, *v, "\"RiotersOnlyAttackPlayer\": null is not true or false");
            r_.riotersOnlyAttackPlayer.note = "the file's null is not true or false";
        } else {
            r_.riotersOnlyAttackPlayer.note = fmt::format(
                "the file's {} leaves it as it is: a file can switch it on, never off", Written(*v));
        }
    }

    void Factions() {
        step_ = 6;
        const Json::Value* list = Member(root_, "Factions");
        for (const FactionState& old : before_.factions)
            if (!old.WillAttackSelf && !old.IsDefault)
                r_.predicted.groupCalls.push_back({false, old.group, old.GroupHash});
        r_.predicted.factions.clear();
        if (list && list->isArray() && list->size() > 0) {
            for (Json::ArrayIndex k = 0; k < list->size(); ++k)
                Faction((*list)[k], k);
            faction_ = -1;
            return;
        }
        if (list && list->isArray()) {
            Add(FindingKind::ChangedNothing, *list,
                "\"Factions\" is an empty array: the default faction is built instead");
        } else if (list) {
            Add(FindingKind::ChangedNothing, *list,
                fmt::format("\"Factions\" is {}, not an array: the default faction is built instead",
                            KindOf(*list)));
        }
        FactionState faction;
        faction.MaxMembers = static_cast<uint32_t>(r_.predicted.settings.MaxRioters);
        faction.IsDefault = true;
        if (r_.predicted.settings.RiotersOnlyAttackPlayer) {
            faction.group = rioterGroup_ ? "RIOTER" : "";
            faction.GroupHash = rioterGroup_;
        } else {
            faction.WillAttackSelf = true;
        }
        r_.predicted.factions.push_back(faction);
        r_.factionOffsets.push_back(-1);
    }

    void Faction(const Json::Value& entry, Json::ArrayIndex k) {
        faction_ = static_cast<int>(k);
        factionStep_ = 0;
        const std::string at = fmt::format("Factions[{}]", k);
        if (!entry.isObject() && !entry.isNull())
            End(LoadEnd::InFactions, entry,
                fmt::format("\"{}\" is {}: a faction must be an object {{...}}", at, KindOf(entry)));
        if (entry.isNull() && !CutOff(entry))
            Add(FindingKind::Warning, entry,
                fmt::format("\"{}\" is null: it is built as an empty faction (cap 20, a group of its own)",
                            at));
        if (entry.isObject()) {
            for (const std::string& key : entry.getMemberNames()) {
                if (std::find(FactionKeys.begin(), FactionKeys.end(), key) != FactionKeys.end()) continue;
                if (StepOf(key) >= 0) {
                    Add(FindingKind::ChangedNothing, entry[key],
                        fmt::format("\"{}.{}\" is a top-level key: inside a faction it is ignored", at, key));
                } else {
                    Unknown(entry[key], key, " in \"" + at + "\"", FactionKeys);
                }
            }
        }

        FactionState faction;
        faction.MaxMembers = 20;
        if (const Json::Value* cap = Member(entry, "MaxMembers")) faction.MaxMembers = Cap(*cap, at);
        factionStep_ = 1;
        if (const Json::Value* self = Member(entry, "WillAttackSelf")) {
            if (self->isString() || self->isArray() || self->isObject())
                End(LoadEnd::InFactions, *self,
                    fmt::format("\"{}.WillAttackSelf\" is {}{}: it must be true or false", at, KindOf(*self),
                                self->isString() ? " (" + Written(*self) + ")" : ""));
            faction.WillAttackSelf = self->asBool();
            if (!self->isBool() && !self->isNull())
                Add(FindingKind::Warning, *self,
                    fmt::format("\"{}.WillAttackSelf\": the number {} counts as {}", at, Written(*self),
                                faction.WillAttackSelf ? "true" : "false"));
            if (self->isNull() && !CutOff(*self))
                Add(FindingKind::Warning, *self,
                    fmt::format("\"{}.WillAttackSelf\": null counts as false", at));
        }
        if (!faction.WillAttackSelf) {
            faction.group = std::to_string(k);
            r_.predicted.groupCalls.push_back({true, faction.group, 0});
        }
        factionStep_ = 2;
        if (const Json::Value* weapons = Member(entry, "Weapons")) {
            if (weapons->isArray()) {
                try {
                    ReadNames(*weapons, at + ".Weapons", faction.Weapons, true, LoadEnd::InFactions);
                } catch (const LoadEnds&) {
                    r_.endFaction = fmt::format(
                        "\"{}\" is not in the faction list{}", at,
                        faction.group.empty()
                            ? ""
                            : fmt::format(
                                  ", and the group \"{}\" made for it stays in the game and is never removed",
                                  faction.group));
                    throw;
                }
                if (weapons->size() == 0)
                    Add(FindingKind::Warning, *weapons,
                        fmt::format("\"{}.Weapons\" is empty: the faction draws from the shared list", at));
            } else {
                Add(FindingKind::ChangedNothing, *weapons,
                    fmt::format("\"{}.Weapons\" is {}, not an array: the faction draws from the shared list",
                                at, KindOf(*weapons)));
            }
        }
        r_.predicted.factions.push_back(faction);
        r_.factionOffsets.push_back(entry.getOffsetStart());
        factionStep_ = 3;
        if (const Json::Value* models = Member(entry, "MemberModels")) {
            if (models->isArray()) {
                try {
                    ReadNames(*models, at + ".MemberModels", r_.predicted.factions.back().MemberModels, false,
                              LoadEnd::InFactions);
                } catch (const LoadEnds&) {
                    r_.endFaction =
                        fmt::format("\"{}\" is in the faction list with the models before the bad entry", at);
                    throw;
                }
            } else {
                Add(FindingKind::ChangedNothing, *models,
                    fmt::format("\"{}.MemberModels\" is {}, not an array: the faction's rioters are random "
                                "pedestrians",
                                at, KindOf(*models)));
            }
        }
    }

    // MaxMembers as asInt converts it; the kinds it cannot convert end the load.
    uint32_t Cap(const Json::Value& v, const std::string& at) {
        const std::string path = at + ".MaxMembers";
        switch (v.type()) {
            case Json::intValue:
            case Json::uintValue:
                if (!v.isInt())
                    End(LoadEnd::InFactions, v,
                        fmt::format("\"{}\": {} is outside the 32-bit range (-2147483648 to 2147483647)",
                                    path, Written(v)));
                break;
            case Json::realValue: {
                const double d = v.asDouble();
                if (!(d >= INT_MIN && d <= INT_MAX))
                    End(LoadEnd::InFactions, v,
                        fmt::format("\"{}\": {} is outside the 32-bit range (-2147483648 to 2147483647)",
                                    path, Written(v)));
                if (d != std::trunc(d))
                    Add(FindingKind::Warning, v,
                        fmt::format("\"{}\": {} is cut to {}", path, Written(v), static_cast<int32_t>(d)));
                break;
            }
            case Json::nullValue:
                if (CutOff(v)) {
                    Add(FindingKind::Warning, v,
                        fmt::format(
                            "\"{}\" is cut off by the parse error and counts as 0: it recruits nobody",
                            path));
                } else {
                    Add(FindingKind::Warning, v,
                        fmt::format("\"{}\": null counts as 0: it recruits nobody", path));
                }
                break;
            case Json::booleanValue:
                Add(FindingKind::Warning, v,
                    fmt::format("\"{}\": {} counts as {}", path, Written(v), v.asBool() ? 1 : 0));
                break;
            default:
                End(LoadEnd::InFactions, v,
                    fmt::format("\"{}\" is {}{}: a cap must be a number", path, KindOf(v),
                                v.isString() ? " (" + Written(v) + ")" : ""));
        }
        const int32_t cap = v.asInt();
        if (cap == 0 && v.type() != Json::nullValue)
            Add(FindingKind::Warning, v, fmt::format("\"{}\": 0 recruits nobody", path));
        return static_cast<uint32_t>(cap);
    }

    void RemoveThrowables() {
        step_ = 7;
        Names kept;
        for (const std::string& name : r_.predicted.weapons) {
            if (IsThrowable(name)) {
                if (std::find(r_.thrownRemoved.begin(), r_.thrownRemoved.end(), name) ==
                    r_.thrownRemoved.end())
                    r_.thrownRemoved.push_back(name);
            } else {
                kept.push_back(name);
            }
        }
        r_.predicted.weapons = kept;
    }
};

}  // namespace

WalkResult WalkConfig(const std::string& text, const LoadState& before, uint32_t rioterGroup) {
    return Walker(text, before, rioterGroup).Run();
}

std::string ParsedText(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}
