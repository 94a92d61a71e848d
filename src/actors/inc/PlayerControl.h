#ifndef PLAYERCONTROL_H
#define PLAYERCONTROL_H

#include <cstdint>
#include <initializer_list>

class CActor;
class CGameInput;
class CGameWorld;

// What both player forms do alike in one update: the tile rows and columns
// of the collision box with the tile probe, the keys (or the scripted walk
// and key mask), the blink and queued-animation words, walking and
// stopping on the ground, the digit-key steering in the air and the tests
// for going low and standing up.
class PlayerControl {
public:
    // Game key bits the player reads.
    static constexpr uint32_t kFire = 0x10;
    static constexpr uint32_t kRight = 0x20;
    static constexpr uint32_t kLeft = 0x40;
    static constexpr uint32_t kDown = 0x80;
    static constexpr uint32_t kUp = 0x100;
    static constexpr uint32_t kUpLeft = 0x80000;
    static constexpr uint32_t kUpRight = 0x20000;
    static constexpr uint32_t kJumpKeys = kUp | kUpLeft | kUpRight;
    // Keys that count when pressed in this update even if no longer held.
    static constexpr uint32_t kLatchedKeys = kFire | kUp | kDown | kUpLeft | kUpRight;

    // State words of both forms beyond the shared ones of PlayerWord.
    static constexpr int32_t kComboLength = 2;
    static constexpr int32_t kWalkColumn = 12;
    static constexpr int32_t kWalkRow = 13;
    static constexpr int32_t kScriptKeys = 14;
    static constexpr int32_t kStandHeight = 25;
    static constexpr int32_t kLowHold = 28;
    static constexpr int32_t kPowerTimer = 44;
    static constexpr int32_t kRamCost = 45;

    // Mode word values only the player routines use.
    static constexpr int32_t kModeLedge = 1;
    static constexpr int32_t kModeKnockBack = 5;
    static constexpr int32_t kModeRemote = 12;

    static constexpr int32_t kGravity = 786432;
    static constexpr int32_t kTakeOffVy = -291840;

    struct Tiles {
        int32_t topRow;
        int32_t bottomRow;
        int32_t rowAbove;
        int32_t rowBelow;
        int32_t leftCol;
        int32_t rightCol;
        int32_t outerLeftCol;
        int32_t outerRightCol;
    };

    // How a form moves on its own feet: walking and its low crawl, the
    // brake of the low stance and the push of a knock-back.
    struct Gait {
        int32_t walkAccel;
        int32_t walkSpeed;
        int32_t lowAccel;
        int32_t lowSpeed;
        int32_t lowBrake;
        int32_t knockBackVx;
        // With no walking key, the stance still stops a knock-back after
        // its push: standing, it stops at once.
        bool stanceStopsKnockBack;
    };

    PlayerControl(CActor& player, CGameWorld& world, const Gait& gait);

    static bool Standing(const CActor& player);
    static bool LowStance(const CActor& player);

    // Rows and columns of the collision box, then the probe for deadly
    // tiles, falls and ledges.
    void ProbeTiles();
    const Tiles& GetTiles() const { return tiles; }

    // Blocking script commands stop the timers.
    bool InputBlocked() const;
    // Runs the blink countdown of the hurt-recovery flag.
    void TickBlink();
    // A queued animation waits for the current one to end, then starts and
    // sets the mode word; true while one was queued (the update ends).
    bool RunQueuedAnimation();
    // Once the knock-back animation has played, the player is free again,
    // at rest, ready to walk at its form's speed.
    void EndKnockBack();

    // The key mask of this update: the scripted mask, the scripted walk, or
    // the keys while the player has control.
    uint32_t ReadKeys();
    bool Pressed(uint32_t bits) const;

    // The walking keys: one alone walks the free player its way; neither or
    // both stop it on the ground by its mode and stance. Running by itself
    // the player neither crawls nor is stopped: the run keeps its pace.
    void Steer(uint32_t keys, bool autoRun);
    // Digit keys in the air: both stop the push, one pushes its way.
    void SteerInAir(uint32_t keys);
    // Both tiles above the low player are free.
    bool CanStandUp() const;
    // Going low needs the still animation, room for the low box, and no
    // blocking actor on screen in the low box.
    bool CanGoLow(int32_t stillAnimation, std::initializer_list<int32_t> blockers) const;

private:
    void Walk(int32_t direction, bool autoRun);
    void Stop(bool autoRun);
    bool TilePassable(int32_t column, int32_t row) const;

    CActor& p;
    CGameWorld& world;
    CGameInput* input;
    Gait gait;
    Tiles tiles = {};
};

#endif
