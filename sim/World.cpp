#include "sim/World.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <utility>

#include "config/GameNames.h"
#include "config/Jenkins.h"

void PedTable::clear() {
    entries_.clear();
    position_.clear();
}

PedTable::iterator PedTable::erase(iterator at) {
    const size_t removed = static_cast<size_t>(at - entries_.begin());
    position_[static_cast<size_t>(at->first - base_)] = -1;
    for (size_t k = removed + 1; k < entries_.size(); ++k)
        --position_[static_cast<size_t>(entries_[k].first - base_)];
    const iterator next = entries_.erase(at);
    // Forget the positions below the oldest ped once they are most of the index.
    const size_t unused =
        entries_.empty() ? position_.size() : static_cast<size_t>(entries_.front().first - base_);
    if (unused > position_.size() / 2) {
        position_.erase(position_.begin(), position_.begin() + static_cast<std::ptrdiff_t>(unused));
        base_ += static_cast<int64_t>(unused);
    }
    return next;
}

void PedTable::Add(SimPed ped) {
    if (entries_.empty()) {
        position_.clear();
        base_ = ped.handle;
    }
    if (ped.handle < base_ || (!entries_.empty() && ped.handle <= entries_.back().first)) {
        std::fputs("skirmora: a new ped's handle must be greater than every other\n", stderr);
        std::abort();
    }
    position_.resize(static_cast<size_t>(ped.handle - base_) + 1, -1);
    position_.back() = static_cast<int32_t>(entries_.size());
    const int32_t handle = ped.handle;
    entries_.emplace_back(handle, std::move(ped));
}

int32_t World::AddPed(Vec3 position, uint32_t model, bool random, int64_t frame) {
    SimPed ped;
    ped.handle = nextHandle++;
    ped.position = position;
    ped.model = model;
    ped.random = random;
    ped.spawnFrame = static_cast<int32_t>(frame);
    ped.health = pedHealth;
    ped.weapons.reserve(4);  // handing out weapons later need not allocate
    const int32_t handle = ped.handle;
    peds.Add(std::move(ped));
    return handle;
}

namespace {

std::unordered_set<uint32_t> GameHashes(NameKind kind) {
    std::unordered_set<uint32_t> hashes;
    for (std::size_t k = 0; k < GameNameCount(kind); ++k)
        hashes.insert(JenkinsHash(GameName(kind, k)));
    return hashes;
}

// The hashes of the game's names, made when the program starts, so that no frame pays for them.
const std::unordered_set<uint32_t> GameWeaponHashes = GameHashes(NameKind::Weapon);
const std::unordered_set<uint32_t> GameModelHashes = GameHashes(NameKind::Model);

}  // namespace

bool World::IsGameWeapon(uint32_t hash) {
    return GameWeaponHashes.count(hash) != 0;
}

bool World::ModelNeverLoads(uint32_t hash) const {
    if (!GameModelHashes.count(hash)) return true;
    for (const std::string& name : neverLoadingModels)
        if (JenkinsHash(name) == hash) return true;
    return false;
}
