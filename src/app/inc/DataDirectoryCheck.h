#ifndef DATADIRECTORYCHECK_H
#define DATADIRECTORYCHECK_H

#include "WinCeTypes.h"

#include <string>

// The game keeps its records in its data directory: before it starts, a
// file is made there anew and removed again, so that a run that could not
// save them is refused at once, with what is wrong with the directory.
class DataDirectoryCheck {
public:
    DataDirectoryCheck() = delete;

    // The check file's name: "<stem><private part><suffix>". Even under the
    // instance lock, instances on hosts that share the folder may start at
    // the same moment: each checks with a file of its own.
    static constexpr char kProbeStem[] = "mchvx2-write-check";
    static constexpr char kProbeSuffix[] = ".tmp";
    static std::string ProbeName();

    // True when a file could be made and closed in the data directory, the
    // folder of the program's path (GetModuleFileNameW); else false with
    // the reason in `error`. A leftover check file is removed first: the
    // new one is never a link, nor a second name of a file elsewhere.
    [[nodiscard]] static bool Run(std::string* error);
    // What a failure with the platform's error code `why` says of the
    // directory: missing, not writable, or holding something in the check
    // file's place.
    static std::string Failure(const std::string& directory, DWORD why);
};

#endif
