#include "app/views/Replay.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include <fmt/format.h>

#include "app/views/ReplayPage.h"
#include "app/views/SvgText.h"
#include "config/KeyNames.h"
#include "config/Words.h"
#include "riot/Cull.h"

namespace {

// A JSON string of pure ASCII: quotes, backslashes, controls and < > & escaped, everything past ASCII as \u
// escapes, bytes that are not UTF-8 as U+FFFD.
void AppendJsonText(std::string& out, std::string_view text) {
    auto escape = [&](uint32_t unit) { fmt::format_to(std::back_inserter(out), "\\u{:04x}", unit); };
    out += '"';
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            if (lead == '"' || lead == '\\') {
                out += '\\';
                out += static_cast<char>(lead);
            } else if (lead < 0x20 || lead == '<' || lead == '>' || lead == '&') {
                escape(lead);
            } else {
                out += static_cast<char>(lead);
            }
            ++i;
            continue;
        }
        const size_t length = Utf8Length(text, i);
        if (length == 0) {
            escape(0xFFFD);
            ++i;
            continue;
        }
        const uint32_t code = Utf8CodePoint(text, i, length);
        if (code >= 0x10000) {
            escape(0xD800 + ((code - 0x10000) >> 10));
            escape(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            escape(code);
        }
        i += length;
    }
    out += '"';
}

// Integers, the first as it is and each later one as the difference from the one before.
void AppendDeltas(std::string& out, const std::vector<int32_t>& values) {
    out += '[';
    int64_t previous = 0;
    for (size_t k = 0; k < values.size(); ++k) {
        if (k) out += ',';
        fmt::format_to(std::back_inserter(out), "{}", values[k] - previous);
        previous = values[k];
    }
    out += ']';
}

// Positions as text, a step from each to the next (the first from 0, 0): a step of at most StepReach tenths
// on both axes is one symbol, a run of unmoved samples the run symbol and its length, any other step the jump
// symbol and both differences. Most rioters stand or run, so most samples cost a byte or less. Numbers are
// written in base StepDigits, lowest digit first, a symbol of StepDigits or more saying that more follow. The
// alphabet is printable ASCII that needs no escape in JSON nor in the page.
constexpr std::string_view StepAlphabet =
    "#$%'()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{|}~";
constexpr int StepReach = 4;
constexpr int StepSide = 2 * StepReach + 1;
constexpr int StepRun = StepSide * StepSide;
constexpr int StepJump = StepRun + 1;
constexpr uint64_t StepDigits = 44;
static_assert(StepAlphabet.size() == 2 * StepDigits && StepJump < static_cast<int>(StepAlphabet.size()));

// A signed number as an unsigned one: 0, -1, 1, -2, 2 as 0, 1, 2, 3, 4.
uint64_t Zigzag(int64_t value) {
    return value >= 0 ? 2 * static_cast<uint64_t>(value) : 2 * static_cast<uint64_t>(-(value + 1)) + 1;
}

void AppendStepNumber(std::string& out, uint64_t value) {
    for (; value >= StepDigits; value /= StepDigits)
        out += StepAlphabet[StepDigits + value % StepDigits];
    out += StepAlphabet[value];
}

void AppendSteps(std::string& out, const std::vector<int32_t>& x, const std::vector<int32_t>& y) {
    int64_t lastX = 0, lastY = 0;
    uint64_t still = 0;
    const auto endRun = [&] {
        if (still == 1) out += StepAlphabet[StepRun / 2];  // the step (0, 0)
        if (still > 1) {
            out += StepAlphabet[StepRun];
            AppendStepNumber(out, still);
        }
        still = 0;
    };
    for (size_t k = 0; k < x.size() && k < y.size(); ++k) {
        const int64_t dx = x[k] - lastX, dy = y[k] - lastY;
        lastX = x[k];
        lastY = y[k];
        if (dx == 0 && dy == 0) {
            ++still;
            continue;
        }
        endRun();
        if (std::abs(dx) <= StepReach && std::abs(dy) <= StepReach) {
            out += StepAlphabet[static_cast<size_t>((dx + StepReach) * StepSide + dy + StepReach)];
        } else {
            out += StepAlphabet[StepJump];
            AppendStepNumber(out, Zigzag(dx));
            AppendStepNumber(out, Zigzag(dy));
        }
    }
    endRun();
}

void AppendList(std::string& out, const std::vector<int32_t>& values) {
    fmt::format_to(std::back_inserter(out), "[{}]", fmt::join(values, ","));
}

// Pairs of a sample and a value as text: each sample as the samples since the pair before (the first since
// `from`) and the value's code, both numbers as AppendStepNumber writes them. A retarget or a weapon handed
// costs some three bytes rather than eight or more.
template <typename Code>
void AppendChanges(std::string& out, const std::vector<int32_t>& pairs, int32_t from, Code code) {
    for (size_t k = 0; k + 1 < pairs.size(); k += 2) {
        AppendStepNumber(out, static_cast<uint64_t>(std::max(0, pairs[k] - from)));
        AppendStepNumber(out, code(pairs[k + 1]));
        from = pairs[k];
    }
}

