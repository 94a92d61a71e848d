#ifndef HOSTTESTENVIRONMENT_H
#define HOSTTESTENVIRONMENT_H

#include "ScratchDirectory.h"

#include <string>

// Puts the handset stand-in into a known state for one test and clears it
// again afterwards: the virtual clock, a fresh temporary application
// directory (instance locks land there), no windows, classes, backend,
// faults or records, and a 480 x 640 portrait handset with
// system version 5.2.
class HostTestEnvironment {
public:
    static constexpr unsigned kStartTicks = 1000;

    HostTestEnvironment();
    ~HostTestEnvironment();

    HostTestEnvironment(const HostTestEnvironment&) = delete;
    HostTestEnvironment& operator=(const HostTestEnvironment&) = delete;

    const std::string& Directory() const { return m_directory; }
    // Milliseconds since the environment was set up, on the virtual clock.
    static unsigned Elapsed();

private:
    static void ClearStandIn();

    ScratchDirectory m_scratch{"engine-host"};
    std::string m_directory = m_scratch.Path().string();
};

#endif
