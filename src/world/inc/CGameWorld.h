#ifndef CGAMEWORLD_H
#define CGAMEWORLD_H

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "CResourceStream.h"
#include "CScreen.h"
#include "JImage.h"
#include "JString.h"
#include "JVector.h"
#include "LevelMapData.h"
#include "LevelScriptData.h"

class CActor;
class CGameInput;
class CGameProgress;
class CHud;
class CInputStream;
class CStates;
class CTouchButtonManager;
class CScriptCommand;
class CSoundManager;
class CSpriteInstance;
class JGraphics;

// The level in play: its actor lists with deferred insertion and removal,
// the spawn table, the camera with the tile queries and the screen shake,
// the key-prompt event and the fades. Actors never change the lists while
// they run: they queue, and FlushActorLists applies the queues once a frame.
// Every actor belongs either to spawnActors or to ownedList; every deletion
// goes through DeleteActor, which first clears every pointer to the actor.
class CGameWorld : public CScreen {
public:
    using ActorList = JVector<CActor*>;

    static constexpr int32_t kLoaded = 100;
    static constexpr int32_t kSubStateNormal = 0;
    static constexpr int32_t kSubStateLeave = 2;
    static constexpr int32_t kSubStateComplete = 3;
    static constexpr int32_t kSubStateBlack = 5;
    // A level whose map has no player start: play does not begin.
    static constexpr int32_t kSubStateNoStart = 6;
    static constexpr int32_t kBorderImages = 10;

    static constexpr int32_t kTileSize = 24;
    static constexpr int32_t kBackgroundDepth = -10;
    // Spawn states.
    static constexpr int32_t kSpawnFree = 0;
    static constexpr int32_t kSpawnLive = 1;
    static constexpr int32_t kSpawnDestroyed = 2;
    static constexpr int32_t kActorRefCount = 40;
    // Tile-type flag bytes.
    static constexpr int32_t kTilePassable = 0;
    static constexpr int32_t kTilePlatform = 1;
    static constexpr int32_t kTileDeadly = 4;
    static constexpr int32_t kTileLedge = 5;

    // Camera.
    static constexpr int32_t kNoFixedTarget = -1;
    static constexpr int32_t kNoCameraSpeed = -1;
    static constexpr int32_t kLookAheadStep = 5;
    static constexpr int32_t kLookAheadMax = 2 * kTileSize;
    static constexpr int32_t kMinStepPerSecond = 20;
    static constexpr int32_t kShakeIdle = -1;

    // Fades.
    static constexpr int32_t kFadeNone = -1;
    static constexpr int32_t kFadeUpDown = 0;
    static constexpr int32_t kFadeDown = 1;
    static constexpr int32_t kFadeUpHold = 2;
    static constexpr int32_t kFadeUpHoldPartner = 3;
    static constexpr int32_t kFadeDownFromColour = 4;
    static constexpr int32_t kFadeSpan = 300;
    static constexpr int32_t kFadeHoldSpan = 100;
    static constexpr uint32_t kWhite = 0xFFFFFF;

    // Key prompt.
    static constexpr int32_t kPromptPassed = 0;
    static constexpr int32_t kPromptRunning = 1;
    static constexpr int32_t kPromptIdle = 2;
    static constexpr int32_t kPromptEnded = 4;
    static constexpr int32_t kPromptDefaultFrames = 20;
    static constexpr int32_t kPromptValues = 3;
    static constexpr uint32_t kPromptKeys[kPromptValues] = {128, 64, 32};
    static constexpr int32_t kPromptAnimations[kPromptValues] = {1, 2, 3};

    // Parts of the game that stand in for the game's own (CGame's getters),
    // for a world run without a game; none is required.
    struct Links {
        CGameInput* input = nullptr;
        CGameProgress* progress = nullptr;
        CSoundManager* sound = nullptr;
        CHud* hud = nullptr;
        CStates* states = nullptr;
        CTouchButtonManager* touchButtons = nullptr;
    };

    // Levels and their per-level tables.
    static constexpr int32_t kLevelCount = 9;
    static constexpr int32_t kNoScript = -1;
    // Checkpoint record: fixed words, then one per spawn.
    static constexpr int32_t kCheckpointWords = 15;
    static constexpr int32_t kCheckpointScripts = 5;
    static constexpr int32_t kNoSavedCommand = -1;
    // Update results and the states the level sequence goes to.
    static constexpr uint8_t kLeavePlayResult = 102;
    static constexpr int32_t kStateEnding = 18;
    static constexpr int32_t kStateNextLevel = 27;
    static constexpr int32_t kCheatSequences = 3;
    static constexpr int32_t kCheatLength = 3;
    // The HUD's image and text tables of play.
    static constexpr int32_t kPortraitCount = 11;
    static constexpr int32_t kTouchImages = 3;

