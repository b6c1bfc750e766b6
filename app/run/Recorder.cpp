#include "app/run/Recorder.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <fmt/core.h>

#include "config/Jenkins.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "script/ScriptState.h"

namespace {

// A row every 5 s and a chart point every 0.5 s, coarser in long runs: the timeline stays readable and the
// recording as small for a game day as for an hour.
constexpr double MaxRows = 720;
constexpr double MaxChartSamples = 2000;
// The replay's samples: ten a game second, fewer in a run so long that its page would grow past some
// hundred MB (a game day of 100 rioters: one a second).
constexpr int32_t SampleSteps[] = {100, 200, 500, 1000};
constexpr double MaxSamples = 100000;

double Interval(double step, double seconds, double most) {
    return step * std::max(1.0, std::ceil(seconds / (step * most)));
}

int32_t SampleMs(double seconds) {
    for (const int32_t ms : SampleSteps)
        if (seconds * 1000.0 / ms <= MaxSamples) return ms;
    return SampleSteps[std::size(SampleSteps) - 1];
}

// Tenths of a world unit; far-off or broken coordinates are pinned so the page's arithmetic stays exact.
int32_t Tenths(float value) {
    if (!(value == value)) return 0;
    const double tenths = std::floor(static_cast<double>(value) * 10.0 + 0.5);
    return static_cast<int32_t>(std::clamp(tenths, -1e8, 1e8));
}

TrackEnd EndOf(CullReason reason) {
    return reason == CullReason::Gone             ? TrackEnd::Vanished
           : reason == CullReason::FailedPedCheck ? TrackEnd::Dead
                                                  : TrackEnd::TooFar;
}

// The index of a hash's name in names, added the first time: the name as the config wrote it, found among
// the lists that candidates gives (asked only then), else the hash in hex.
template <typename Candidates>
int32_t NameIndex(uint32_t hash, Candidates candidates, std::vector<std::string>& names,
                  std::map<uint32_t, int32_t>& index) {
    auto found = index.find(hash);
    if (found != index.end()) return found->second;
    const auto named = [&]() -> std::string {
        for (const std::vector<std::string>* list : candidates())
            for (const std::string& candidate : *list)
                if (JenkinsHash(candidate) == hash) return candidate;
        return fmt::format("0x{:08X}", hash);
    };
    const int32_t at = static_cast<int32_t>(names.size());
    names.push_back(named());
    index[hash] = at;
    return at;
}

using NameLists = std::vector<const std::vector<std::string>*>;

std::string FactionName(const Faction& faction, size_t k) {
    const std::string cap =
        faction.MaxMembers == UINT32_MAX ? "no cap" : fmt::format("cap {}", faction.MaxMembers);
    return faction.IsDefault
               ? fmt::format("F{}: everyone ({})", k, cap)
               : fmt::format("F{} ({}{})", k, cap, faction.WillAttackSelf ? ", attacks its own" : "");
}

}  // namespace

Recorder::Recorder(const Scenario& scenario, bool keepSamples)
    : rowSeconds_(Interval(5.0, scenario.seconds, MaxRows)),
      chartSeconds_(Interval(0.5, scenario.seconds, MaxChartSamples)),
      keepSamples_(keepSamples),
      presses_(scenario.presses) {
    snapshots_ = scenario.snapshots;
    if (snapshots_.empty())
        for (int k = 1; k <= 6; ++k)
            snapshots_.push_back(scenario.seconds * k / 6.0);
    recording_.replay.sampleMs = SampleMs(scenario.seconds);
}

