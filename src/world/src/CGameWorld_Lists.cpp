#include <algorithm>
#include <vector>

#include "CActor.h"
#include "CGameWorld.h"
#include "CAssert.h"

namespace {

// Shots and strikes that the behaviours make are never put back once they
// are removed: deleting them keeps a long fight from piling them up in the
// owned list. One that is re-sorted in this frame is still wanted.
bool IsSpentShot(const CGameWorld::ActorList& owned, const CGameWorld::ActorList& adding, CActor* a) {
    using namespace ActorType;
    if (a->type != kStrikeEffect && a->type != kThrownShot && a->type != kBossShot) return false;
    return owned.contains(a) && !adding.contains(a);
}

}  // namespace

void CGameWorld::ClearList(ActorList* list) {
    if (list != nullptr) list->clear();
}

void CGameWorld::RemoveEvery(ActorList* list, const CActor* a) {
    if (list == nullptr) return;
    while (list->removeElement(const_cast<CActor*>(a))) {
    }
}

void CGameWorld::ResetActorLists() {
    ClearActorLists(false);
    for (std::unique_ptr<ActorList>* list : {&drawList, &activeList, &spawnedList, &collisionList, &ownedList,
                                             &pendingAdd, &pendingRemove, &pendingActive, &pendingCollision,
                                             &projectilePool}) {
        *list = std::make_unique<ActorList>();
    }
    backgroundCount = 0;
}

void CGameWorld::ClearActorLists(bool keepOwned) {
    for (ActorList* list : {drawList.get(), activeList.get(), spawnedList.get(), collisionList.get(),
                            projectilePool.get(), pendingAdd.get(), pendingRemove.get(), pendingActive.get(),
                            pendingCollision.get()}) {
        ClearList(list);
    }
    if (!keepOwned) {
        DeleteOwnedActors();
        DeleteSpawnActors();
    }
    backgroundCount = 0;
}

// Owned actors still listed would have no owner once the list is gone:
// they are deleted first.
void CGameWorld::DeleteActorLists() {
    DeleteOwnedActors();
    for (std::unique_ptr<ActorList>* list : {&drawList, &activeList, &spawnedList, &collisionList, &ownedList,
                                             &pendingAdd, &pendingRemove, &pendingActive, &pendingCollision,
                                             &projectilePool}) {
        list->reset();
    }
    DeleteSpawnActors();
}

void CGameWorld::DeleteOwnedActors() {
    if (!ownedList) return;
    while (ownedList->size() > 0) {
        CActor* a = ownedList->lastElement();
        ownedList->removeElementAt(ownedList->size() - 1);
        DeleteActor(a);
    }
}

void CGameWorld::DeleteSpawnActors() {
    for (CActor*& entry : spawnActors) {
        CActor* a = entry;
        entry = nullptr;
        if (a != nullptr) DeleteActor(a);
    }
    spawnActors.clear();
}

// The one place that knows every pointer to an actor: the world's own
// references, the other actors' links, every list and queue and the
// actor's owner entry.
void CGameWorld::ForgetActor(const CActor* a) {
    if (a == nullptr) return;
    if (player == a) player = nullptr;
    if (partner == a) partner = nullptr;
    if (cameraTarget == a) cameraTarget = nullptr;
    if (waitingActor == a) waitingActor = nullptr;
    for (CActor*& entry : spawnActors) {
        if (entry == a) entry = nullptr;
        if (entry != nullptr && entry->link == a) entry->link = nullptr;
    }
    if (ownedList) {
        for (int32_t i = 0; i < ownedList->size(); ++i) {
            CActor* other = ownedList->elementAt(i);
            if (other->link == a) other->link = nullptr;
        }
    }
    if (drawList && drawList->contains(const_cast<CActor*>(a)) && a->depth == kBackgroundDepth &&
        backgroundCount > 0) {
        --backgroundCount;
    }
    for (ActorList* list : {drawList.get(), activeList.get(), spawnedList.get(), collisionList.get(),
                            ownedList.get(), projectilePool.get(), pendingAdd.get(), pendingRemove.get(),
                            pendingActive.get(), pendingCollision.get()}) {
        RemoveEvery(list, a);
    }
}