    // A spawn: its template's index and its state; the template gives the
    // activation ranges in pixels.
    struct SpawnSlot {
        int32_t templateIndex = 0;
        int32_t state = kSpawnFree;
    };
    struct SpawnRange {
        int32_t horizontal = 0;
        int32_t vertical = 0;
    };

    CGameWorld();
    ~CGameWorld() override;

    void Attach(const Links& newLinks) { links = newLinks; }
    // The game's parts as the world reaches them: the attached ones, else
    // the game's; null when there is neither.
    CGameInput* GetInput() const;
    CGameProgress* GetProgress() const;
    CSoundManager* GetSound() const;

    // Screen slots.
    int32_t Load() override { return CScreen::Load(); }
    void Unload() override;
    uint8_t HandleEvent(uint32_t, uint32_t, uint32_t) override { return 0; }
    uint8_t Update(int32_t dt) override;
    uint8_t Paint() override { return 0; }
    CHud* GetHud() const;
    CStates* GetStates() const;
    CTouchButtonManager* GetTouchButtons() const;

    // Step-wise level loading (CGameWorld_Load.cpp): one slice a call, the
    // next step returned, kLoaded when done.
    int32_t LoadStep(int32_t step);
    void SetSubState(int32_t value) { subState = value; }
    // The sub-states a level script may set: those the frame has a step for.
    static bool IsScriptSubState(int32_t value) {
        return value == kSubStateNormal || value == kSubStateLeave || value == kSubStateComplete ||
               value == kSubStateBlack;
    }
    void TickEffects(int32_t dt);
    int32_t LoadBegin();
    int32_t LoadLevelSettings();
    int32_t LoadPlayScreen();
    int32_t LoadTilesets();
    int32_t OpenMap();
    void CloseMapStream();
    bool ReadMapSection(bool (LevelMapData::*read)(CInputStream&), const char* what);
    int32_t ReadMapBackground();
    int32_t ReadMapTileTypes();
    int32_t ReadMapCollision();
    int32_t ReadMapTileLayer();
    int32_t ReadMapTemplateCount();
    int32_t ReadMapTemplates(int32_t step);
    void BuildTemplate(int32_t index);
    static int32_t ActivationRange(int32_t stored, int32_t tile, int32_t view, int32_t map, int32_t box);
    int32_t ReadMapSpawns();
    int32_t ReadMapReferences();
    int32_t CloseMap();
    int32_t MakePlayer();
    int32_t MakeSpawnActors(int32_t step);
    void BuildSpawnActor(int32_t index);
    int32_t DropMapRecords();
    int32_t LoadScriptsStep();
    int32_t FinishLoad();
    // Gives back what a level took (CGameWorld_Unload.cpp).
    void UnloadLevel();
    void ClearLevelData();
    void DeleteHudTables();

    // The play frame and the level sequence (CGameWorld_Update.cpp).
    void UpdateCheatKeys();
    void UpdatePlaying(int32_t dt);
    void UpdateActors(int32_t dt);
    void SetUpTouchControls();
    // The play's touch buttons for the player's form, the stylus forgotten;
    // the keys stay as they are.
    void ShowTouchControls();
    void FinishLevel();

    // Painting (CGameWorld_Paint.cpp).
    void Paint(JGraphics& g);
    void PaintTileLayer(JGraphics& g, JImage* image, const std::vector<CRect>& sources, const LevelTileLayer& layer,
                        int32_t tileCount, const std::vector<bool>& opaque, int32_t scrollX, int32_t scrollY,
                        int32_t right, int32_t bottom, int32_t originX, int32_t originY);
    void DrawTilePieces(JGraphics& g, const JImage& image);
    // Puts the layer's tiles in view in the piece lists (those that `opaque`
    // marks in opaqueTilePieces); true when they leave no gap in
    // [originX, right) x [originY, bottom): every cell lies in the layer and
    // holds a tile that `opaque` marks. Under main tiles (a layer on the
    // main layer's grid), cells that a main tile hides are left out and
    // leave no gap.
    bool CollectTiles(const std::vector<CRect>& sources, const LevelTileLayer& layer, int32_t tileCount,
                      const std::vector<bool>& opaque, int32_t scrollX, int32_t scrollY, int32_t right,
                      int32_t bottom, int32_t originX, int32_t originY, bool underMainTiles);
    // The background layer's tiles in the piece lists; true when they hide
    // the whole screen.
    bool CollectBackgroundTiles(int32_t scrollX, int32_t scrollY);
    void PaintForeground(JGraphics& g, int32_t scrollX, int32_t scrollY, int32_t right, int32_t bottom);
    void PaintHud(JGraphics& g);
    void PaintPlay(JGraphics& g);
    // The background picture, drawn at the top left, hides the whole screen.
    bool BackgroundPictureCoversScreen() const;
    void ApplyShakeToCamera();
    void PaintTouchControls(JGraphics& g);
    void PaintHealthRow(JGraphics& g);
    void PaintSecondRow(JGraphics& g);
    void PaintPartnerGauge(JGraphics& g);
    void PaintLetterbox(JGraphics& g);

