#include "AppServices.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CScriptCommand.h"
#include "CSpriteInstance.h"
#include "SK_Home.h"

namespace {

// Gives the sprite's images back to the sprite module.
void ReleaseImages(const CSpriteInstance* sprite) {
    uint8_t set = 0;
    uint8_t index = 0;
    SK_Home* home = GetSpriteHome();
    if (sprite != nullptr && home != nullptr && home->IsLoaded() && sprite->GetSetAndSprite(set, index)) {
        home->ReleaseSprite(set, index);
    }
}

void ReleaseSprite(std::unique_ptr<CSpriteInstance>& sprite) {
    ReleaseImages(sprite.get());
    sprite.reset();
}

void DeleteImages(std::vector<JImage*>& images) {
    for (JImage* image : images) delete image;
    images.clear();
}

}  // namespace

// What a level took: safe to run twice, on a world that never loaded and
// on a load given up half way.
void CGameWorld::Unload() {
    UnloadLevel();
    CScreen::Unload();
}

void CGameWorld::UnloadLevel() {
    for (auto it = templateSprites.rbegin(); it != templateSprites.rend(); ++it) ReleaseSprite(*it);
    templateSprites.clear();
    ReleaseSprite(playerExtraSprite);
    if (projectilePool && projectilePool->size() > 0) ReleaseImages(projectilePool->elementAt(0)->sprite.get());
    if (player != nullptr) ReleaseImages(player->sprite.get());
    if (partner != nullptr) ReleaseImages(partner->sprite.get());
    player = nullptr;
    partner = nullptr;
    cameraTarget = nullptr;
    for (std::unique_ptr<CSpriteInstance>* sprite :
         {&hudSprite, &projectileSprite, &promptSprite, &effectSpriteA, &bossGaugeSprite,
          &hitSparkSprite, &partnerGaugeSprite, &level8Sprite}) {
        ReleaseSprite(*sprite);
    }
    fullScreenSprite = nullptr;
    DeleteImages(portraitTable);
    speakerPortraits = nullptr;
    DeleteRunningCommands();
    ClearActorLists(false);
    DeleteActorLists();
    DeleteImages(borderTable);
    borderImages = nullptr;
    SK_Home* home = GetSpriteHome();
    if (home != nullptr && home->IsLoaded()) home->ReleaseAll();
    checkpoint.clear();
    hudIcon.reset();
    ClearLevelData();
}

// Layers, tile types, templates, spawns, the map being read and the script
// table.
void CGameWorld::ClearLevelData() {
    CloseMapStream();
    levelMap.Clear();
    backgroundImage.reset();
    backgroundTileset.reset();
    mainTileset.reset();
    backgroundTileCount = 0;
    backgroundTileOpaque.clear();
    backgroundTileSources.clear();
    mainTileCount = 0;
    mainTileOpaque.clear();
    mainTileSources.clear();
    backgroundLayer = LevelTileLayer();
    tileLayer = LevelTileLayer();
    tileTypes.clear();
    tileTypeCount = 0;
    collisionLayer.clear();
    collisionWidth = collisionHeight = 0;
    templateTypes.clear();
    templateFlags.clear();
    templateRanges.clear();
    spawns.clear();
    spawnPoints.clear();
    levelScripts.Clear();
    loaded = false;
}

// The tables that live across levels until the world goes.
void CGameWorld::DeleteHudTables() {
    DeleteImages(portraitTable);
    DeleteImages(borderTable);
    speakerPortraits = nullptr;
    borderImages = nullptr;
    nameTable.clear();
    speakerNames = nullptr;
}
