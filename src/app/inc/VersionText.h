#ifndef VERSIONTEXT_H
#define VERSIONTEXT_H

#include "EngineTypes.h"

class CStrWChar;

// The version text ("9.1.0", or the VERSION text of device.conf) into a
// wide buffer of `capacity` units, cut to fit and always terminated.
void GetVersionText(WChar* buffer, uint32_t capacity);
// The build information of the about page: a line feed, the program's name
// and built-in version ("mchvx2 9.1.0"), a line feed, then the build's date
// and time, cut to `capacity` units.
void GetBuildInfoText(WChar* buffer, uint32_t capacity);
void FormatVersionString(CStrWChar& out);
void FormatBuildInfo(CStrWChar& out);

#endif
