#ifndef HOSTSAVETEMPORARY_H
#define HOSTSAVETEMPORARY_H

#include <sys/stat.h>

#include <cstdint>
#include <string>

// The file a safe write fills before it renames it over the file it
// replaces. While this process holds its instance lock no other instance
// runs from its folder, and the file is "temp.dat". Without one, other
// instances may save at the same moment, in other pid namespaces or on
// other hosts that share the folder, so each save makes a file of its own,
// "temp-<random>.dat", under a name made anew with O_EXCL that no other
// process is given. Each such file is locked (flock), where the file system
// keeps locks, while its save runs: a start can then tell the leftovers of
// ended saves from files still being written.
class HostSaveTemporary {
public:
    HostSaveTemporary() = delete;

    static constexpr char kSharedName[] = "temp.dat";
    // No save takes this long: a leftover older than this whose writer
    // cannot be told by its lock has ended.
    static constexpr int64_t kLeftoverSeconds = 60 * 60;

    // Makes a new file in `folder` ("" for the working folder), open for
    // writing and locked while the descriptor is open; where a file is in
    // the way of "temp.dat", the save takes a name of its own. The
    // descriptor, with the file's path in *path; -1 with errno's reason in
    // *error.
    [[nodiscard]] static int Create(const std::string& folder, std::string* path, int* error);
    // A part for the names of files only this process writes and removes
    // (the start-up checks'): empty while it holds its instance lock, else
    // "-<random>", the same throughout the process, which no other process
    // is given.
    static std::string PrivateNamePart();
    // Removes from `folder` the temporaries no live process can be writing:
    // those this process can lock, or, where the file system keeps no
    // locks, those left untouched for kLeftoverSeconds (a save that ended
    // between its write and its rename leaves its file behind). Only
    // regular files are removed. The number removed.
    static int RemoveLeftovers(const std::string& folder);
    // "temp.dat", or "temp-" and letters or digits and ".dat".
    static bool IsTemporaryName(const std::string& name);

private:
    static std::string RandomPart();
    static int Place(int* unnamed, const std::string& path);
    static bool HasEnded(int descriptor, const struct stat& named);
    static bool RemoveIfEnded(const std::string& path);
};

#endif