void Recorder::Observe(const World& world, const LivingWorld& living, double seconds, bool last) {
    world_ = &world;
    living_ = &living;
    const int32_t ms = static_cast<int32_t>(std::llround(seconds * 1000.0));
    FollowRoster();
    for (size_t k = 0; k < roster_.size(); ++k)
        for (Member& member : roster_[k])
            LookAt(member, static_cast<int>(k), world, living);
    CountHits(world, living);
    const int rioters = CountRioters();
    Totals& totals = recording_.totals;
    totals.peakRioters = std::max(totals.peakRioters, rioters);
    while (chartNext_ <= seconds + 1e-9) {
        ChartSample sample;
        sample.seconds = chartNext_;
        for (const Faction& faction : FactionList)
            sample.members.push_back(static_cast<int>(faction.Members.size()));
        recording_.chart.push_back(std::move(sample));
        NoteFights(static_cast<int32_t>(std::llround(chartNext_ * 1000.0)));
        chartNext_ += chartSeconds_;
    }
    while (nextSnapshot_ < snapshots_.size() && snapshots_[nextSnapshot_] <= seconds + 1e-9) {
        recording_.maps.push_back(Map(world, seconds));
        ++nextSnapshot_;
    }
    // Rows end at whole multiples of their length, at the first frame that reaches one, and where the run
    // ends.
    if (seconds + 1e-9 >= row_.from + rowSeconds_) EndRow(world, living, row_.from + rowSeconds_);
    if (last && seconds > row_.from + 1e-9) EndRow(world, living, seconds);
    if (last) Finish(living, ms);
    frameMs_ = ms;  // what the script does next happens in this frame
    if (!keepSamples_) return;
    if (!last) NotePresses(seconds, ms);  // the run plays no frame at its end: a press there is left out
    const std::vector<int32_t>& times = recording_.replay.times;
    const int32_t sampleMs = recording_.replay.sampleMs;
    if (times.empty() || ms >= (times.back() / sampleMs + 1) * sampleMs || (last && ms > times.back()))
        Sample(world, ms);
}

// The row's recruits, releases and drops are counted as they come; its members and fights are those at its
// end.
void Recorder::EndRow(const World& world, const LivingWorld& living, double to) {
    TimelineRow row = std::move(row_);
    row_ = TimelineRow();
    row_.from = to;
    row.to = to;
    for (const Faction& faction : FactionList) {
        row.members.push_back(static_cast<int>(faction.Members.size()));
        for (const Rioter& rioter : faction.Members) {
            const SimPed* ped = world.FindPed(rioter.Ped);
            if (!ped || !ped->exists || !ped->alive || ped->combatTarget == 0) continue;
            ++(ped->combatTarget == world.playerPed ? row.fightingPlayer : row.fightingRioters);
        }
    }
    row.playerDeaths = living.Tally().playerDeaths - playerDeathsSeen_;
    playerDeathsSeen_ = living.Tally().playerDeaths;
    row.modeOn = ScriptState.Loop.ModeEnabled;
    row.player = world.playerDead ? "dead" : world.playerInVehicle ? "in a vehicle" : "on foot";
    recording_.rows.push_back(std::move(row));
}

MapSnapshot Recorder::Map(const World& world, double seconds) const {
    MapSnapshot map;
    map.seconds = seconds;
    map.playerX = world.playerPosition.x;
    map.playerY = world.playerPosition.y;
    map.playerInVehicle = world.playerInVehicle;
    map.playerDead = world.playerDead;
    map.modeOn = ScriptState.Loop.ModeEnabled;
    for (size_t k = 0; k < FactionList.size(); ++k) {
        for (const Rioter& rioter : FactionList[k].Members) {
            const SimPed* ped = world.FindPed(rioter.Ped);
            if (!ped || !ped->exists) continue;
            MapRioter mark;
            mark.x = ped->position.x;
            mark.y = ped->position.y;
            mark.faction = static_cast<int>(k);
            const Vec3 target = world.PositionOf(ped->combatTarget);
            mark.hasTarget = ped->alive && ped->combatTarget != 0 && world.Exists(ped->combatTarget);
            mark.dead = !ped->alive;
            mark.targetIsPlayer = ped->combatTarget == world.playerPed;
            mark.targetX = target.x;
            mark.targetY = target.y;
            map.rioters.push_back(mark);
        }
    }
    return map;
}