    // Checkpoints, pooled shots and partner mode (CGameWorld_Checkpoint.cpp).
    void SaveCheckpoint();
    void RestoreCheckpoint();
    CActor* SpawnProjectile(CActor* source, int32_t kind, int32_t vx, int32_t vy, int32_t x, int32_t y,
                            int32_t facing);
    void StartPartnerMode();
    void EndPartnerMode();
    int32_t ArmShot(CActor& shot, const CActor& source) const;
    void FollowPlayer();
    static int32_t ToScreenW(int32_t v) { return v; }
    static int32_t ToScreenH(int32_t v) { return v; }
    static uint8_t TestBits(uint32_t a, uint32_t b) { return (a & b) != 0 ? 1 : 0; }
    static uint8_t TestBits2(uint32_t a, uint32_t b) { return TestBits(a, b); }

    // Actor lists (CGameWorld_Lists.cpp).
    void ResetActorLists();
    void ClearActorLists(bool keepOwned);
    void DeleteActorLists();
    void QueueAddActor(CActor* a);
    void QueueRemoveActor(CActor* a);
    void QueueActive(CActor* a);
    void QueueCollision(CActor* a);
    void FlushActorLists();
    void ResortActor(CActor* a);
    CActor* FindActorById(int32_t ref) const;
    // Clears every pointer the world and its actors hold to the actor.
    void ForgetActor(const CActor* a);
    // ForgetActor, then the actor is deleted.
    void DeleteActor(CActor* a);

    // Spawns and made actors (CGameWorld_Spawns.cpp).
    void UpdateSpawns();
    void SetSpawnState(int32_t spawnId, int32_t state);
    CActor* CreateActor(const CSpriteInstance* spriteToCopy, int32_t type, int32_t x, int32_t y, int32_t anchor);
    CActor* CreateEffect(int32_t spriteSet, int32_t type, int32_t x, int32_t y, int32_t anchor);

