#include "HostWaveDevice.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kBytesPerSample = 2;
constexpr DWORD kLoopFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
constexpr int32_t kFullVolume = 0xFFFF;

int16_t SampleAt(const char* data, uint32_t index) {
    int16_t sample = 0;
    std::memcpy(&sample, data + static_cast<size_t>(index) * kBytesPerSample, sizeof(sample));
    return sample;
}

}  // namespace

void HostWaveDevice::Notify(UINT message, DWORD_PTR param1) {
    if (m_callback != nullptr) {
        m_callback(Handle(), message, m_instance, param1, 0);
    }
}

MMRESULT HostWaveDevice::Prepare(WAVEHDR* header) {
    if (header->lpData == nullptr && header->dwBufferLength != 0) {
        return MMSYSERR_INVALPARAM;
    }
    if ((header->dwFlags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT HostWaveDevice::Unprepare(WAVEHDR* header) {
    if ((header->dwFlags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT HostWaveDevice::Write(WAVEHDR* header) {
    if ((header->dwFlags & WHDR_PREPARED) == 0) {
        return WAVERR_UNPREPARED;
    }
    if ((header->dwFlags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    if ((header->dwFlags & kLoopFlags) != 0) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    m_queue.push_back(header);
    return MMSYSERR_NOERROR;
}

void HostWaveDevice::Reset(std::vector<WAVEHDR*>* finished) {
    while (!m_queue.empty()) {
        FinishHead(finished);
    }
}

void HostWaveDevice::AddFadeOut(int32_t* tail, uint32_t count) const {
    if (m_paused) {
        return;
    }
    uint32_t done = 0;
    uint32_t position = m_headPosition;
    for (const WAVEHDR* header : m_queue) {
        const uint32_t samples = header->dwBufferLength / kBytesPerSample;
        for (; position < samples && done < count; ++position, ++done) {
            const int64_t weight = count - done;
            tail[done] += static_cast<int32_t>(AtVolume(SampleAt(header->lpData, position)) * weight / count);
        }
        position = 0;
    }
}

int32_t HostWaveDevice::AtVolume(int16_t sample) const {
    // Fits in 32 bits: |sample| <= 32768 and the gain <= 65535.
    return sample * static_cast<int32_t>(m_volume & kFullVolume) / kFullVolume;
}

void HostWaveDevice::MixInto(int32_t* mix, uint32_t count, std::vector<WAVEHDR*>* finished) {
    uint32_t written = 0;
    while (!m_paused && !m_queue.empty()) {
        const uint32_t take = std::min(SamplesLeftInHead(), count - written);
        const char* data = m_queue.front()->lpData;
        for (uint32_t i = 0; i < take; ++i) {
            mix[written + i] += AtVolume(SampleAt(data, m_headPosition + i));
        }
        written += take;
        m_headPosition += take;
        if (SamplesLeftInHead() == 0) {
            FinishHead(finished);
        }
        if (written == count) {
            return;
        }
    }
}

uint32_t HostWaveDevice::SamplesLeftInHead() const {
    return m_queue.front()->dwBufferLength / kBytesPerSample - m_headPosition;
}

void HostWaveDevice::FinishHead(std::vector<WAVEHDR*>* finished) {
    WAVEHDR* header = m_queue.front();
    m_queue.pop_front();
    m_headPosition = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    finished->push_back(header);
}
