#include "config/LoadCheck.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include <fmt/format.h>

#include "config/ConfigKeys.h"
#include "config/GameNames.h"
#include "config/Jenkins.h"
#include "config/KeyNames.h"
#include "config/LoadCheckText.h"
#include "config/LoadConfig.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "config/Words.h"

namespace {

using Names = std::vector<std::string>;

// The object's member of the key's name, or nullptr (also when the value is no object).
const Json::Value* MemberOf(const Json::Value* object, const ConfigKey& key) {
    return object && object->isObject() ? object->find(key.name, key.name + std::strlen(key.name)) : nullptr;
}

Names KeysOf(KeyLevel level) {
    Names keys;
    for (const ConfigKey* key = ConfigKeysBegin(); key != ConfigKeysEnd(); ++key)
        if (key->level == level) keys.push_back(key->name);
    return keys;
}

// "a text", "a number", "an array", "an object", "true", "false", "null".
std::string KindOf(const Json::Value& v) {
    static const char* const kinds[] = {"null",   "a number", "a number", "a number",
                                        "a text", "",         "an array", "an object"};
    return v.isBool() ? (v.asBool() ? "true" : "false") : kinds[v.type()];
}

// Follows the steps of a load through the document it read, and explains them.
class LoadCheck {
  public:
    explicit LoadCheck(CheckedLoad& checked) : c_(checked), load_(checked.load), lines_(checked.load.text) {}

    void Follow() {
        errorOffset_ = load_.errorOffset;
        root_ = &load_.document;
        Map(load_.document, "");
        if (load_.document.isObject())
            Misplaced(*(object_ = &load_.document));  // even when the load ends at its first key
        ReadText(load_.document, load_.error);
        for (const LoadStep& step : load_.Steps)
            KeyRead(step);
        if (load_.End.ended) {
            ended_ = true;
            const auto at = values_.find(load_.End.path);
            end_ = load_.End.inReader || at == values_.end() ? nullptr : at->second;
        }
        InForce();
    }

    void KeyRead(const LoadStep& step) {
        const auto object = values_.find(step.object);
        if (object == values_.end()) return;
        if (object->second != object_) Misplaced(*(object_ = object->second));
        const ConfigKey& key = KeyOf(step.key);
        if (const Json::Value* value = MemberOf(object->second, key)) {
            Step(*value, step.applied, key);
            read_.insert(value);
        }
        if (!step.object.empty() || step.key != ConfigKeyId::Factions) return;
        factionsRead_ = true;
        listed_ = load_.SharedBeforeThrowables;
    }
    // The factions in force after the load, with the line of each one's entry.
    void InForce() {
        c_.factionsKept = !load_.FactionsRebuilt;
        for (const LoadAction& action : load_.Actions) {
            if (action.kind != LoadActionKind::AddFaction) continue;
            c_.factions.push_back(action.faction);
            c_.entries.push_back(lines_.At(load_.Factions[action.faction].EntryOffset, false));
        }
    }

    void Explain() {
        for (const auto& list : lists_)
            JudgeNames(*list.first, list.second);
        if (ended_) End();
        Heavy();
        ManyFactions();
        Consequences();
        for (const std::string& name : factionsRead_ ? listed_ : load_.SharedWeaponList)
            if (IsThrowable(name) && std::count(c_.thrown.begin(), c_.thrown.end(), name) == 0)
                c_.thrown.push_back(name);
        std::stable_sort(c_.findings.begin(), c_.findings.end(), [](const Finding& a, const Finding& b) {
            return static_cast<std::size_t>(a.offset) < static_cast<std::size_t>(b.offset);  // -1 last
        });
    }

  private:
    CheckedLoad& c_;
    const LoadOutcome& load_;
    const LineIndex lines_;  // columns where a line may hold several values
    std::unordered_map<const Json::Value*, std::string> paths_;  // "", "MaxRioters", "Factions[1].Weapons[0]"
    std::unordered_map<std::string, const Json::Value*> values_;  // and back
    const Json::Value* root_ = nullptr;
    const Json::Value* object_ = nullptr;  // the object read from last
    bool ended_ = false, factionsRead_ = false;
    std::ptrdiff_t errorOffset_ = -1;
    std::vector<std::pair<const Json::Value*, NameKind>> lists_;  // the lists of names the load reads
    Names listed_;  // the shared list before the end of the load takes the thrown weapons out
    const Json::Value* end_ = nullptr;  // the value the load ended at; none when it ended in the reader
    std::map<std::pair<NameKind, std::string>, NameVerdict>
        judged_;                         // a file may repeat a name thousands of times
    std::set<const Json::Value*> read_;  // the values of the keys the load read