void Recorder::Finish(const LivingWorld& living, int32_t ms) {
    Totals& totals = recording_.totals;
    for (const TimelineRow& row : recording_.rows) {
        totals.recruited += row.recruited;
        totals.dropped += row.dropped;
        for (int k = 0; k < static_cast<int>(CullReason::Count); ++k)
            totals.released[k] += row.released[k];
    }
    totals.playerDeaths = living.Tally().playerDeaths;
    totals.attacks = living.Tally().attacks;
    totals.hits = living.Tally().hits;
    totals.pedDeaths = living.Tally().pedDeaths;
    for (size_t k = 0; k < FactionList.size(); ++k) {
        recording_.factionNames.push_back(FactionName(FactionList[k], k));
        Score(static_cast<int>(k)).members = static_cast<int>(FactionList[k].Members.size());
    }
    for (size_t k = 0; k < roster_.size(); ++k)
        for (const Member& member : roster_[k])
            AddLife(Score(static_cast<int>(k)), member, ms);
    for (FactionScore& score : recording_.factions)
        std::sort(score.weapons.begin(), score.weapons.end(), [](const WeaponScore& a, const WeaponScore& b) {
            return static_cast<uint32_t>(a.weapon) < static_cast<uint32_t>(b.weapon);  // no weapon last
        });
    NoteFights(ms);
}

// The script appends recruits and erases the rioters it releases (as it tells), keeping the order of the
// rest; any other that leaves the roster is dropped at a reload.
void Recorder::FollowRoster() {
    std::vector<ReplayTrack>& tracks = recording_.replay.tracks;
    roster_.resize(std::max(roster_.size(), FactionList.size()));
    const int32_t next = static_cast<int32_t>(recording_.replay.times.size());
    for (size_t k = 0; k < roster_.size(); ++k) {
        static const std::vector<Rioter> none;
        const int faction = static_cast<int>(k);
        const std::vector<Rioter>& members = k < FactionList.size() ? FactionList[k].Members : none;
        std::vector<Member>& seen = roster_[k];
        size_t kept = 0;
        while (kept < seen.size() && kept < members.size() && seen[kept].handle == members[kept].Ped)
            ++kept;
        row_.dropped += static_cast<int64_t>(seen.size() - kept);
        row_.recruited += static_cast<int64_t>(members.size() - kept);
        for (size_t j = kept; j < seen.size(); ++j)
            Left(seen[j], faction, TrackEnd::Dropped, next);
        seen.resize(kept);
        for (size_t j = kept; j < members.size(); ++j) {
            Member member{members[j].Ped, tracks.size(), frameMs_};
            ++Score(faction).recruited;
            if (member.handle != 0) fighters_[member.handle] = Fighter{faction};
            seen.push_back(member);
            if (!keepSamples_) continue;
            ReplayTrack track;
            track.handle = members[j].Ped;
            track.faction = faction;
            track.start = next;
            track.startMs = frameMs_;
            NoteModel(track, FactionList[k]);
            tracks.push_back(std::move(track));
        }
    }
}

void Recorder::Releasing(std::size_t faction, std::size_t position, CullReason reason) {
    FollowRoster();  // recruits of this frame, not seen yet
    if (faction >= roster_.size() || position >= roster_[faction].size()) return;
    ++row_.released[static_cast<int>(reason)];
    std::vector<Member>& seen = roster_[faction];
    const int32_t next = static_cast<int32_t>(recording_.replay.times.size());
    if (world_ && living_) LookAt(seen[position], static_cast<int>(faction), *world_, *living_);
    Left(seen[position], static_cast<int>(faction), EndOf(reason), next);
    seen.erase(seen.begin() + static_cast<std::ptrdiff_t>(position));
}

// A member leaves the roster: its time in the riot counts, its track ends; its ped's last attack is still to
// be seen by the next look.
void Recorder::Left(const Member& member, int faction, TrackEnd reason, int32_t next) {
    AddLife(Score(faction), member, frameMs_);
    if (member.handle != 0) leaving_.push_back(member.handle);
    if (!keepSamples_) return;
    ReplayTrack& track = recording_.replay.tracks[member.track];
    track.end = next;
    track.endMs = frameMs_;
    track.reason = reason;
}

void Recorder::AddLife(FactionScore& score, const Member& member, int32_t endMs) {
    const int64_t life = (member.deathMs >= 0 ? member.deathMs : endMs) - member.recruitedMs;
    score.lifeMs += life;
    score.longestLifeMs = std::max(score.longestLifeMs, life);
}

