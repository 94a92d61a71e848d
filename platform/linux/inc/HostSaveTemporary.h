#ifndef HOSTSAVETEMPORARY_H
#define HOSTSAVETEMPORARY_H

#include <sys/types.h>

#include <string>

// The file a safe write fills before it renames it over the file it
// replaces. While this process holds an instance lock no other instance
// runs from its folder, and the file is "temp.dat". Without one a second
// instance may save at the same moment, and each process fills a file of
// its own, "temp-<pid>.dat", which no other process creates, renames or
// removes: one instance's bytes never go over the other's file.
class HostSaveTemporary {
public:
    // The file name, without a folder.
    static std::string Name();
    // Removes from `folder` the files "temp-<pid>.dat" of processes that no
    // longer run (one that ended between its write and its rename leaves
    // its file behind); the files of running processes stay. The number
    // removed.
    static int RemoveLeftovers(const std::string& folder);

private:
    // The process whose file `name` is, or 0 when it is no such file.
    static pid_t OwnerOf(const std::string& name);
};

#endif
