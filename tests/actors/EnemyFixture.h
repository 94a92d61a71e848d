#ifndef ENEMYFIXTURE_H
#define ENEMYFIXTURE_H

// The behaviour fixture with what the enemy and boss tests add: a floor of
// platform tiles, full frames with physics, a script command that waits
// for an actor, and the boxes of the synthetic sprites placed in pixels.

#include <memory>

#include "BehaviourFixture.h"
#include "CScriptCommand.h"
#include "LevelScriptRecords.h"

namespace playtest {

// Tile code of the floor: solid and landable.
constexpr int8_t kFloorCode = 1;

class EnemyFixture : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        world->tileTypes[kFloorCode][CGameWorld::kTilePlatform] = 1;
    }

    void TearDown() override {
        world->waitingCommand = nullptr;
        BehaviourFixture::TearDown();
    }

    // Floor tiles on a row, from column first to column last inclusive.
    void Floor(int32_t row, int32_t first = 0, int32_t last = kMapColumns - 1) {
        for (int32_t c = first; c <= last; ++c) SetTileCode(c, row, kFloorCode);
    }

    // Whole frames of the world's kind: each actor's update with physics,
    // then the flush of the lists.
    void Frames(std::initializer_list<CActor*> actors, int32_t count = 1) {
        for (int32_t i = 0; i < count; ++i) {
            for (CActor* a : actors) a->Update(kDt);
            world->FlushActorLists();
        }
    }

    // A script command parked in the world, waiting for an actor.
    CScriptCommand* Park() {
        command = std::make_unique<CScriptCommand>(*world, LevelScriptCommand{}, 0);
        command->done = CScriptCommand::kRunning;
        world->waitingCommand = command.get();
        return command.get();
    }

    int32_t CountOfType(const CGameWorld::ActorList& list, int32_t type) const {
        int32_t n = 0;
        for (int32_t i = 0; i < list.size(); ++i) n += list.elementAt(i)->type == type ? 1 : 0;
        return n;
    }

    // Actors of a type made since a list size was taken.
    std::vector<CActor*> MadeSince(int32_t ownedBefore, int32_t type) const {
        std::vector<CActor*> made;
        for (int32_t i = ownedBefore; i < world->ownedList->size(); ++i) {
            CActor* a = world->ownedList->elementAt(i);
            if (a->type == type) made.push_back(a);
        }
        return made;
    }

    std::unique_ptr<CScriptCommand> command;
};

}  // namespace playtest

#endif