    void Map(const Json::Value& v, const std::string& path) {
        paths_[&v] = path;
        values_.emplace(path, &v);  // the document first: a member named "" never stands for it
        if (v.isArray()) {
            for (Json::ArrayIndex k = 0; k < v.size(); ++k)
                Map(v[k], fmt::format("{}[{}]", path, k));
        } else if (v.isObject()) {
            for (auto member = v.begin(); member != v.end(); ++member)
                Map(*member, path.empty() ? member.name() : path + "." + member.name());
        }
    }
    void Add(FindingKind kind, std::ptrdiff_t offset, std::string message) {
        c_.findings.push_back(
            {kind, offset, lines_.At(offset, kind != FindingKind::ChangedNothing), std::move(message)});
    }
    // The value as written in the file, shortened when long; arrays and objects as their kind.
    std::string Written(const Json::Value& v) const {
        const std::ptrdiff_t start = v.getOffsetStart(), limit = v.getOffsetLimit();
        if (v.isArray() || v.isObject() || start < 0 || limit <= start) return KindOf(v);
        std::string written =
            load_.text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(limit - start));
        std::replace_if(
            written.begin(), written.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
        return written.size() > 40 ? written.substr(0, 37) + "..." : written;
    }
    // A value the parser made up where it met its error: the parse error says all there is to say of it.
    bool CutOff(const Json::Value& v) const {
        return errorOffset_ >= 0 && v.isNull() && v.getOffsetStart() >= errorOffset_;
    }
    // What the parser keeps quiet about, found in the text.
    void ReadText(const Json::Value& root, const std::string& error) {
        const std::string& text = load_.text;
        std::size_t read = text.size();
        if (errorOffset_ >= 0 && root.isNull() && SkipBlanksAndComments(text, 0) == text.size()) {
            c_.empty = true;
        } else if (errorOffset_ >= 0) {
            read = static_cast<std::size_t>(errorOffset_);
            std::ptrdiff_t at = errorOffset_;
            const std::string why = ExplainParseError(text, at, error, c_.notJson);
            Add(FindingKind::ParseError, at, why);
        } else {
            read = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, root.getOffsetLimit()));
            const std::size_t after = SkipBlanksAndComments(text, read);
            if (after < text.size())
                Add(FindingKind::ChangedNothing, static_cast<std::ptrdiff_t>(after),
                    "text after the end of the document is not read");
        }
        for (const Repeat& repeat : ScanText(text, std::min(read, text.size())))
            Add(FindingKind::ChangedNothing, repeat.first,
                fmt::format("{} is given again on {}: only the later one counts", repeat.key,
                            lines_.At(repeat.later, false)));
    }

    // Keys the load never reads in an object it reads: unknown ones, and those of the other level.
    void Misplaced(const Json::Value& object) {
        const std::string& at = paths_.at(&object);
        const Names keys = KeysOf(at.empty() ? KeyLevel::TopLevel : KeyLevel::Faction);
        for (const std::string& key : object.getMemberNames()) {
            if (std::count(keys.begin(), keys.end(), key)) continue;
            if (at.empty() && key == SchemaKey) continue;  // for editors that offer the keys as you type
            const std::string guess = Suggest(key, keys, std::clamp<std::size_t>(key.size() / 4, 1, 3));
            std::string why = "ignored";
            if (FindConfigKey(key))
                why = at.empty() ? "a key of a faction entry, ignored at the top level"
                                 : "a top-level key, ignored inside a faction";
            if (!guess.empty())
                why = "did you mean \"" + guess + "\"?" +
                      (Lower(guess) == Lower(key) ? " Key names are case-sensitive" : "");
            Add(FindingKind::ChangedNothing, object[key].getOffsetStart(),
                fmt::format("unknown key \"{}\"{}: {}", key, at.empty() ? "" : " in \"" + at + "\"", why));
        }
    }

    void Step(const Json::Value& v, bool applied, const ConfigKey& key) {
        const std::string name = key.name;
        const bool setting = key.is && key.level == KeyLevel::TopLevel;
        if (CutOff(v)) {
            if (setting) c_.from[name] = "built-in (the file's value is cut off by the parse error)";
        } else if (setting && applied) {
            c_.from[name] = "from the file, " + lines_.At(v.getOffsetStart(), false);
        } else if (setting && key.id == ConfigKeyId::RiotersOnlyAttackPlayer && !v.isNull()) {
            c_.from[name] = "built-in (the file's " + Written(v) +
                            " leaves it as it is: a file can switch it on, never off)";
        } else if (setting) {
            std::string why = Written(v) + " is not " + key.is;
            std::string guess;  // the same letters in another case
            for (const auto& entry : KeyNameTable)
                if (v.isString() && Lower(v.asString()) == Lower(entry.first)) guess = entry.first;
            if (key.id == ConfigKeyId::EnableKey)
                why += guess.empty() ? ": names are \"F1\" to \"F8\"" : ": did you mean \"" + guess + "\"?";
            if (key.id != ConfigKeyId::EnableKey && v.isString()) why += ": write it without quotes";
            if (key.id == ConfigKeyId::MaxRioters && v.isIntegral())
                why = Written(v) + " is outside the whole numbers it takes (-2147483648 to 2147483647)";
            Add(FindingKind::ChangedNothing, v.getOffsetStart(), fmt::format("\"{}\": {}", name, why));
            c_.from[name] = "built-in (the file's " + why + ")";
        } else if (!applied && key.instead) {
            Add(FindingKind::ChangedNothing, v.getOffsetStart(),
                v.isArray() && !v.empty()
                    ? "\"PedWeapons\" is ignored: \"WeaponsUsedByAllFactions\" is an array and is read "
                      "instead"
                    : fmt::format("\"{}\" is {}: {}", paths_.at(&v),
                                  v.isArray() ? "an empty array" : KindOf(v) + ", not an array",
                                  key.instead));
        } else if (key.instead && key.id != ConfigKeyId::Factions) {
            if (key.level == KeyLevel::TopLevel)
                c_.weaponsFrom = fmt::format("from \"{}\", {}", name, lines_.At(v.getOffsetStart(), false));
            lists_.push_back({&v, key.id == ConfigKeyId::MemberModels ? NameKind::Model : NameKind::Weapon});
        }
    }

    NameVerdict Judged(const std::string& name, NameKind kind) {
        const auto key = std::make_pair(kind, name);
        const auto found = judged_.find(key);
        return found != judged_.end() ? found->second : judged_[key] = JudgeName(name, kind);
    }

    // The entries of a list of names that the load read (up to where it ended), each against the game's
    // names.
    void JudgeNames(const Json::Value& list, NameKind kind) {
        const char* what = kind == NameKind::Weapon ? "a weapon" : "a ped model";
        const bool shared = paths_.at(&list).find('.') == std::string::npos;
        for (const Json::Value& entry : list) {
            if (&entry == end_) return;
            if (shared && !ended_) ThrownInAnotherCase(entry);
            const NameVerdict verdict = Judged(entry.asString(), kind);
            const bool named = entry.isString() && !entry.asString().empty();
            if (named && verdict.known) continue;
            c_.namesNoted = true;
            if (CutOff(entry)) {  // the parser's last entry, which the load applies as ""
                Add(FindingKind::UnknownName, entry.getOffsetStart(),
                    fmt::format("\"{}\": \"\", left by the parse error, is not {} name: it {}",
                                paths_.at(&entry), what,
                                kind == NameKind::Weapon ? "arms nobody" : "never loads"));
                return;
            }
            std::string why = fmt::format("is not {} name", what);
            if (named && verdict.likelyTypo)
                why = fmt::format("is not {} of the game: did you mean \"{}\"?", what, verdict.nearest);
            if (named && !verdict.likelyTypo)
                why = fmt::format("is not {} of the base game, nor close to one: fine if another mod adds it",
                                  what);
            Add(named && !verdict.likelyTypo ? FindingKind::Note : FindingKind::UnknownName,
                entry.getOffsetStart(), fmt::format("\"{}\": {} {}", paths_.at(&entry), Written(entry), why));
        }
    }

    // A thrown weapon the game knows, in the shared list, but not written as the load takes it out.
    void ThrownInAnotherCase(const Json::Value& entry) {
        const std::string name = entry.isString() ? entry.asString() : "";
        std::string upper = name;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (IsThrowable(name) || !IsThrowable(upper)) return;
        Add(FindingKind::Thrown, entry.getOffsetStart(),
            fmt::format(
                "\"{}\": \"{}\" is a thrown weapon that stays in the shared list:\n  the load takes it "
                "out only when written exactly \"{}\", so the game hands this one out.",
                paths_.at(&entry), name, upper));
    }

    // The file's keys that the load read before it ended and those it never reached, in the load's order,
    // which is not the file's.
    void ReadAndUnread() {
        if (!root_) return;  // the reader gave up before it had a document
        std::vector<std::string> read, unread;
        const auto sort = [&](const Json::Value& object, KeyLevel level) {
            for (const ConfigKey* key = ConfigKeysBegin(); key != ConfigKeysEnd(); ++key) {
                const Json::Value* value = MemberOf(&object, *key);
                if (key->level != level || !value || value == end_) continue;
                (read_.count(value) ? read : unread)
                    .push_back(fmt::format("\"{}\" ({})", paths_.at(value),
                                           lines_.At(value->getOffsetStart(), false)));
            }
        };
        sort(*root_, KeyLevel::TopLevel);
        const Json::Value* factions = MemberOf(root_, KeyOf(ConfigKeyId::Factions));
        for (Json::ArrayIndex k = 0; factions && factions->isArray() && k < factions->size(); ++k)
            sort((*factions)[k], KeyLevel::Faction);
        if (read.empty() && unread.empty()) return;
        Add(FindingKind::Ended, -1, "The load reads the keys in its own order, not the file's.");
        Add(FindingKind::Ended, -1, "Read before the end: " + Listed(read, "none") + ".");
        if (!unread.empty()) Add(FindingKind::Ended, -1, "Never reached: " + Listed(unread, "") + ".");
    }
    // At most ten of them, then how many more.
    static std::string Listed(const std::vector<std::string>& items, const char* none) {
        std::string text = items.empty() ? none : "";
        for (std::size_t k = 0; k < items.size() && k < 10; ++k)
            text += (k ? ", " : "") + items[k];
        return items.size() > 10 ? fmt::format("{} and {} more", text, items.size() - 10) : text;
    }

    // A riot the game cannot bear, said in a note: a combat pass makes 2N²+6N game calls for N rioters in a
    // single frame, and the game's ped pool is small. Modders report ped limits of 110 to 150 in the game's
    // multiplayer mods and ship game configs of 150 peds; the game's own pedestrians and drivers share the
    // pool, and a script that spawns into a full pool crashes the game. Above 100 rioters the note is due.
    void Heavy() {
        const uint64_t caps = FactionCapsIn(c_);
        const int32_t maxRioters = load_.Settings.MaxRioters;
        const uint64_t most = maxRioters > 0 ? static_cast<uint64_t>(maxRioters) : 0;
        const uint64_t n = MostRiotersIn(c_);
        if (n <= 100) return;
        std::string calls = std::to_string(2 * n * n + 6 * n);
        for (std::size_t k = calls.size(); k > 3; k -= 3)
            calls.insert(k - 3, ",");
        const Json::Value* cap = MemberOf(root_, KeyOf(ConfigKeyId::MaxRioters));
        Add(FindingKind::Note, cap && read_.count(cap) ? cap->getOffsetStart() : -1,
            fmt::format("up to {} rioters at once (MaxRioters {}{}) cost the game dearly:\n"
                        "  once a second the script chooses every rioter's target within a single frame, "
                        "with {} calls\n"
                        "  to the game (each rioter measured against every other), and the game holds only "
                        "about 150\n"
                        "  peds at once, its own pedestrians and drivers included (spawning into a full pool "
                        "crashes\n"
                        "  it). 100 rioters or fewer is safe.",
                        n, maxRioters,
                        caps < most ? fmt::format("; the factions' caps add up to {}", caps) : "", calls));
    }

    // Many factions hold the game's frames: every recruitment pass walks them all in one frame, and every
    // combat pass looks through them for each rioter.
    void ManyFactions() {
        const std::string note = ManyFactionsNote(c_.factions.size());
        if (!note.empty()) Add(FindingKind::Note, -1, note);
    }

    // What the load means for the riot, said before anything else.
    void Consequences() {
        const int32_t most = load_.Settings.MaxRioters;
        if (!c_.factionsKept && c_.factions.empty())
            c_.consequences.push_back("Nobody will be recruited: the load leaves no faction in force.");
        else if (most <= 0)
            c_.consequences.push_back(fmt::format("Nobody will be recruited: MaxRioters is {}.", most));
        else if (!c_.factions.empty() && FactionCapsIn(c_) == 0)
            c_.consequences.push_back("Nobody will be recruited: every faction's cap is 0.");
    }

    // Where and why the load ended, and what that leaves that the state the report shows does not.
    void End() {
        const std::string path = end_ ? paths_.at(end_) : "";
        const ConfigKey* key = FindConfigKey(path.substr(path.rfind('.') + 1));  // the last key of the path
        std::string must = "it must be " + std::string(key && key->is ? key->is : "a text");
        if (end_ && end_->isNumeric()) must = "it must be a whole number from -2147483648 to 2147483647";
        if (!path.empty() && path.back() == ']')
            must = path.find('.') == std::string::npos && path[0] == 'F' ? "a faction must be an object {...}"
                                                                         : "a name must be a text";
        std::string why = "the reader gives up: the file nests arrays and objects more than 1000 deep";
        if (end_ && path.empty())
            why = fmt::format("the document is {}, not an object {{...}}: the load ends at its first key",
                              KindOf(*end_));
        if (!path.empty())
            why = fmt::format("\"{}\" is {}{}: {}", path, KindOf(*end_),
                              end_->isString() || end_->isNumeric() ? " (" + Written(*end_) + ")" : "", must);
        Add(FindingKind::Ended, end_ ? end_->getOffsetStart() : -1, why);
        if (end_) {
            Add(FindingKind::Ended, -1, "What was read before it is applied; nothing after it is read.");
            ReadAndUnread();
        } else {  // the reader gave up: the load read no key at all
            Add(FindingKind::Ended, -1,
                "Nothing of the file is applied: every setting keeps the value in force.");
        }
        if (!factionsRead_)
            Add(FindingKind::Ended, -1,
                "The factions are not rebuilt: those of the last load stay. At the game's start there are "
                "none\n"
                "  yet, so nobody is recruited until a load gets through.");
    }
};

}  // namespace

