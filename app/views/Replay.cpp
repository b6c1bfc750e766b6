#include "app/views/Replay.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fmt/format.h>

#include "app/Utf8Path.h"
#include "app/views/ReplayPage.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "riot/Roster.h"
#include "script/ScriptState.h"
#include "sim/Jenkins.h"

namespace {

constexpr float ReleaseDistance = 150.0f;

// Tenths of a world unit; far-off or broken coordinates are pinned so the page's arithmetic stays exact.
int32_t Tenths(float value) {
    if (!(value == value)) return 0;
    const double tenths = std::floor(static_cast<double>(value) * 10.0 + 0.5);
    return static_cast<int32_t>(std::clamp(tenths, -1e8, 1e8));
}

// Why the script let a released ped go, judged the way the world counts it, except that the ped was deleted
// since (the caller settles the vanished ones against the world's count).
ReplayEnd Judge(const World& world, const SimPed& ped) {
    if (!ped.alive) return ReplayEnd::Dead;
    const float dx = ped.position.x - world.playerPosition.x;
    const float dy = ped.position.y - world.playerPosition.y;
    const float dz = ped.position.z - world.playerPosition.z;
    if (std::sqrt(dx * dx + dy * dy + dz * dz) >= ReleaseDistance) return ReplayEnd::TooFar;
    return ReplayEnd::Other;
}

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
        size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (lead > 0xF4) length = 0;
        uint32_t code = length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
        for (size_t k = 1; k < length; ++k) {
            if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (byte(i + k) & 0x3Fu);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (length == 0 || overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            escape(0xFFFD);
            ++i;
            continue;
        }
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

void AppendList(std::string& out, const std::vector<int32_t>& values) {
    fmt::format_to(std::back_inserter(out), "[{}]", fmt::join(values, ","));
}

void Replace(std::string& page, std::string_view marker, const std::string& text) {
    const size_t at = page.find(marker);
    if (at == std::string::npos) throw std::logic_error(fmt::format("the replay page has no {}", marker));
    page.replace(at, marker.size(), text);
}

}  // namespace

void ReplayRecorder::Observe(const World& world, double seconds, bool last) {
    FollowRoster(world);
    const int32_t ms = static_cast<int32_t>(std::llround(seconds * 1000.0));
    const std::vector<int32_t>& times = recording_.times;
    const int32_t sampleMs = recording_.sampleMs;
    if (times.empty() || ms >= (times.back() / sampleMs + 1) * sampleMs || (last && ms > times.back()))
        Sample(world, ms);
}

void ReplayRecorder::FollowRoster(const World& world) {
    roster_.resize(std::max(roster_.size(), FactionList.size()));
    const int32_t next = static_cast<int32_t>(recording_.times.size());
    std::vector<size_t> gone;  // tracks that left the roster since the last frame
    for (size_t k = 0; k < roster_.size(); ++k) {
        static const std::vector<Rioter> none;
        const std::vector<Rioter>& members = k < FactionList.size() ? FactionList[k].Members : none;
        std::vector<size_t>& seen = roster_[k];
        bool same = seen.size() == members.size();
        for (size_t i = 0; same && i < seen.size(); ++i)
            same = recording_.tracks[seen[i]].handle == members[i].Ped;
        if (same) continue;
        // The script appends recruits and erases released ones, keeping the order of the rest.
        std::vector<size_t> kept;
        size_t j = 0;
        for (size_t track : seen) {
            if (j < members.size() && recording_.tracks[track].handle == members[j].Ped) {
                kept.push_back(track);
                ++j;
            } else {
                gone.push_back(track);
            }
        }
        for (; j < members.size(); ++j) {
            ReplayTrack track;
            track.handle = members[j].Ped;
            track.faction = static_cast<int>(k);
            track.start = next;
            kept.push_back(recording_.tracks.size());
            recording_.tracks.push_back(std::move(track));
        }
        seen = std::move(kept);
    }
    int64_t counted[ReleaseReasonCount];
    int64_t released = 0;
    for (int r = 0; r < ReleaseReasonCount; ++r) {
        counted[r] = world.releases[r] - releasesSeen_[r];
        releasesSeen_[r] = world.releases[r];
        released += counted[r];
    }
    if (gone.empty()) return;

    // Released peds by the world's judgement; a ped that vanished before its release looks alive or far now,
    // so those beyond the world's count of a reason are the vanished ones. Without a ped, a rioter was
    // released when the world counted one more than the peds account for, else dropped at a reload.
    int64_t judged[ReleaseReasonCount] = {};
    std::vector<size_t> pedless;
    for (size_t index : gone) {
        ReplayTrack& track = recording_.tracks[index];
        track.end = next;
        const SimPed* ped = track.handle != 0 ? world.FindPed(track.handle) : nullptr;
        if (!ped) {
            pedless.push_back(index);
            continue;
        }
        // Killed and released between two samples: the death shows with the release.
        if (!ped->alive && track.death < 0) track.death = next;
        track.reason = !ped->released      ? ReplayEnd::Dropped
                       : track.vanish >= 0 ? ReplayEnd::Vanished
                                           : Judge(world, *ped);
        if (track.reason != ReplayEnd::Dropped) {
            const int reason = static_cast<int>(track.reason);
            if (++judged[reason] > counted[reason]) track.reason = ReplayEnd::Vanished;
            --released;
        }
    }
    for (size_t index : pedless)
        recording_.tracks[index].reason = released-- > 0 ? ReplayEnd::Vanished : ReplayEnd::Dropped;
}

void ReplayRecorder::Sample(const World& world, int32_t ms) {
    const int32_t index = static_cast<int32_t>(recording_.times.size());
    recording_.times.push_back(ms);
    recording_.playerX.push_back(Tenths(world.playerPosition.x));
    recording_.playerY.push_back(Tenths(world.playerPosition.y));
    const int32_t state =
        (world.playerInVehicle ? 1 : 0) | (world.playerDead ? 2 : 0) | (ScriptState.Loop.ModeEnabled ? 4 : 0);
    if (state != lastState_) {
        recording_.playerStates.insert(recording_.playerStates.end(), {index, state});
        lastState_ = state;
    }
    for (const std::vector<size_t>& members : roster_) {
        for (size_t index_ : members) {
            ReplayTrack& track = recording_.tracks[index_];
            if (track.handle == 0) continue;  // a failed spawn: no ped to show
            const SimPed* ped = world.FindPed(track.handle);
            if (!ped) {  // the world keeps every ped it made; hold the last place all the same
                track.x.push_back(track.x.empty() ? 0 : track.x.back());
                track.y.push_back(track.y.empty() ? 0 : track.y.back());
                continue;
            }
            track.x.push_back(Tenths(ped->position.x));
            track.y.push_back(Tenths(ped->position.y));
            if (!ped->alive && track.death < 0) track.death = index;
            if (!ped->exists && track.vanish < 0) track.vanish = index;
            const int32_t target = ped->combatTarget == world.playerPed ? -1 : ped->combatTarget;
            const int32_t last = track.targets.empty() ? 0 : track.targets.back();
            if (target != last) track.targets.insert(track.targets.end(), {index, target});
            for (; track.weaponsSeen < ped->weapons.size(); ++track.weaponsSeen)
                track.weapons.insert(track.weapons.end(),
                                     {index, WeaponIndex(ped->weapons[track.weaponsSeen])});
        }
    }
}

int32_t ReplayRecorder::WeaponIndex(uint32_t hash) {
    auto found = weaponIndex_.find(hash);
    if (found != weaponIndex_.end()) return found->second;
    std::string name = fmt::format("0x{:08X}", hash);
    auto named = [&](const std::vector<std::string>& names) {
        for (const std::string& candidate : names)
            if (JenkinsHash(candidate) == hash) {
                name = candidate;
                return true;
            }
        return false;
    };
    bool known = named(SharedWeaponList) || named(ThrowableList);
    for (size_t k = 0; !known && k < FactionList.size(); ++k)
        known = named(FactionList[k].Weapons);
    const int32_t index = static_cast<int32_t>(recording_.weaponNames.size());
    recording_.weaponNames.push_back(name);
    weaponIndex_[hash] = index;
    return index;
}

std::string ReplayJson(const ReplayRecording& recording, const ReplayFacts& facts) {
    std::string out;
    auto text = [&](std::string_view value) { AppendJsonText(out, value); };
    auto number = [&](auto value) { fmt::format_to(std::back_inserter(out), "{}", value); };
    auto texts = [&](const std::vector<std::string>& values) {
        out += '[';
        for (size_t k = 0; k < values.size(); ++k) {
            if (k) out += ',';
            text(values[k]);
        }
        out += ']';
    };
    const Totals& totals = facts.totals;
    out += "{\"facts\":{\"config\":";
    text(facts.config);
    out += ",\"scenario\":";
    text(facts.scenario);
    out += ",\"seed\":";
    text(fmt::format("{}", facts.seed));  // 64 bits: more than a JavaScript number holds exactly
    fmt::format_to(std::back_inserter(out),
                   ",\"ms\":{},\"frames\":{},\"recruited\":{},\"peak\":{},\"released\":[{}],\"dropped\":{},"
                   "\"attacks\":{},\"hits\":{},\"pedDeaths\":{},\"playerDeaths\":{}}},\"factions\":",
                   std::llround(facts.seconds * 1000.0), facts.frames, totals.recruited, totals.peakRioters,
                   fmt::join(totals.released, ","), totals.dropped, totals.attacks, totals.hits,
                   totals.pedDeaths, totals.playerDeaths);
    texts(facts.factionNames);
    out += ",\"weapons\":";
    texts(recording.weaponNames);
    out += ",\"radius\":";
    number(static_cast<int>(ReleaseDistance));
    out += ",\"times\":";
    AppendDeltas(out, recording.times);
    out += ",\"player\":{\"x\":";
    AppendDeltas(out, recording.playerX);
    out += ",\"y\":";
    AppendDeltas(out, recording.playerY);
    out += ",\"states\":";
    AppendList(out, recording.playerStates);
    out += "},\"tracks\":[";
    const int32_t samples = static_cast<int32_t>(recording.times.size());
    for (size_t k = 0; k < recording.tracks.size(); ++k) {
        const ReplayTrack& track = recording.tracks[k];
        if (k) out += ",\n";
        fmt::format_to(std::back_inserter(out), "[{},{},{},{},{},{},{},", track.handle, track.faction,
                       track.start, track.end < 0 ? samples : track.end, static_cast<int>(track.reason),
                       track.death, track.vanish);
        AppendDeltas(out, track.x);
        out += ',';
        AppendDeltas(out, track.y);
        out += ',';
        AppendList(out, track.targets);
        out += ',';
        AppendList(out, track.weapons);
        out += ']';
    }
    out += "]}";
    return out;
}

std::string ReplayHtml(const ReplayRecording& recording, const ReplayFacts& facts) {
    std::string page = ReplayPageSource("replay.html");
    Replace(page, "<link rel=\"stylesheet\" href=\"replay.css\">",
            "<style>\n" + ReplayPageSource("replay.css") + "</style>");
    Replace(
        page, "<script id=\"replay-data\" type=\"application/json\">null</script>",
        "<script id=\"replay-data\" type=\"application/json\">" + ReplayJson(recording, facts) + "</script>");
    Replace(page, "<script src=\"replay.js\"></script>",
            "<script>\n" + ReplayPageSource("replay.js") + "</script>");
    return page;
}

void WriteReplay(const std::string& path, const std::string& html) {
    // Like --svg's folder, a missing folder is made.
    const std::filesystem::path target = PathFromUtf8(path);
    std::error_code ignored;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot write the replay " + path + ": " + std::strerror(errno));
    file.write(html.data(), static_cast<std::streamsize>(html.size()));
    file.close();
    if (!file) throw std::runtime_error("writing the replay " + path + " failed");
}
