#ifndef HOSTAUDIOFAULTS_H
#define HOSTAUDIOFAULTS_H

// waveOut calls a test can make fail, to reach the program's failure paths.
// A failing call changes nothing and answers MMSYSERR_NOMEM.
enum class HostAudioFault { Open, Prepare, Count };

class HostAudioFaults {
public:
    static void Set(HostAudioFault fault, bool failing);
    static bool IsSet(HostAudioFault fault);
    static void Clear();
};

#endif