// A target's code: 0 none, 1 the player, else how far its handle is from the rioter's own (zigzagged) + 2.
uint64_t TargetCode(int32_t target, int32_t own) {
    if (target == 0 || target == -1) return static_cast<uint64_t>(-target);
    return Zigzag(static_cast<int64_t>(target) - own) + 2;
}

// The names the page reads the recording by: how a track ended (in TrackEnd's order) and a track's numbers.
const char* const EndNames[] = {"dead", "vanished", "tooFar", "dropped", "stillThere"};
static_assert(std::size(EndNames) == static_cast<size_t>(TrackEnd::Count), "a name for every end");
const char* const TrackFields[] = {"id",      "faction", "start",  "end",           "reason",
                                   "death",   "vanish",  "killer", "model",         "modelFailed",
                                   "startMs", "deathMs", "endMs",  "killerFaction", "killWeapon"};

// A JSON array of the texts of any list: names, or the page's fixed words.
template <typename Texts>
void AppendTexts(std::string& out, const Texts& values) {
    out += '[';
    bool first = true;
    for (const auto& value : values) {
        if (!first) out += ',';
        first = false;
        AppendJsonText(out, value);
    }
    out += ']';
}

void AppendFacts(std::string& out, const Totals& totals, int32_t sampleMs, const ReplayFacts& facts) {
    out += "{\"config\":";
    AppendJsonText(out, facts.config);
    out += ",\"scenario\":";
    AppendJsonText(out, facts.scenario);
    out += ",\"seed\":";
    AppendJsonText(out,
                   fmt::format("{}", facts.seed));  // 64 bits: more than a JavaScript number holds exactly
    const auto released = [&](CullReason reason) { return totals.released[static_cast<int>(reason)]; };
    fmt::format_to(
        std::back_inserter(out),
        ",\"ms\":{},\"frames\":{},\"sampleMs\":{},\"recruited\":{},\"peak\":{},\"released\":{{\"dead\":{},"
        "\"vanished\":{},\"tooFar\":{}}},\"dropped\":{},\"attacks\":{},\"hits\":{},\"pedDeaths\":{},"
        "\"playerDeaths\":{}}}",
        std::llround(facts.seconds * 1000.0), facts.frames, sampleMs, totals.recruited, totals.peakRioters,
        released(CullReason::FailedPedCheck), released(CullReason::Gone), released(CullReason::TooFar),
        totals.dropped, totals.attacks, totals.hits, totals.pedDeaths, totals.playerDeaths);
}

// Each track as one text: its numbers in TrackFields' order, zigzagged, as AppendStepNumber writes them, then
// its steps, a space, its targets, a space, its weapons. The numbers are written small: its handle and first
// sample as the steps from the track before, its other samples from its first (-1: none), its killer from its
// own handle (0: none), and each game time from the time of its sample (0 where there is none: not killed,
// still there). The tracks go in parts of some PartBytes, each a JSON array of those texts: the page reads
// one while the browser parses the next, and a browser parses many small elements faster than one of tens of
// megabytes.
constexpr size_t PartBytes = 64 * 1024;

void AppendTrack(std::string& out, const ReplayTrack& track, int32_t handle, int32_t start,
                 const ReplaySamples& replay) {
    const int32_t samples = static_cast<int32_t>(replay.times.size());
    const auto fromSample = [&](int32_t ms, int32_t sample) {
        return sample < 0 || ms < 0 ? 0
                                    : ms - replay.times[static_cast<size_t>(std::min(sample, samples - 1))];
    };
    const auto fromStart = [&](int32_t sample) { return sample < 0 ? -1 : sample - track.start; };
    const int32_t end = track.end < 0 ? samples : track.end;
    const int64_t numbers[] = {track.handle - handle,
                               track.faction,
                               track.start - start,
                               end - track.start,
                               static_cast<int>(track.reason),
                               fromStart(track.death),
                               fromStart(track.vanish),
                               track.killer ? track.killer - track.handle : 0,
                               track.model,
                               track.modelFailed ? 1 : 0,
                               fromSample(track.startMs, track.start),
                               fromSample(track.deathMs, track.death),
                               fromSample(track.endMs, track.end),
                               track.killerFaction,
                               track.killWeapon};
    static_assert(std::size(numbers) == std::size(TrackFields), "a name for every number");
    out += '"';
    for (const int64_t number : numbers)
        AppendStepNumber(out, Zigzag(number));
    AppendSteps(out, track.x, track.y);
    out += ' ';
    AppendChanges(out, track.targets, track.start,
                  [&](int32_t target) { return TargetCode(target, track.handle); });
    out += ' ';
    AppendChanges(out, track.weapons, track.start,
                  [](int32_t weapon) { return static_cast<uint64_t>(std::max(0, weapon)); });
    out += '"';
}