bool CheckedLoad::Has(FindingKind kind) const {
    return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) { return f.kind == kind; });
}

bool ExplainLoad(LoadOutcome outcome, CheckedLoad& checked) {
    try {
        checked.load = std::move(outcome);
        LoadCheck check(checked);
        check.Follow();
        check.Explain();
        return true;
    } catch (...) {
        return false;
    }
}

std::string ManyFactionsNote(std::size_t factions) {
    if (factions <= ManyFactionsFrom) return "";
    return fmt::format(
        "{} factions cost the game's frames: each recruitment pass walks them all in a single\n"
        "  frame. The simulator measures about {:.0f} ms of the script's time per game second at this\n"
        "  count; {} factions or fewer keep it under {:.0f} ms.",
        factions, ScriptMsPerFactionSecond * static_cast<double>(factions), ManyFactionsFrom,
        ScriptMsPerFactionSecond * static_cast<double>(ManyFactionsFrom));
}

uint64_t FactionCapsIn(const CheckedLoad& checked) {
    uint64_t caps = 0;
    for (std::size_t k : checked.factions)
        caps += checked.load.Factions[k].MaxMembers;
    return caps;
}

uint64_t MostRiotersIn(const CheckedLoad& checked) {
    return MostRiotersOf(FactionCapsIn(checked), checked.load.Settings.MaxRioters);
}

uint32_t GroupHashOf(const std::string& name) {
    return JenkinsHash(name);
}
