#ifndef ENGINEEVENTS_H
#define ENGINEEVENTS_H

#include <cstdint>

// Ids of the events the platform layer produces: the key of each event's
// name. Pointer events carry the button in their first argument and
// x | y << 16 in their second.
namespace EngineEvent {

constexpr uint32_t kAppStart = 0x67542658;
constexpr uint32_t kAppStop = 0x36754280;
constexpr uint32_t kAppSuspend = 0x54246DE3;
constexpr uint32_t kAppResume = 0x75424363;
constexpr uint32_t kRefresh = 0x24314258;
constexpr uint32_t kDeviceOrientationChanged = 0x747AB255;
// Always queued right after kDeviceOrientationChanged.
constexpr uint32_t kOrientationFollowUp = 0x32B482C3;
constexpr uint32_t kKeyPressed = 0xC7424BE6;
constexpr uint32_t kKeyReleased = 0x43A39818;
constexpr uint32_t kMouseMove = 0x8251B8DE;
constexpr uint32_t kMouseButtonDown = 0x8918794C;
constexpr uint32_t kMouseButtonUp = 0x52A91971;
constexpr uint32_t kMouseButtonDoubleClick = 0x7B8428CD;
constexpr uint32_t kHibernate = 0xF42486FB;

}  // namespace EngineEvent

#endif