void CGameWorld::DeleteActor(CActor* a) {
    ForgetActor(a);
    delete a;
}

bool CGameWorld::CanQueue(const ActorList* list, const ActorList* queue, const CActor* a) const {
    CActor* key = const_cast<CActor*>(a);
    if (queue == nullptr || list == nullptr || queue->contains(key)) return false;
    return !list->contains(key) || (pendingRemove && pendingRemove->contains(key));
}

void CGameWorld::QueueAddActor(CActor* a) {
    if (a == nullptr || !CanQueue(drawList.get(), pendingAdd.get(), a)) return;
    pendingAdd->addElement(a);
    if (a->createFlag != 0) QueueActive(a);
    if (ActorType::IsCollider(a->type)) QueueCollision(a);
}

void CGameWorld::QueueActive(CActor* a) {
    if (CanQueue(activeList.get(), pendingActive.get(), a)) pendingActive->addElement(a);
}

void CGameWorld::QueueCollision(CActor* a) {
    if (CanQueue(collisionList.get(), pendingCollision.get(), a)) pendingCollision->addElement(a);
}

void CGameWorld::QueueRemoveActor(CActor* a) {
    if (a != nullptr && pendingRemove) pendingRemove->addElement(a);
}

void CGameWorld::FlushActorLists() {
    if (!drawList || !pendingRemove) return;
    ApplyRemovals();
    ApplyInsertions();
    for (int32_t i = 0; i < pendingActive->size(); ++i) activeList->addElement(pendingActive->elementAt(i));
    pendingActive->clear();
    for (int32_t i = 0; i < pendingCollision->size(); ++i) collisionList->addElement(pendingCollision->elementAt(i));
    pendingCollision->clear();
}

// An actor queued twice is handled once; a spark leaves every queue when it
// is deleted, so it is never inserted again after it is gone.
void CGameWorld::ApplyRemovals() {
    std::vector<CActor*> queue;
    for (int32_t i = 0; i < pendingRemove->size(); ++i) {
        CActor* a = pendingRemove->elementAt(i);
        bool seen = false;
        for (const CActor* earlier : queue) seen = seen || earlier == a;
        if (!seen) queue.push_back(a);
    }
    pendingRemove->clear();
    for (CActor* a : queue) {
        if (drawList->removeElement(a) && a->depth == kBackgroundDepth && backgroundCount > 0) --backgroundCount;
        activeList->removeElement(a);
        collisionList->removeElement(a);
        spawnedList->removeElement(a);
        if (a->type == ActorType::kHitSpark || IsSpentShot(*ownedList, *pendingAdd, a)) DeleteActor(a);
    }
}

void CGameWorld::ApplyInsertions() {
    for (int32_t i = 0; i < pendingAdd->size(); ++i) {
        CActor* a = pendingAdd->elementAt(i);
        if (a->depth == kBackgroundDepth) backgroundCount = std::min(backgroundCount + 1, drawList->size() + 1);
        InsertByDepth(a);
        spawnedList->addElement(a);
    }
    pendingAdd->clear();
}

void CGameWorld::InsertByDepth(CActor* a) {
    for (int32_t i = 0; i < drawList->size(); ++i) {
        if (drawList->elementAt(i)->depth > a->depth) {
            drawList->insertElementAt(a, i);
            return;
        }
    }
    drawList->addElement(a);
}

// Queued like every other change to the lists: the actor asking may be
// one the world is walking the draw list for.
void CGameWorld::ResortActor(CActor* a) {
    QueueRemoveActor(a);
    QueueAddActor(a);
}

CActor* CGameWorld::FindActorById(int32_t ref) const {
    if (ref < 0 || ref >= kActorRefCount) {
        DebugPrintf("world: actor reference %d out of range", ref);
        return nullptr;
    }
    const int32_t id = actorRefs[static_cast<size_t>(ref)];
    // A reference that names no spawn must not meet the actors that have
    // none, the player first of them.
    if (!spawnedList || id < 0) return nullptr;
    for (int32_t i = 0; i < spawnedList->size(); ++i) {
        CActor* a = spawnedList->elementAt(i);
        if (a->spawnId == id) return a;
    }
    return nullptr;
}