// What a rioter's ped did in the frame since the last look: the attack it made (its cooldown set anew), its
// death, the weapons handed to it.
void Recorder::LookAt(Member& member, int faction, const World& world, const LivingWorld& living) {
    if (member.handle == 0) return;
    const SimPed* ped = world.FindPed(member.handle);
    auto found = fighters_.find(member.handle);
    if (!ped || found == fighters_.end()) return;
    Fighter& fighter = found->second;
    const float again = living.Plan().rules.attackSeconds;
    if (ped->attackCooldown == again && fighter.cooldown != again && fighter.health > 0.0f)
        attacks_.push_back(
            {member.handle, faction, fighter.target, fighter.weapon >= 0 || !ped->weapons.empty()});
    if (!ped->alive && member.deathMs < 0)
        Died(member, faction, *ped, static_cast<int32_t>(recording_.replay.times.size()));
    NoteWeapons(member, faction, *ped);
}

// The kill counts for the killer's faction with the weapon it held in the frame of the kill: the last one
// handed before this frame's.
void Recorder::Died(Member& member, int faction, const SimPed& ped, int32_t next) {
    member.deathMs = frameMs_;
    ++Score(faction).deaths;
    auto killer = fighters_.find(ped.killer);
    const int killerFaction = ped.killer != 0 && killer != fighters_.end() ? killer->second.faction : -1;
    const int32_t weapon = killerFaction >= 0 ? killer->second.weapon : -1;
    if (killerFaction >= 0) {
        ++Score(killerFaction).kills;
        ++Weapon(killerFaction, weapon).kills;
        killedBy_[ped.killer] = member.handle;
    }
    if (!keepSamples_) return;
    ReplayTrack& track = recording_.replay.tracks[member.track];
    track.death = next;
    track.deathMs = frameMs_;
    track.killer = ped.killer;
    track.killerFaction = killerFaction;
    track.killWeapon = killerFaction >= 0 ? weapon : -1;
}

void Recorder::NoteWeapons(Member& member, int faction, const SimPed& ped) {
    const int32_t next = static_cast<int32_t>(recording_.replay.times.size());
    for (; member.weaponsSeen < ped.weapons.size(); ++member.weaponsSeen) {
        const int32_t weapon = WeaponIndex(ped.weapons[member.weaponsSeen]);
        ++Weapon(faction, weapon).handed;
        fighters_[member.handle].nextWeapon = weapon;
        if (!keepSamples_) continue;
        std::vector<int32_t>& weapons = recording_.replay.tracks[member.track].weapons;
        weapons.insert(weapons.end(), {next, weapon});
    }
}

// A frame's hits: how far each target's health fell, in hits of the damage of those that attacked it. The
// world does not say which of two attackers of one target in one frame hit: the first in handle order counts.
void Recorder::CountHits(const World& world, const LivingWorld& living) {
    const FightRules& rules = living.Plan().rules;
    std::map<int32_t, float> fell;  // by target
    for (Attack& attack : attacks_) {
        auto kill = killedBy_.find(attack.attacker);
        if (kill != killedBy_.end()) attack.target = kill->second;
        if (fell.count(attack.target)) continue;
        if (attack.target == -1) {
            const float before =
                playerDead_ && !world.playerDead ? living.Plan().player.health : playerHealth_;
            fell[-1] = before - world.playerHealth;
        } else {
            const SimPed* ped = world.FindPed(attack.target);
            auto memo = fighters_.find(attack.target);
            fell[attack.target] = ped && memo != fighters_.end() ? memo->second.health - ped->health : 0.0f;
        }
    }
    for (const Attack& attack : attacks_) {
        FactionScore& score = Score(attack.faction);
        ++score.attacks;
        const float damage = attack.armed ? rules.gunDamage : rules.meleeDamage;
        float& left = fell[attack.target];
        if (left < damage - 0.01f) continue;
        left -= damage;
        ++score.hits;
    }
    attacks_.clear();
    killedBy_.clear();
    for (const int32_t handle : leaving_)
        fighters_.erase(handle);
    leaving_.clear();
    for (auto& [handle, fighter] : fighters_) {  // what the next frame starts from
        const SimPed* ped = world.FindPed(handle);
        if (!ped) continue;
        fighter.target = ped->combatTarget == world.playerPed ? -1 : ped->combatTarget;
        fighter.weapon = fighter.nextWeapon;
        fighter.cooldown = ped->attackCooldown;
        fighter.health = ped->alive ? ped->health : 0.0f;
    }
    playerHealth_ = world.playerHealth;
    playerDead_ = world.playerDead;
}

