#ifndef SCRIPTCOMMANDS_H
#define SCRIPTCOMMANDS_H

// Builds level-script commands with their operands in stored order.
// Coordinates are pixels unless named tiles; references are indexes into
// the map's 40 actor references; speakers -1 (none) or 0..10.

#include <cstdint>
#include <vector>

#include "LevelScript.h"

class ScriptCommands {
public:
    // Opcodes with a builder of their own.
    static constexpr int8_t kWait = 0;
    static constexpr int8_t kCamera = 1;
    static constexpr int8_t kDialogue = 2;
    static constexpr int8_t kPlayerMove = 3;
    static constexpr int8_t kPlayerControl = 4;
    static constexpr int8_t kDelay = 5;
    static constexpr int8_t kShake = 6;
    static constexpr int8_t kSignalActor = 8;
    static constexpr int8_t kScriptFlag = 13;
    static constexpr int8_t kTouchActor = 16;
    static constexpr int8_t kCameraBounds = 18;
    static constexpr int8_t kPlaceActor = 20;
    static constexpr int8_t kStopScript = 21;
    static constexpr int8_t kIgnoredByte = 22;
    static constexpr int8_t kSetSubState = 28;
    static constexpr int8_t kTextPage = 29;
    // Opcodes without operands.
    static constexpr int8_t kLevelComplete = 7;
    static constexpr int8_t kTimerA = 11;
    static constexpr int8_t kTimerB = 12;
    static constexpr int8_t kNothing = 17;
    static constexpr int8_t kPartnerRun = 23;
    static constexpr int8_t kWaitForActor = 26;
    static constexpr int8_t kScriptedPause = 27;

    // Opcode 0: until the camera target's box meets the rectangle.
    static leveldata::Command WaitForArea(int16_t x, int16_t y, int16_t w, int16_t h);
    // Opcode 0: until an actor comes within `distance` of the player, or
    // (with `gone`) until the actor of `ref` is destroyed.
    static leveldata::Command WaitForActorNear(int8_t ref, int16_t distance, bool gone);
    // Opcode 0 with a list of values: never finishes.
    static leveldata::Command WaitWithValues(const std::vector<int16_t>& values);
    // Opcode 1: camera to a fixed point, to the first actor of a type, or to
    // a reference's spawn position. `speed` (pixels a second) is stored only
    // when not instant; without `wait` the script does not wait.
    static leveldata::Command CameraToPoint(bool instant, int16_t speed, bool wait, int16_t x, int16_t y);
    static leveldata::Command CameraToType(bool instant, int16_t speed, bool wait, int8_t type);
    static leveldata::Command CameraToReference(bool instant, int16_t speed, bool wait, int16_t ref);
    // Opcode 2 (dialogue box) or 29 (centred text page).
    static leveldata::Command Dialogue(int8_t speaker, int16_t text);
    static leveldata::Command TextPage(int8_t speaker, int16_t text);
    // Opcode 3: teleport, or walk to tiles (tx, ty); facing 1 right, 0 left.
    static leveldata::Command PlayerMove(bool teleport, int16_t tx, int16_t ty, int8_t facing, bool noWait);
    // Opcode 4: 0 takes control from the player, 1 gives it back.
    static leveldata::Command PlayerControl(int8_t mode);
    static leveldata::Command Delay(bool afterLanding, int16_t ms);
    static leveldata::Command Shake(bool wait, int16_t ms, int8_t ax, int8_t ay);
    // Opcode 8 (signal) or 16 (no effect).
    static leveldata::Command SignalActor(int16_t ref);
    static leveldata::Command TouchActor(int16_t ref);
    static leveldata::Command ScriptFlag(bool value);
    // Tiles, inclusive; -1 for x2 or y2 is the map's last column or row.
    static leveldata::Command CameraBounds(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
    static leveldata::Command PlaceActor(int16_t tx, int16_t ty, int16_t ref);
    static leveldata::Command StopScript(int16_t scriptId);
    static leveldata::Command IgnoredByte(int8_t value);
    static leveldata::Command SetSubState(int16_t value);
    // Any opcode without operands.
    static leveldata::Command Bare(int8_t opcode);

private:
    static leveldata::Command Camera(bool instant, int16_t speed, bool wait, int8_t mode);
    static leveldata::Command Message(int8_t opcode, int8_t speaker, int16_t text);
    static leveldata::Command Reference(int8_t opcode, int16_t ref);
};

#endif
