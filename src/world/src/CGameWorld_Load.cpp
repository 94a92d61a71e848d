#include <algorithm>

#include "AppServices.h"
#include "CActor.h"
#include "CAssert.h"
#include "CDeviceConfig.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameSettings.h"
#include "CGameWorld.h"
#include "CKeyset.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CScriptCommand.h"
#include "CSpriteInstance.h"
#include "CTouchButtonManager.h"
#include "JGraphics.h"
#include "ResIdArray.h"
#include "ResourceText.h"

// A level comes into the world one slice per call: play-screen resources,
// the map section by section, templates and spawn actors in twenty slices
// each, then the scripts and the first checkpoint.

namespace {

// Step ranges: each call does the slice its step falls in.
constexpr int32_t kStepLevel = 2;
constexpr int32_t kStepScreen = 5;
constexpr int32_t kStepTilesets = 10;
constexpr int32_t kStepOpenMap = 15;
constexpr int32_t kStepBackground = 18;
constexpr int32_t kStepTileTypes = 22;
constexpr int32_t kStepCollision = 25;
constexpr int32_t kStepTileLayer = 30;
constexpr int32_t kStepTemplateCount = 32;
constexpr int32_t kStepTemplates = 38;
constexpr int32_t kStepSpawns = 58;
constexpr int32_t kStepReferences = 60;
constexpr int32_t kStepCloseMap = 65;
constexpr int32_t kStepPlayer = 68;
constexpr int32_t kStepSpawnActors = 70;
constexpr int32_t kStepDropRecords = 90;
constexpr int32_t kStepIdle = 92;
// The records step skips one: 90 and 91 go on at 93.
constexpr int32_t kStepAfterRecords = 93;
constexpr int32_t kStepIdleEnd = 94;
constexpr int32_t kStepScripts = 94;
constexpr int32_t kStepFinish = 99;
constexpr int32_t kSlices = 20;

// Resources.
constexpr int32_t kMapKeys = 0x5000108;
constexpr int32_t kMainTilesetGroup = 0x500010A;
constexpr int32_t kBackgroundTilesetGroup = 0x500010B;
constexpr int32_t kBackgroundImageGroup = 0x500010C;
constexpr uint32_t kTouchImageIds[CGameWorld::kTouchImages] = {536, 372, 343};
constexpr uint32_t kNoImage = 0;
constexpr uint32_t kPortraitIds[CGameWorld::kPortraitCount] = {523, 375, kNoImage, 500, 332, 487,
                                                               441, 506, 520, kNoImage, 518};
constexpr int32_t kBorderCount = CGameWorld::kBorderImages;
constexpr uint32_t kBorderIds[kBorderCount] = {600, 337, 615, 533, 357, 344, 421, 530, 353, 432};
constexpr int32_t kMirroredBorders[] = {8, 9};
constexpr int32_t kMirrored = 2;
constexpr int32_t kNoText = 0;
constexpr int32_t kNameIds[CGameWorld::kPortraitCount] = {0x21FF015E, 0x21FF026C, kNoText, 0x21FF011C,
                                                           0x21FF0269, 0x21FF0270, 0x21FF022F, 0x21FF0121,
                                                           0x21FF01EA, 0x21FF0227, kNoText};
constexpr uint32_t kHudIcon = 440;
constexpr uint32_t kHudIconLastLevel = 623;

// Sprite sets of the play screen.
constexpr int32_t kSetProjectile = 14;
constexpr int32_t kSetHud = 16;
constexpr int32_t kSetEffectA = 17;
constexpr int32_t kSetHitSpark = 25;
constexpr int32_t kSetDecoration = 11;
constexpr int32_t kSetLevel8 = 56;
constexpr int32_t kSetPartnerGauge = 42;
constexpr int32_t kSetPlayerExtra = 55;
constexpr int32_t kSetKeyPrompt = 20;
constexpr int32_t kSetPlayerFormA = 12;
constexpr int32_t kSetPlayerFormB = 0;
constexpr int32_t kPartnerSets[3] = {52, 51, 15};

// Per-level tables.
constexpr int32_t kLastLevel = CGameWorld::kLevelCount - 1;
constexpr int32_t kFormBLevel = 4;
constexpr int32_t kTilesetIndex[CGameWorld::kLevelCount] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
constexpr int32_t kBackgroundColour[CGameWorld::kLevelCount] = {0, 0, 0, 0, 0xEA7418, 0xEA7418, 0, 0, 0};
constexpr int32_t kPartnerForm[CGameWorld::kLevelCount] = {1, 1, 0, 0, 1, 1, 2, 2, 2};
constexpr uint8_t kKeepsReserve[CGameWorld::kLevelCount] = {0, 1, 1, 0, 1, 1, 1, 1, 1};
constexpr int32_t kFirstScript[CGameWorld::kLevelCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr bool HasDecoration(int32_t level) { return level == 0 || level == 4 || level == 5; }

constexpr int32_t kPartnerFormWord = 2;
constexpr int32_t kTouchGroupFormA = 2;
constexpr int32_t kTouchGroupFormB = 3;
constexpr int32_t kTouchGroupCheats = 5;
constexpr int32_t kTextPageOpcode = 29;
constexpr uint32_t kOpaqueBlack = 0xFF000000;

int32_t ClampLevel(int32_t level) { return std::clamp(level, 0, kLastLevel); }

std::unique_ptr<CSpriteInstance> NewSprite(int32_t set) {
    auto sprite = std::make_unique<CSpriteInstance>();
    sprite->SetSprite(set);
    return sprite;
}

// The member `index` of an image group (clamped to the group); null when
// the group is empty or missing. The image holds its resource itself; the
// group is given back at once.
std::unique_ptr<JImage> GroupImage(int32_t groupId, int32_t index) {
    CResource* group = nullptr;
    ResIdArray* ids = CollectResourceIds(groupId, &group);
    std::unique_ptr<JImage> image;
    if (ids != nullptr && ids->size() > 0) {
        const uint32_t id = *ids->at(std::clamp(index, 0, ids->size() - 1));
        image = std::make_unique<JImage>(id, 0);
    } else {
        DebugPrintf("world: image group 0x%X is missing or empty", static_cast<unsigned>(groupId));
    }
    if (ids != nullptr) ids->destroy();
    CResourceManager* manager = GetAppResourceManager();
    if (group != nullptr && manager != nullptr) manager->ReleaseByHandle(static_cast<uint32_t>(groupId));
    return image;
}

int32_t TileCount(const JImage* image) {
    if (image == nullptr) return 0;
    return (image->getWidth() / CGameWorld::kTileSize) * (image->getHeight() / CGameWorld::kTileSize);
}

std::vector<bool> OpaqueTiles(const JImage* image) {
    return image != nullptr ? image->opaqueSquares(CGameWorld::kTileSize) : std::vector<bool>();
}

std::vector<CRect> TileSources(const JImage* image) {
    return image != nullptr ? image->squareSources(CGameWorld::kTileSize) : std::vector<CRect>();
}

// The first index of a slice of `count` records cut into twenty.
int32_t SliceStart(int32_t count, int32_t slice) {
    const int32_t k = count / kSlices + 1;
    return std::min(count, slice * k);
}

}  // namespace

int32_t CGameWorld::LoadStep(int32_t step) {
    if (step >= kLoaded) return step;
    if (step < kStepLevel) return LoadBegin();
    if (step < kStepScreen) return LoadLevelSettings();
    if (step < kStepTilesets) return LoadPlayScreen();
    if (step < kStepOpenMap) return LoadTilesets();
    if (step < kStepBackground) return OpenMap();
    if (step < kStepTileTypes) return ReadMapBackground();
    if (step < kStepCollision) return ReadMapTileTypes();
    if (step < kStepTileLayer) return ReadMapCollision();
    if (step < kStepTemplateCount) return ReadMapTileLayer();
    if (step < kStepTemplates) return ReadMapTemplateCount();
    if (step < kStepSpawns) return ReadMapTemplates(step);
    if (step < kStepReferences) return ReadMapSpawns();
    if (step < kStepCloseMap) return ReadMapReferences();
    if (step < kStepPlayer) return CloseMap();
    if (step < kStepSpawnActors) return MakePlayer();
    if (step < kStepDropRecords) return MakeSpawnActors(step);
    if (step < kStepIdle) return DropMapRecords();
    if (step < kStepIdleEnd) return kStepScripts;
    if (step == kStepScripts) return LoadScriptsStep();
    return FinishLoad();
}

int32_t CGameWorld::LoadBegin() {
    inputBlocked = 0;
    variantFlag = 0;
    formBStart = 0;
    letterbox = 0;
    noStart = 0;
    mapFailed = 0;
    loaded = false;
    if (CTouchButtonManager* touch = GetTouchButtons()) {
        touch->Disable(kTouchGroupFormA);
        touch->Disable(kTouchGroupFormB);
        if (IsCheatsEnabled(GetGameSettings()) != 0) touch->Disable(kTouchGroupCheats);
    }
    return kStepLevel;
}

int32_t CGameWorld::LoadLevelSettings() {
    CGameProgress* progress = GetProgress();
    const int32_t next = progress != nullptr ? progress->level : 0;
    if (next < 0 || next > kLastLevel) DebugPrintf("world: level %d is not one of the game's", next);
    formBStart = next == kFormBLevel ? 1 : 0;
    partnerAvailable = formBStart;
    level = next;
    const int32_t index = ClampLevel(next);
    if (next == CGameProgress::kInterludeLevel && progress != nullptr && progress->interludeImage == nullptr) {
        progress->interludeImage = new JImage(CGameProgress::kInterludeImage, 0);
        progress->interludeShown = 1;
    }
    partnerForm = kPartnerForm[index];
    promptStatus = kPromptIdle;
    const CGameApp* app = GetGameApp();
    const int32_t forced = app != nullptr ? app->GetDeviceConfig().GetForcedBackgroundLevel()
                                          : CDeviceConfig::kBackgroundLevelNotForced;
    backgroundColour = kBackgroundColour[forced != CDeviceConfig::kBackgroundLevelNotForced ? ClampLevel(forced)
                                                                                              : index];
    tilesetIndex = kTilesetIndex[index];
    if (const CGame* game = CGame::Get()) {
        screenWidth = game->GetScreenWidth();
        screenHeight = game->GetScreenHeight();
    }
    viewWidth = screenWidth;
    viewHeight = screenHeight;
    ResetActorLists();
    DeleteRunningCommands();
    return kStepScreen;
}

int32_t CGameWorld::LoadPlayScreen() {
    for (int32_t i = 0; i < kTouchImages; ++i) {
        if (!touchImages[static_cast<size_t>(i)]) touchImages[static_cast<size_t>(i)] = std::make_unique<JImage>(kTouchImageIds[i], 0);
    }
    if (portraitTable.empty()) {
        for (uint32_t id : kPortraitIds) portraitTable.push_back(id != kNoImage ? new JImage(id, 0) : nullptr);
        speakerPortraits = portraitTable.data();
    }
    if (nameTable.empty()) {
        for (int32_t id : kNameIds) nameTable.push_back(id != kNoText ? GetUpperText(id) : JString());
        speakerNames = nameTable.data();
    }
    CActor* made = CreateEffect(kPartnerSets[std::clamp(partnerForm, 0, 2)], ActorType::kPartner, 0, 0,
                                CActor::kAnchorCentreX);
    partner = made;
    if (partner != nullptr) {
        partner->SetStateWord(kPartnerFormWord, partnerForm);
        if (partner->sprite) partner->sprite->SetVisible(false);
    }
    partnerMode = 0;
    projectileSprite = NewSprite(kSetProjectile);
    hudSprite = NewSprite(kSetHud);
    hudSpriteCopy = std::make_unique<CSpriteInstance>();
    hudSpriteCopy->CopySprite(*hudSprite);
    hudIcon = std::make_unique<JImage>(level < kLastLevel ? kHudIcon : kHudIconLastLevel, 0);
    level8Sprite.reset();
    if (level == kLastLevel) level8Sprite = NewSprite(kSetLevel8);
    fullScreenSprite = level8Sprite.get();
    if (!HasDecoration(level)) {
        decorationSprite.reset();
    } else if (!decorationSprite) {
        decorationSprite = NewSprite(kSetDecoration);
    }
    effectSpriteA = NewSprite(kSetEffectA);
    hitSparkSprite = NewSprite(kSetHitSpark);
    if (borderTable.empty()) {
        for (uint32_t id : kBorderIds) borderTable.push_back(new JImage(id, 0));
        for (int32_t i : kMirroredBorders) borderTable[static_cast<size_t>(i)]->setTransform(kMirrored);
        borderImages = borderTable.data();
    }
    if (formBStart != 0 && !partnerGaugeSprite) {
        partnerGaugeSprite = NewSprite(kSetPartnerGauge);
        partnerGaugeSprite->UpdateCollisionBox();
        playerExtraSprite = NewSprite(kSetPlayerExtra);
    }
    return kStepTilesets;
}

int32_t CGameWorld::LoadTilesets() {
    backgroundImage = GroupImage(kBackgroundImageGroup, tilesetIndex);
    backgroundTileset = GroupImage(kBackgroundTilesetGroup, tilesetIndex);
    backgroundTileCount = TileCount(backgroundTileset.get());
    backgroundTileOpaque = OpaqueTiles(backgroundTileset.get());
    backgroundTileSources = TileSources(backgroundTileset.get());
    mainTileset = GroupImage(kMainTilesetGroup, tilesetIndex);
    mainTileCount = TileCount(mainTileset.get());
    mainTileOpaque = OpaqueTiles(mainTileset.get());
    mainTileSources = TileSources(mainTileset.get());
    return kStepOpenMap;
}

// The key set is given back as soon as the entry is read.
int32_t CGameWorld::OpenMap() {
    CloseMapStream();
    levelMap.Clear();
    CResource* resource = nullptr;
    GetResource(kMapKeys, &resource);
    const auto* keys = resource != nullptr ? dynamic_cast<const CKeyset*>(resource->GetObject()) : nullptr;
    if (keys != nullptr && level >= 0 && static_cast<uint32_t>(level) < keys->GetCount()) {
        mapStream = std::make_unique<CResourceStream>(keys->Get(static_cast<uint32_t>(level)));
    } else {
        DebugPrintf("world: no map for level %d", level);
    }
    CResourceManager* manager = GetAppResourceManager();
    if (resource != nullptr && manager != nullptr) manager->ReleaseByHandle(static_cast<uint32_t>(kMapKeys));
    return kStepBackground;
}

void CGameWorld::CloseMapStream() {
    if (!mapStream) return;
    mapStream->ReleaseResource();
    mapStream.reset();
}

// A section that cannot be read leaves what came before: the level then
// has no player start and play does not begin.
bool CGameWorld::ReadMapSection(bool (LevelMapData::*read)(CInputStream&), const char* what) {
    if (!mapStream) {
        mapFailed = 1;
        return false;
    }
    if ((levelMap.*read)(*mapStream)) return true;
    DebugPrintf("world: the map of level %d has no readable %s", level, what);
    mapFailed = 1;
    return false;
}

int32_t CGameWorld::ReadMapBackground() {
    ReadMapSection(&LevelMapData::ReadBackground, "background");
    backgroundLayer = levelMap.HasBackground() ? levelMap.Background() : LevelTileLayer();
    return kStepTileTypes;
}

int32_t CGameWorld::ReadMapTileTypes() {
    ReadMapSection(&LevelMapData::ReadTileTypes, "tile types");
    std::vector<std::vector<uint8_t>> types;
    for (const LevelTileType& t : levelMap.TileTypes()) types.push_back(t.flagBytes);
    SetTileData(0, 0, {}, std::move(types));
    return kStepCollision;
}

int32_t CGameWorld::ReadMapCollision() {
    ReadMapSection(&LevelMapData::ReadCollision, "collision layer");
    const LevelTileLayer& c = levelMap.Collision();
    SetTileData(c.width, c.height, c.cells, std::move(tileTypes));
    return kStepTileLayer;
}

int32_t CGameWorld::ReadMapTileLayer() {
    ReadMapSection(&LevelMapData::ReadTileLayer, "tile layer");
    tileLayer = levelMap.TileLayer();
    mapWidth = tileLayer.width;
    mapHeight = tileLayer.height;
    mapWidthPx = mapWidth * tileWidth;
    mapHeightPx = mapHeight * tileHeight;
    SetCameraBounds(0, 0, mapWidth, mapHeight);
    return kStepTemplateCount;
}

int32_t CGameWorld::ReadMapTemplateCount() {
    ReadMapSection(&LevelMapData::ReadTemplateCount, "template count");
    const size_t m = levelMap.TemplateCount();
    templateSprites.clear();
    templateSprites.resize(m);
    templateTypes.assign(m, kNoActorType);
    templateFlags.assign(m, 0);
    templateRanges.assign(m, SpawnRange{});
    return kStepTemplates;
}

int32_t CGameWorld::ReadMapTemplates(int32_t step) {
    const int32_t m = static_cast<int32_t>(levelMap.TemplateCount());
    const int32_t slice = step - kStepTemplates;
    const int32_t first = SliceStart(m, slice);
    const int32_t end = SliceStart(m, slice + 1);
    if (mapStream && end > first && !levelMap.ReadTemplates(*mapStream, static_cast<uint32_t>(end))) {
        DebugPrintf("world: the templates of level %d end early in the map", level);
        mapFailed = 1;
    }
    const int32_t read = std::min(end, static_cast<int32_t>(levelMap.TemplatesRead()));
    for (int32_t i = first; i < read; ++i) BuildTemplate(i);
    return step + 1;
}

void CGameWorld::BuildTemplate(int32_t index) {
    const size_t i = static_cast<size_t>(index);
    const LevelTemplate& t = levelMap.Templates()[i];
    if (!t.present) return;
    templateTypes[i] = t.type;
    templateFlags[i] = t.createFlag;
    const bool shared = t.sharedTemplate != kNoTemplate && templateSprites[static_cast<size_t>(t.sharedTemplate)];
    if (shared) {
        templateSprites[i] = std::make_unique<CSpriteInstance>();
        templateSprites[i]->CopySprite(*templateSprites[static_cast<size_t>(t.sharedTemplate)]);
    } else if (t.spriteSet != kNoSpriteSet) {
        templateSprites[i] = NewSprite(t.spriteSet);
    }
    const CSpriteInstance* sprite = templateSprites[i].get();
    templateRanges[i].horizontal = ActivationRange(t.horizontalRange, tileWidth, viewWidth, mapWidthPx,
                                                   sprite != nullptr ? sprite->GetWidth() : 0);
    templateRanges[i].vertical = ActivationRange(t.verticalRange, tileHeight, viewHeight, mapHeightPx,
                                                 sprite != nullptr ? sprite->GetHeight() : 0);
}

int32_t CGameWorld::ActivationRange(int32_t stored, int32_t tile, int32_t view, int32_t map, int32_t box) {
    if (stored > 0) return stored * tile;
    if (stored == 0) return view + map;
    return view + box;
}

// Spawns that cannot make an actor stay empty and count as destroyed.
int32_t CGameWorld::ReadMapSpawns() {
    ReadMapSection(&LevelMapData::ReadSpawns, "spawns");
    for (CActor*& a : spawnActors) {
        if (a != nullptr) DeleteActor(a);
    }
    const std::vector<LevelSpawn>& records = levelMap.Spawns();
    spawnActors.assign(records.size(), nullptr);
    spawns.assign(records.size(), SpawnSlot{});
    spawnPoints = records;
    for (size_t i = 0; i < records.size(); ++i) {
        const int16_t t = records[i].templateIndex;
        const CSpriteInstance* sprite =
            t >= 0 && static_cast<size_t>(t) < templateSprites.size() ? templateSprites[static_cast<size_t>(t)].get()
                                                                     : nullptr;
        if (sprite == nullptr) {
            spawns[i] = {0, kSpawnDestroyed};
            spawnPoints[i].templateIndex = kNoTemplate;
            continue;
        }
        spawns[i].templateIndex = t;
        const int32_t h = sprite->GetHeight();
        const int8_t anchor = levelMap.Templates()[static_cast<size_t>(t)].anchor;
        if (anchor == 0) spawnPoints[i].y = static_cast<int16_t>(records[i].y - (h >> 1) - (h & 1));
        if (anchor == 1) spawnPoints[i].y = static_cast<int16_t>(records[i].y + (h >> 1));
    }
    return kStepReferences;
}

int32_t CGameWorld::ReadMapReferences() {
    ReadMapSection(&LevelMapData::ReadReferences, "references");
    actorRefs = levelMap.ActorRefs();
    const LevelPlayerStart& start = levelMap.PlayerStart();
    noStart = start.present && mapFailed == 0 ? 0 : 1;
    if (start.present) playerStart = start;
    if (start.present && !start.IsFormB() && level == kLastLevel) variantFlag = 1;
    return kStepCloseMap;
}

int32_t CGameWorld::CloseMap() {
    CloseMapStream();
    return kStepPlayer;
}

// Without a start record there is no player: play will not begin.
int32_t CGameWorld::MakePlayer() {
    if (noStart != 0) {
        DebugPrintf("world: the map of level %d has no player start or cannot be read", level);
        return kStepSpawnActors;
    }
    const bool formB = playerStart.IsFormB();
    player = CreateEffect(formB ? kSetPlayerFormB : kSetPlayerFormA,
                          formB ? ActorType::kPlayerFormB : ActorType::kPlayerFormA, 0, 0, 0);
    if (player == nullptr) return kStepSpawnActors;
    QueueAddActor(player);
    player->SetPositionAnchored(playerStart.x, playerStart.y, 0);
    CGameProgress* progress = GetProgress();
    const int32_t progressLevel = ClampLevel(progress != nullptr ? progress->level : level);
    if (kKeepsReserve[progressLevel] == 0) player->SetStateWord(PlayerWord::kReserve, 0);
    if (playerStart.FacesLeft()) player->facing = 0;
    return kStepSpawnActors;
}

int32_t CGameWorld::MakeSpawnActors(int32_t step) {
    const int32_t n = static_cast<int32_t>(spawnActors.size());
    const int32_t slice = step - kStepSpawnActors;
    const int32_t end = SliceStart(n, slice + 1);
    for (int32_t i = SliceStart(n, slice); i < end; ++i) BuildSpawnActor(i);
    return step + 1;
}

void CGameWorld::BuildSpawnActor(int32_t index) {
    const size_t i = static_cast<size_t>(index);
    if (spawns[i].state == kSpawnDestroyed || spawnPoints[i].templateIndex == kNoTemplate) return;
    if (spawnActors[i] != nullptr) DeleteActor(spawnActors[i]);
    spawnActors[i] = nullptr;
    const size_t t = static_cast<size_t>(spawns[i].templateIndex);
    const std::vector<int8_t>& extra = levelMap.Templates()[t].extraData;
    auto* a = new CActor(templateSprites[t].get(), templateTypes[t], templateFlags[t],
                         extra.empty() ? nullptr : extra.data(), spawnPoints[i].x, spawnPoints[i].y,
                         CActor::kAnchorCentreY, static_cast<int32_t>(extra.size()));
    a->spawnId = index;
    spawnActors[i] = a;
}

int32_t CGameWorld::DropMapRecords() {
    if (CGameInput* input = GetInput()) input->Reset();
    levelMap.Clear();
    return kStepAfterRecords;
}

int32_t CGameWorld::LoadScriptsStep() {
    LoadLevelScripts(level);
    promptSprite = NewSprite(kSetKeyPrompt);
    return kStepFinish;
}

int32_t CGameWorld::FinishLoad() {
    // Without a player no script can run as written (a walk would end at
    // once): play does not begin, so neither does the story.
    const int32_t first = noStart == 0 ? kFirstScript[ClampLevel(level)] : kNoScript;
    if (first != kNoScript) {
        JGraphics g;
        fillScreen(g, kOpaqueBlack);
        StartScript(first);
    }
    playerControl = 1;
    scriptFlag = 0;
    scriptTimer = -1;
    shakeOffsetX = 0;
    shakeOffsetY = 0;
    lookAhead = 0;
    FollowPlayer();
    UpdateCamera(0, true);
    collectedCount = 0;
    subState = kSubStateNormal;
    for (auto it = runningCommands.rbegin(); it != runningCommands.rend(); ++it) {
        if ((*it)->opcode == kTextPageOpcode) {
            subState = kSubStateBlack;
            break;
        }
    }
    if (noStart != 0) subState = kSubStateNoStart;
    checkpoint.assign(static_cast<size_t>(kCheckpointWords) + spawns.size(), 0);
    SaveCheckpoint();
    StartFade(kFadeDown, 0x000000, kWhite, kFadeSpan);
    playTime = 0;
    if (CGameInput* input = GetInput()) input->Reset();
    loaded = true;
    return kLoaded;
}