void Recorder::NoteFights(int32_t ms) {
    FightSample sample;
    sample.ms = ms;
    for (const FactionScore& score : recording_.factions) {
        sample.attacks.push_back(score.attacks);
        sample.hits.push_back(score.hits);
    }
    recording_.fights.push_back(std::move(sample));
}

FactionScore& Recorder::Score(int faction) {
    std::vector<FactionScore>& scores = recording_.factions;
    if (static_cast<size_t>(faction) >= scores.size()) scores.resize(static_cast<size_t>(faction) + 1);
    return scores[static_cast<size_t>(faction)];
}

WeaponScore& Recorder::Weapon(int faction, int32_t weapon) {
    std::vector<WeaponScore>& weapons = Score(faction).weapons;
    for (WeaponScore& score : weapons)
        if (score.weapon == weapon) return score;
    weapons.push_back({weapon, 0, 0});
    return weapons.back();
}

void Recorder::Sample(const World& world, int32_t ms) {
    ReplaySamples& replay = recording_.replay;
    const int32_t index = static_cast<int32_t>(replay.times.size());
    replay.times.push_back(ms);
    replay.playerX.push_back(Tenths(world.playerPosition.x));
    replay.playerY.push_back(Tenths(world.playerPosition.y));
    const int32_t state =
        (world.playerInVehicle ? 1 : 0) | (world.playerDead ? 2 : 0) | (ScriptState.Loop.ModeEnabled ? 4 : 0);
    if (state != lastState_) {
        replay.playerStates.insert(replay.playerStates.end(), {index, state});
        lastState_ = state;
    }
    for (const std::vector<Member>& members : roster_)
        for (const Member& member : members)
            SampleTrack(replay.tracks[member.track], world, index);
}

void Recorder::SampleTrack(ReplayTrack& track, const World& world, int32_t index) {
    if (track.handle == 0) return;  // a failed spawn: no ped to show
    const SimPed* ped = world.FindPed(track.handle);
    if (!ped) {  // the world keeps every ped it made; hold the last place all the same
        track.x.push_back(track.x.empty() ? 0 : track.x.back());
        track.y.push_back(track.y.empty() ? 0 : track.y.back());
        return;
    }
    track.x.push_back(Tenths(ped->position.x));
    track.y.push_back(Tenths(ped->position.y));
    if (!ped->exists && track.vanish < 0) track.vanish = index;
    const int32_t target = ped->combatTarget == world.playerPed ? -1 : ped->combatTarget;
    const int32_t last = track.targets.empty() ? 0 : track.targets.back();
    if (target != last) track.targets.insert(track.targets.end(), {index, target});
}

// Which model the world made the ped of, or why it made a random pedestrian.
void Recorder::NoteModel(ReplayTrack& track, const Faction& faction) {
    const SimPed* ped = track.handle != 0 ? world_->FindPed(track.handle) : nullptr;
    if (!ped) return;
    if (ped->random) {
        track.modelFailed = !faction.MemberModels.empty();
        return;
    }
    const auto candidates = [&] {
        NameLists lists{&faction.MemberModels};
        for (const Faction& other : FactionList)
            lists.push_back(&other.MemberModels);
        return lists;
    };
    track.model = NameIndex(ped->model, candidates, recording_.replay.modelNames, modelIndex_);
}

// The scenario's presses of this frame: the run presses them after this look at the world, and the script
// sees them in this frame with the settings in force now.
void Recorder::NotePresses(double seconds, int32_t ms) {
    for (; nextPress_ < presses_.size() && presses_[nextPress_].seconds <= seconds + 1e-9; ++nextPress_) {
        const int32_t key = presses_[nextPress_].key ? presses_[nextPress_].key : Settings.EnableKey;
        recording_.replay.presses.push_back({ms, key, key == Settings.EnableKey});
    }
}

int32_t Recorder::WeaponIndex(uint32_t hash) {
    const auto candidates = [] {
        NameLists lists{&SharedWeaponList, &ThrowableList};
        for (const Faction& faction : FactionList)
            lists.push_back(&faction.Weapons);
        return lists;
    };
    return NameIndex(hash, candidates, recording_.weaponNames, weaponIndex_);
}
