#include "SK_Presenter.h"

#include "CAssert.h"
#include "SK_Home.h"

namespace {

constexpr int8_t kForward = 1;
constexpr int8_t kBackward = -1;

}  // namespace

SK_Presenter::SK_Presenter(uint32_t set, uint32_t sprite) {
    Reset();
    SetSprite(set, sprite);
}

void SK_Presenter::Reset() {
    for (int32_t i = 0; i < kBoxValues; ++i) {
        m_mainBox[i] = 0;
        m_box[i] = 0;
    }
    m_set = 0;
    m_sprite = 0;
    m_animation = 0;
    m_transform = 0;
    m_offsetX = 0;
    m_offsetY = 0;
    m_loop = 0;
    m_speed = 0;
    m_time = 0;
    m_frameStart = 0;
    m_frameEnd = 0;
    m_frameCount = 0;
    m_frame = 0;
    m_total = 0;
    m_boxAttribute = -1;
}

const SK_Animation* SK_Presenter::FindAnimation(SK_Home** home) const {
    *home = SK_Home::GetInstance();
    if (*home == nullptr || m_speed == 0 || !(*home)->IsSpritePrepared(m_set, m_sprite)) return nullptr;
    const SK_Animation* animation = (*home)->GetAnimation(m_set, m_animation);
    // A set loaded anew with other data no longer fits the frame kept here.
    if (animation == nullptr || animation->frameCount != m_frameCount || m_frame >= m_frameCount) return nullptr;
    return animation;
}

bool SK_Presenter::IsReady() const {
    SK_Home* home = nullptr;
    return FindAnimation(&home) != nullptr;
}

void SK_Presenter::SetSprite(uint32_t set, uint32_t sprite) {
    ASSERT(set <= UINT8_MAX && sprite <= UINT8_MAX);
    m_set = static_cast<uint8_t>(set);
    m_sprite = static_cast<uint8_t>(sprite);
}

void SK_Presenter::SetSpriteIndex(uint32_t sprite) {
    ASSERT(sprite <= UINT8_MAX);
    m_sprite = static_cast<uint8_t>(sprite);
}

void SK_Presenter::GetSetAndSprite(uint8_t& set, uint8_t& sprite) const {
    set = m_set;
    sprite = m_sprite;
}

void SK_Presenter::SetOffset(int32_t x, int32_t y) {
    m_offsetX = static_cast<int16_t>(x);
    m_offsetY = static_cast<int16_t>(y);
}

void SK_Presenter::SetAnimation(uint32_t animation, uint8_t transform, bool loop) {
    SK_Home* home = SK_Home::GetInstance();
    const bool prepared = home != nullptr && home->IsSpritePrepared(m_set, m_sprite);
    const SK_Animation* record = prepared ? home->GetAnimation(m_set, animation) : nullptr;
    ASSERT(prepared);
    ASSERT(!prepared || record != nullptr);
    if (record == nullptr) {
        DebugPrintf("SK_Presenter: animation %u of set %u, sprite %u cannot be played", animation, m_set, m_sprite);
        return;
    }
    m_animation = static_cast<uint16_t>(animation);
    m_frameCount = record->frameCount;
    uint32_t total = 0;
    for (uint32_t i = 0; i < record->frameCount; ++i) total += record->durations[i];
    m_total = static_cast<uint16_t>(total);
    m_loop = loop ? 1 : 0;
    m_speed = kForward;
    m_frame = 0;
    SetDirection(kForward);
    SetTransform(transform);
}

void SK_Presenter::SetTransform(uint8_t transform) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    const bool allowed = animation != nullptr && transform <= kMaxTransform &&
                         (animation->transformMask >> transform & 1u) != 0;
    ASSERT(allowed);
    if (allowed) m_transform = transform;
}

uint16_t SK_Presenter::DurationOf(uint32_t frame) const {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    return animation != nullptr && frame < animation->frameCount ? animation->durations[frame] : 0;
}

