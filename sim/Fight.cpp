#include "sim/Fight.h"

#include <cmath>
#include <utility>

namespace {

float Distance2D(Vec3 a, Vec3 b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Moves `from` toward `to` by at most `step`, stopping `keep` short of it; returns the distance left,
// measured again only if it moved.
float MoveToward(Vec3& from, Vec3 to, float step, float keep) {
    const float distance = Distance2D(from, to);
    const float travel = distance - keep < step ? distance - keep : step;
    if (travel <= 0.0f || distance <= 0.0f) return distance;
    from.x += (to.x - from.x) / distance * travel;
    from.y += (to.y - from.y) / distance * travel;
    return Distance2D(from, to);
}

}  // namespace

Vec3 PathPosition(const std::vector<PathPoint>& path, double seconds, Vec3* forward) {
    if (path.empty()) return {};
    size_t next = 0;
    while (next < path.size() && path[next].seconds <= seconds)
        ++next;
    if (next == 0) return {path.front().x, path.front().y, 0.0f};
    if (next == path.size()) return {path.back().x, path.back().y, 0.0f};
    const PathPoint& a = path[next - 1];
    const PathPoint& b = path[next];
    const double share = (seconds - a.seconds) / (b.seconds - a.seconds);
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (forward && length > 0.0f) *forward = {dx / length, dy / length, 0.0f};
    return {a.x + static_cast<float>(share * dx), a.y + static_cast<float>(share * dy), 0.0f};
}

LivingWorld::LivingWorld(WorldPlan plan) : plan_(std::move(plan)), random_(plan_.seed) {}

void LivingWorld::StepPlayer(World& world, double seconds) {
    const PlayerPlan& plan = plan_.player;
    while (nextDeath_ < plan.deaths.size() && plan.deaths[nextDeath_] <= seconds) {
        ++nextDeath_;
        if (!world.playerDead) world.playerHealth = 0.0f;
    }
    if (!world.playerDead && world.playerHealth <= 0.0f) {
        world.playerDead = true;
        ++tally_.playerDeaths;
        respawnAt_ = seconds + plan.respawnSeconds;
    }
    if (world.playerDead && seconds >= respawnAt_) {
        world.playerDead = false;
        world.playerHealth = plan.health;
    }
    world.playerPedCheck = !world.playerDead;
    if (world.playerDead) return;  // a dead player lies where he fell
    world.playerPosition = PathPosition(plan.path, seconds, &world.playerForward);
    world.playerPosition.z = world.groundZ;
    world.playerInVehicle = false;
    for (const TimeSpan& span : plan.vehicle)
        if (span.Holds(seconds)) world.playerInVehicle = true;
}

void LivingWorld::Attack(World& world, SimPed& attacker, float distance, bool targetIsPlayer,
                         SimPed* target) {
    const bool armed = !attacker.weapons.empty();
    const float range = armed ? plan_.rules.gunRange : plan_.rules.meleeRange;
    if (distance > range) return;
    if (attacker.attackCooldown > 0.0f) return;
    attacker.attackCooldown = plan_.rules.attackSeconds;
    ++tally_.attacks;
    const int32_t accuracy = attacker.accuracy < 0 ? 0 : attacker.accuracy > 100 ? 100 : attacker.accuracy;
    const float chance = 0.05f + 0.009f * static_cast<float>(accuracy);
    if (random_.Unit() >= chance) return;
    ++tally_.hits;
    const float damage = armed ? plan_.rules.gunDamage : plan_.rules.meleeDamage;
    if (targetIsPlayer) {
        world.playerHealth -= damage;
        return;
    }
    target->health -= damage;
    if (target->health <= 0.0f && target->alive) {
        target->alive = false;
        target->killer = attacker.handle;
        ++tally_.pedDeaths;
    }
}

void LivingWorld::StepPed(World& world, SimPed& ped, float dt, float vanishChance) {
    if (!ped.exists || !ped.alive) return;
    if (plan_.rules.vanishPerMinute > 0.0f && random_.Unit() < vanishChance) {
        ped.exists = false;
        ++tally_.vanished;
        return;
    }
    if (ped.attackCooldown > 0.0f) ped.attackCooldown -= dt;
    if (ped.combatTarget == 0 || ped.combatTarget == ped.handle) return;
    const bool targetIsPlayer = ped.combatTarget == world.playerPed;
    SimPed* target = targetIsPlayer ? nullptr : world.FindPed(ped.combatTarget);
    if (targetIsPlayer ? world.playerDead : !target || !target->exists || !target->alive) return;
    const Vec3 goal = targetIsPlayer ? world.playerPosition : target->position;
    const float keep = ped.weapons.empty() ? plan_.rules.meleeRange * 0.5f : plan_.rules.gunRange * 0.5f;
    const float distance = MoveToward(ped.position, goal, plan_.rules.runSpeed * dt, keep);
    Attack(world, ped, distance, targetIsPlayer, target);
}

void LivingWorld::Step(World& world, double seconds) {
    if (!started_) {
        started_ = true;
        lastSeconds_ = seconds;
        world.pedHealth = plan_.rules.pedHealth;
        world.playerHealth = plan_.player.health;
    }
    const float dt = static_cast<float>(seconds - lastSeconds_);
    lastSeconds_ = seconds;
    StepPlayer(world, seconds);
    world.safeCoords.allNow = false;
    for (const TimeSpan& span : plan_.safeCoordFailures)
        if (span.Holds(seconds)) world.safeCoords.allNow = true;
    const float vanishChance = plan_.rules.vanishPerMinute * dt / 60.0f;
    // The game streams out what the script deleted: nothing can see it again, and a long riot stays as small
    // as a short one.
    for (auto it = world.peds.begin(); it != world.peds.end();) {
        if (it->second.released && !it->second.exists) {
            it = world.peds.erase(it);
            continue;
        }
        StepPed(world, it->second, dt, vanishChance);
        ++it;
    }
}