std::vector<std::string> TrackParts(const ReplaySamples& replay) {
    std::vector<std::string> parts;
    int32_t handle = 0, start = 0;
    for (const ReplayTrack& track : replay.tracks) {
        if (parts.empty() || parts.back().size() >= PartBytes) {
            if (!parts.empty()) parts.back() += ']';
            parts.emplace_back("[");
        } else {
            parts.back() += ',';
        }
        AppendTrack(parts.back(), track, handle, start, replay);
        handle = track.handle;
        start = track.start;
    }
    if (!parts.empty()) parts.back() += ']';
    return parts;
}

// The factions' attacks and hits so far at moments of the run: [ms, attacks of F0, hits of F0, ...] each.
void AppendFights(std::string& out, const std::vector<FightSample>& fights) {
    out += '[';
    for (size_t k = 0; k < fights.size(); ++k) {
        fmt::format_to(std::back_inserter(out), "{}[{}", k ? "," : "", fights[k].ms);
        for (size_t f = 0; f < fights[k].attacks.size(); ++f)
            fmt::format_to(std::back_inserter(out), ",{},{}", fights[k].attacks[f], fights[k].hits[f]);
        out += ']';
    }
    out += ']';
}

// Each press as [ms, the key's name, 1 when it was the toggle key in force].
void AppendPresses(std::string& out, const std::vector<ReplayPress>& presses) {
    out += '[';
    for (size_t k = 0; k < presses.size(); ++k) {
        fmt::format_to(std::back_inserter(out), "{}[{},", k ? "," : "", presses[k].ms);
        AppendJsonText(out, KeyNameOf(presses[k].key));
        fmt::format_to(std::back_inserter(out), ",{}]", presses[k].toggle ? 1 : 0);
    }
    out += ']';
}

void Replace(std::string& page, std::string_view marker, const std::string& text) {
    const size_t at = page.find(marker);
    if (at == std::string::npos) throw std::logic_error(fmt::format("the replay page has no {}", marker));
    page.replace(at, marker.size(), text);
}

}  // namespace

ReplayData ReplayJson(const Recording& recording, const ReplayFacts& facts) {
    ReplayData data;
    data.parts = TrackParts(recording.replay);
    std::string& out = data.head;
    out = "{\"facts\":";
    AppendFacts(out, recording.totals, recording.replay.sampleMs, facts);
    out += ",\"factions\":";
    AppendTexts(out, recording.factionNames);
    out += ",\"unknownColour\":";
    AppendJsonText(out, UnknownFactionColour);
    out += ",\"ends\":";
    AppendTexts(out, EndNames);
    const ReplaySamples& replay = recording.replay;
    out += ",\"weapons\":";
    AppendTexts(out, recording.weaponNames);
    out += ",\"fights\":";
    AppendFights(out, recording.fights);
    fmt::format_to(std::back_inserter(out), ",\"radius\":{},\"times\":", static_cast<int>(CullDistance));
    AppendDeltas(out, replay.times);
    out += ",\"steps\":{\"alphabet\":";
    AppendJsonText(out, StepAlphabet);
    fmt::format_to(std::back_inserter(out), ",\"reach\":{},\"run\":{},\"jump\":{},\"digits\":{}}}", StepReach,
                   StepRun, StepJump, StepDigits);
    out += ",\"models\":";
    AppendTexts(out, replay.modelNames);
    out += ",\"presses\":";
    AppendPresses(out, replay.presses);
    out += ",\"player\":{\"steps\":\"";
    AppendSteps(out, replay.playerX, replay.playerY);
    out += "\",\"states\":";
    AppendList(out, replay.playerStates);
    out += "},\"trackFields\":";
    AppendTexts(out, TrackFields);
    // What the tracks hold in all, for the page to make room once: places, and numbers of targets and
    // weapons.
    size_t places = 0, targets = 0, weapons = 0;
    for (const ReplayTrack& track : replay.tracks) {
        places += track.x.size();
        targets += track.targets.size();
        weapons += track.weapons.size();
    }
    fmt::format_to(std::back_inserter(out), ",\"trackCount\":{},\"partCount\":{},\"sizes\":[{},{},{}]}}",
                   replay.tracks.size(), data.parts.size(), places, targets, weapons);
    return data;
}

std::string ReplayHtml(const Recording& recording, const ReplayFacts& facts) {
    std::string page = ReplayPageSource("replay.html");
    Replace(page, "<link rel=\"stylesheet\" href=\"replay.css\">",
            "<style>\n" + ReplayPageSource("replay.css") + "</style>");
    Replace(page, "<script src=\"reader.js\"></script>",
            "<script>\n" + ReplayPageSource("reader.js") + "</script>");
    Replace(page, "<script src=\"replay.js\"></script>",
            "<script>\n" + ReplayPageSource("replay.js") + "</script>");
    const ReplayData data = ReplayJson(recording, facts);
    std::string scripts = "<script id=\"replay-head\" type=\"application/json\">" + data.head + "</script>\n";
    for (const std::string& part : data.parts)
        scripts += "<script class=\"replay-part\" type=\"application/json\">" + part + "</script>\n";
    Replace(page, "<script id=\"replay-head\" type=\"application/json\">null</script>\n", scripts);
    return page;
}