uint16_t SK_Presenter::GetFrameDuration() const { return DurationOf(m_frame); }

void SK_Presenter::Restart(int32_t direction) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation != nullptr) RestartOn(animation->durations.Data(), direction);
}

void SK_Presenter::RestartOn(const uint16_t* durations, int32_t direction) {
    if (direction == kForward) {
        m_frame = 0;
        m_frameStart = 0;
        m_frameEnd = durations[0];
    } else {
        m_frame = static_cast<uint8_t>(m_frameCount - 1);
        m_frameStart = m_total;
        m_frameEnd = static_cast<uint16_t>(m_total - durations[m_frame]);
    }
}

void SK_Presenter::SetDirection(int32_t direction) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    ASSERT(animation != nullptr);
    if (animation == nullptr) return;
    RestartOn(animation->durations.Data(), direction);
    m_time = m_frameStart;
    m_speed = direction == kForward ? kForward : kBackward;
}

void SK_Presenter::RestartAnimation() {
    ASSERT(IsReady());
    if (IsReady()) SetDirection(m_speed);
}

void SK_Presenter::Reverse() {
    ASSERT(IsReady());
    if (!IsReady()) return;
    const uint16_t start = m_frameStart;
    m_frameStart = m_frameEnd;
    m_frameEnd = start;
    m_speed = static_cast<int8_t>(-m_speed);
}

void SK_Presenter::ReverseAndRestart() {
    ASSERT(IsReady());
    if (!IsReady()) return;
    SetDirection(-m_speed);
    Reverse();
}

void SK_Presenter::SeekFrame(uint32_t frame) {
    ASSERT(IsReady() && frame < m_frameCount);
    if (!IsReady() || frame >= m_frameCount) return;
    SetDirection(m_speed);
    int32_t span = 0;
    if (m_speed == kForward) {
        for (uint32_t i = 0; i < frame; ++i) span += DurationOf(i);
    } else {
        for (uint32_t i = frame + 1; i < m_frameCount; ++i) span += DurationOf(i);
    }
    Tick(span);
}

bool SK_Presenter::IsLastFrameOfPlay() const {
    return m_frame == (m_speed == kForward ? m_frameCount - 1 : 0);
}

bool SK_Presenter::IsFinished() const {
    ASSERT(IsReady());
    return IsAtEnd();
}

bool SK_Presenter::IsAtEnd() const { return m_loop == 0 && IsLastFrameOfPlay() && m_time == m_frameEnd; }

void SK_Presenter::AdvanceFrame(const uint16_t* durations) {
    m_frame = static_cast<uint8_t>(m_frame + m_speed);
    m_frameStart = m_frameEnd;
    m_frameEnd = static_cast<uint16_t>(m_frameEnd + m_speed * durations[m_frame]);
}

// Back to the start of play, with the time that ran past the end; whole
// cycles more that one tick spans are skipped at once.
void SK_Presenter::Wrap(const uint16_t* durations) {
    m_time -= m_speed * m_total;
    if (m_speed > 0 && m_time >= m_total) m_time %= m_total;
    if (m_speed < 0 && m_time < 0) m_time = m_time % m_total + m_total;
    RestartOn(durations, m_speed);
}

bool SK_Presenter::Tick(int32_t dt) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation == nullptr || dt == 0 || IsAtEnd()) return false;
    const uint16_t* durations = animation->durations.Data();
    m_time += m_speed * dt;
    for (;;) {
        const bool over = m_speed > 0 ? m_time >= m_frameEnd : m_time <= m_frameEnd;
        if (!over) return false;
        if (!IsLastFrameOfPlay()) {
            AdvanceFrame(durations);
        } else if (m_loop != 0 && m_total > 0) {
            Wrap(durations);
        } else if (m_loop != 0) {
            // Nothing to loop through: time stands at the start.
            m_time = 0;
            return false;
        } else {
            m_time = m_speed > 0 ? m_total : 0;
            return true;
        }
    }
}
