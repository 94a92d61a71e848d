#include "CWaveVoice_Win32.h"

#include "CBinary.h"

CWaveVoice_Win32::~CWaveVoice_Win32() {
    Close();
}

void CWaveVoice_Win32::SetInfo(uint32_t id, uint32_t unused, uint8_t priority) {
    (void)unused;
    m_id = id;
    m_priority = priority;
}

MMRESULT CWaveVoice_Win32::Open(const CBinary& sound, uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = bitsPerSample;
    format.nBlockAlign = static_cast<WORD>(bitsPerSample / 8 * channels);
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    MMRESULT result = waveOutOpen(&m_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&OnWaveDone),
                                  reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        m_device = nullptr;
        return result;
    }
    // The device only reads the buffer; the header's field is not const.
    m_header.lpData = reinterpret_cast<char*>(const_cast<uint8_t*>(sound.GetData()));
    m_header.dwBufferLength = sound.GetSize();
    return waveOutPrepareHeader(m_device, &m_header, sizeof(m_header));
}

MMRESULT CWaveVoice_Win32::Write() {
    return waveOutWrite(m_device, &m_header, sizeof(m_header));
}

void CWaveVoice_Win32::Close() {
    m_finished.store(1);
    if (m_device == nullptr) {
        return;
    }
    waveOutReset(m_device);
    waveOutUnprepareHeader(m_device, &m_header, sizeof(m_header));
    waveOutClose(m_device);
    m_device = nullptr;
}

void CWaveVoice_Win32::Pause() {
    waveOutPause(m_device);
}

void CWaveVoice_Win32::Restart() {
    waveOutRestart(m_device);
}

void CWaveVoice_Win32::SetVolume(uint32_t deviceVolume) {
    waveOutSetVolume(m_device, deviceVolume);
}

void CWaveVoice_Win32::OnWaveDone(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                  DWORD_PTR param2) {
    (void)device;
    (void)param1;
    (void)param2;
    if (message == WOM_DONE) {
        reinterpret_cast<CWaveVoice_Win32*>(instance)->m_finished.store(1);
    }
}