    // Camera, tiles and shake (CGameWorld_Camera.cpp).
    void SetCameraBounds(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void UpdateCamera(int32_t dt, bool snap);
    int32_t GetTile(int32_t tx, int32_t ty) const;
    bool TileHasFlag(int32_t code, int32_t flag) const;
    void SetTileFlag(int32_t code, int32_t flag, int32_t value);
    int32_t GetTileFlag(int32_t code, int32_t flag) const;
    void SetShake(int32_t time, int32_t amplitudeX, int32_t amplitudeY, bool fixed);
    void UpdateShake(int32_t dt);
    // Sets the collision layer and the tile types (n map types and the four
    // built-in ones), and the border codes that go with them.
    void SetTileData(int32_t width, int32_t height, std::vector<uint8_t> layer, std::vector<std::vector<uint8_t>> types);

    // Fades (CGameWorld_Fade.cpp).
    void StartFade(int32_t mode, uint32_t from, uint32_t to, int32_t t);
    void UpdateFade(int32_t dt);
    void PaintFade(JGraphics& g);
    static uint32_t BlendColour(uint32_t a, uint32_t b, int32_t t, int32_t span);
    void FillRectAlpha(JGraphics& g, uint32_t argb, int32_t x, int32_t y, int32_t w, int32_t h);

    // Level scripts (CGameWorld_Scripts.cpp).
    // Finishes the script command that waits for an actor, if one does.
    void ReleaseWaitingCommand();
    // Makes the command the waiting one, for the actor its script signalled.
    void AwaitActor(CScriptCommand* cmd);
    void ForgetWait();
    // Reads the level's script table; a level past the group, or a table
    // that cannot be read, leaves no table at all.
    void LoadLevelScripts(int32_t levelIndex);
    int32_t FindScript(int32_t id) const;
    // Level data can make the running list grow every frame (a script that
    // chains to itself twice doubles at each end): past this many running
    // commands and starts put off to the next frame, a start is dropped.
    // Room enough for every script of the largest table at once.
    static constexpr uint32_t kMaxRunningCommands = 256;
    // These three run every command that finishes while starting, and the
    // scripts that follow, before they return: in a loop over a stack of
    // steps, so that the call depth does not grow with the table.
    void StartScript(int32_t id);
    void AddRunningCommand(CScriptCommand* cmd);
    void AdvanceScript(CScriptCommand* cmd);
    void UpdateScripts(int32_t dt);
    // Puts every running command of the script into the removal list.
    void StopScript(int32_t scriptIndex);
    // Deletes the commands of the removal list at the end of the frame's
    // update, letting go of what a stopped message held.
    void DestroyStoppedCommands();
    // Deletes every running command; no pointer to one stays.
    void DeleteRunningCommands();
    // A command built and started on the script's command, attached to it;
    // null outside the table.
    CScriptCommand* MakeCommand(int32_t scriptIndex, int32_t commandIndex);
    // Starts what follows the script's end: the script again when it loops,
    // else its chain; a script that already ended in this call has them
    // started in the next frame instead.
    void EndScript(int32_t scriptIndex);
    void DestroyCommand(CScriptCommand* cmd);
    // The spawn a reference names, -1 (null) for none.
    int32_t SpawnIndexOfReference(int32_t ref) const;
    const LevelSpawn* SpawnOfReference(int32_t ref) const;

    // Key prompt (CGameWorld_KeyPrompt.cpp).
    void RollPromptKeys();
    void StartKeyPrompt(int32_t frames);
    void EndKeyPrompt(bool finish);
    void UpdateKeyPrompt(int32_t dt);
    void PaintKeyPrompt(JGraphics& g);

    // The player's maximum hit points, kept by the application when there is
    // one.
    int32_t GetMaxHitPoints() const;
    void SetMaxHitPoints(int32_t value);
    void PlaySound(int32_t id) const;
    // A value in [low, high] from the shared generator.
    static int32_t Random(int32_t low, int32_t high);

    int32_t subState = kSubStateNormal;
    int32_t tileTypeCount = 0;
    int32_t borderAbove = 1;
    int32_t borderBeside = 2;
    int32_t borderBelow = 3;
    std::vector<CActor*> spawnActors;
    std::unique_ptr<ActorList> drawList;
    std::unique_ptr<ActorList> projectilePool;
    int32_t backgroundCount = 0;
    std::unique_ptr<ActorList> activeList;
    std::unique_ptr<ActorList> spawnedList;
    std::unique_ptr<ActorList> ownedList;
    std::unique_ptr<ActorList> pendingAdd;
    std::unique_ptr<ActorList> pendingRemove;
    std::unique_ptr<ActorList> pendingActive;
    std::unique_ptr<ActorList> pendingCollision;
    CActor* player = nullptr;
    std::unique_ptr<CSpriteInstance> projectileSprite;
    std::unique_ptr<ActorList> collisionList;
    std::vector<std::vector<uint8_t>> tileTypes;
    int32_t mapWidth = 0;
    int32_t mapHeight = 0;
    int32_t mapWidthPx = 0;
    int32_t mapHeightPx = 0;
    int32_t tileWidth = kTileSize;
    int32_t tileHeight = kTileSize;
    int32_t cameraX = 0;
    int32_t cameraY = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t viewWidth = 0;
    int32_t viewHeight = 0;
    int32_t windowX1 = 0;
    int32_t windowY1 = 0;
    int32_t windowX2 = 0;
    int32_t windowY2 = 0;
    int32_t cameraMinX = 0;
    int32_t cameraMinY = 0;
    int32_t cameraSpanX = 0;
    int32_t cameraSpanY = 0;
    int32_t shakeOffsetX = 0;
    int32_t shakeOffsetY = 0;
    int32_t shakeAmplitudeX = 0;
    int32_t shakeAmplitudeY = 0;
    uint8_t shakeFixed = 0;
    int32_t shakeTime = kShakeIdle;
    uint8_t autoRun = 0;
    uint8_t type56Signal = 0;
    uint8_t ledgeFlag = 0;
    uint8_t playerDead = 0;
    CActor* cameraTarget = nullptr;
    uint8_t cameraArrived = 0;
    int32_t fixedTargetX = kNoFixedTarget;
    int32_t fixedTargetY = kNoFixedTarget;
    int32_t cameraSpeed = kNoCameraSpeed;
    int32_t lookAhead = 0;
    int32_t cameraRelX = 0;
    int32_t cameraRelY = 0;
    int32_t desiredOffsetX = 0;
    int32_t desiredOffsetY = 0;
    uint8_t cameraFreeze = 0;
    uint8_t cameraFollow = 1;
    int32_t level = 0;
    int32_t backgroundColour = 0;
    // Codes 0..255: a map may have more than 127 tile types.
    std::vector<uint8_t> collisionLayer;
    int32_t collisionWidth = 0;
    int32_t collisionHeight = 0;
    std::vector<SpawnSlot> spawns;
    std::vector<SpawnRange> templateRanges;
    std::array<int16_t, kActorRefCount> actorRefs = {};
    uint8_t playerControl = 1;
    int32_t viewCentreX = 0;
    int32_t viewCentreY = 0;
    int32_t collectedCount = 0;
    int32_t fadeMode = kFadeNone;
    uint32_t fadeFrom = 0x000000;
    uint32_t fadeTo = kWhite;
    int32_t fadeTime = 0;
    int32_t fadeSpan = kFadeSpan;
    uint8_t formBStart = 0;
    uint8_t variantFlag = 0;
    CActor* partner = nullptr;
    uint8_t partnerMode = 0;
    int32_t partnerForm = 1;
    uint8_t inputBlocked = 0;
    // The key-prompt event.
    int32_t promptStatus = kPromptIdle;
    int32_t promptIndex = 0;
    int32_t promptFrames = 0;
    int32_t promptLimit = 0;
    int32_t promptCount = 0;
    std::vector<int32_t> prompts;
    uint8_t promptSuccess = 0;
    std::unique_ptr<CSpriteInstance> promptSprite;
    // The fill colour of FillRectAlpha.
    uint32_t fadeFill = 0;
    std::array<int32_t, 4> lowStanceBox = {0, 0, 0, 0};
    std::unique_ptr<CSpriteInstance> bossGaugeSprite;
    // Copied by every hit spark; made by the loader from set 25.
    std::unique_ptr<CSpriteInstance> hitSparkSprite;
    std::unique_ptr<CSpriteInstance> hudSprite;
    std::unique_ptr<CSpriteInstance> hudSpriteCopy;
    // The running command of a script that waits for an actor, and the
    // actor it waits on.
    CScriptCommand* waitingCommand = nullptr;
    CActor* waitingActor = nullptr;
    uint8_t type69Display = 0;
    int32_t type69Timer = 0;
    // Set by the second player form in each frame in which it boosts.
    uint8_t boostFlag = 0;
    // The player's second sprite, hidden when the second form dies.
    std::unique_ptr<CSpriteInstance> playerSecondSprite;
    uint8_t playerSecondShown = 0;
    // The remote of the second form: 1 out, 2 stowed; whether it ever went
    // out; how far below the view's top edge it stays.
    int32_t remoteState = 0;
    uint8_t remoteUsed = 0;
    int32_t topMargin = 0;

    // The level's script table and the running commands (owned), newest
    // last; the removal list holds commands stopped in this frame.
    LevelScriptData levelScripts;
    std::vector<CScriptCommand*> runningCommands;
    std::vector<CScriptCommand*> removalCommands;
    // Script ids whose start waits for the next frame's script update.
    std::vector<int16_t> deferredStarts;
    uint8_t scriptFlag = 0;
    int32_t scriptTimer = -1;
    uint64_t playTime = 0;
    std::vector<int32_t> checkpoint;

    // The level being loaded and what it leaves in the world.
    LevelMapData levelMap;
    std::unique_ptr<CResourceStream> mapStream;
    LevelPlayerStart playerStart;
    int32_t tilesetIndex = 0;
    LevelTileLayer backgroundLayer;
    LevelTileLayer tileLayer;
    std::unique_ptr<JImage> backgroundImage;
    std::unique_ptr<JImage> backgroundTileset;
    std::unique_ptr<JImage> mainTileset;
    int32_t backgroundTileCount = 0;
    // Per tile of each tileset: it has no keyed pixel.
    std::vector<bool> backgroundTileOpaque;
    int32_t mainTileCount = 0;
    std::vector<bool> mainTileOpaque;
    // Per tile of each tileset: its source in the tileset, made once so
    // that the cells in view are only looked up.
    std::vector<CRect> backgroundTileSources;
    std::vector<CRect> mainTileSources;
    // The tiles of the layer being painted, kept from frame to frame: with a
    // keyed pixel or unknown, and opaque.
    std::vector<CGraphics2d_Lite::ImagePiece> tilePieces;
    std::vector<CGraphics2d_Lite::ImagePiece> opaqueTilePieces;
    // Per template: its sprite (null for none), type and carrier flag;
    // templateRanges holds its activation ranges.
    std::vector<std::unique_ptr<CSpriteInstance>> templateSprites;
    std::vector<int8_t> templateTypes;
    std::vector<uint8_t> templateFlags;
    // The spawn positions, y as the template's anchor placed it.
    std::vector<LevelSpawn> spawnPoints;

    // Play-screen images and sprites.
    std::array<std::unique_ptr<JImage>, kTouchImages> touchImages;
    std::vector<JImage*> portraitTable;
    std::vector<JString> nameTable;
    std::vector<JImage*> borderTable;
    std::unique_ptr<JImage> hudIcon;
    std::unique_ptr<CSpriteInstance> effectSpriteA;
    std::unique_ptr<CSpriteInstance> decorationSprite;
    std::unique_ptr<CSpriteInstance> level8Sprite;
    std::unique_ptr<CSpriteInstance> partnerGaugeSprite;
    std::unique_ptr<CSpriteInstance> playerExtraSprite;

    // The frame's debug keys and the letterbox.
    std::array<int32_t, kCheatSequences> cheatCounters = {0, 0, 0};
    uint8_t debugKeys = 1;
    uint8_t debugOverlay = 0;
    uint8_t freeMove = 0;
    uint8_t letterbox = 0;
    uint8_t noStart = 0;
    uint8_t mapFailed = 0;
    // The partner's gauge and run are available (the form-B start level).
    uint8_t partnerAvailable = 0;
    int32_t letterboxMode = 0;
    int32_t letterboxSize = 0;

    // What the HUD reads of the play.
    JImage** speakerPortraits = nullptr;
    JString* speakerNames = nullptr;
    JImage** borderImages = nullptr;
    CSpriteInstance* fullScreenSprite = nullptr;
    bool loaded = false;

private:
    static void ClearList(ActorList* list);
    static void RemoveEvery(ActorList* list, const CActor* a);
    // Inserts before the first actor of greater depth.
    void InsertByDepth(CActor* a);
    // In the list, or in it and also queued for removal in this frame.
    bool CanQueue(const ActorList* list, const ActorList* queue, const CActor* a) const;
    void DeleteOwnedActors();
    void DeleteSpawnActors();
    void ApplyRemovals();
    void ApplyInsertions();
    void CameraTargetPoint(int32_t* anchorX, int32_t* anchorY, int32_t* targetX, int32_t* targetY);
    static int32_t DesiredAxis(int32_t target, int32_t limit, int32_t span, int32_t view);
    static int32_t ShakeStep(int32_t offset, int32_t amplitude, bool fixed, int32_t low);
    void FinishKeyPrompt();

    // One step of the script runner: start a script by id, run a command
    // that has just started, advance a finished command, or append a
    // detached command to the running list.
    struct ScriptStep {
        enum class Kind : uint8_t { Start, Run, Advance, Append };
        Kind kind;
        int32_t id;
        CScriptCommand* cmd;
    };
    void PushScriptStep(ScriptStep::Kind kind, int32_t id, CScriptCommand* cmd);
    void PushScriptStarts(const std::vector<int16_t>& ids);
    void RunScriptSteps();
    bool RoomForStart(int32_t id);
    void BeginScript(int32_t id);
    void RunCommand(CScriptCommand* cmd);
    void AdvanceCommand(CScriptCommand* cmd);
    void BeginRunnerCall();
    void EndRunnerCall();
    void StartDeferredScripts();

    Links links;
    int32_t m_maxHitPoints = 0;
    // The runner's pending steps, newest last; whether a loop drains them;
    // how deep runner calls nest; the scripts that ended in this call.
    std::vector<ScriptStep> m_scriptSteps;
    bool m_runningSteps = false;
    int32_t m_runnerCalls = 0;
    std::vector<int32_t> m_endedScripts;
    // The scripts whose dropped start the debug log told of in this frame.
    std::vector<int32_t> m_droppedLogged;
};

#endif
