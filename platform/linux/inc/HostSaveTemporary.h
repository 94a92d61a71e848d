#ifndef HOSTSAVETEMPORARY_H
#define HOSTSAVETEMPORARY_H

#include <cstdint>
#include <string>
#include <vector>

// The file a safe write fills before it renames it over the file it
// replaces. Other instances may save at the same moment from the same
// folder, in other pid namespaces or on other hosts that share it, and a
// share may keep each host's locks to that host alone: even the instance
// lock does not keep them out. So each save makes a file of its own,
// "temp-<random>.dat", under a name made anew with O_EXCL that no other
// process is given. Each such file is locked (flock), where the file system
// keeps locks, while its save runs.
class HostSaveTemporary {
public:
    HostSaveTemporary() = delete;

    // Files of one kind that each process names for itself:
    // "<stem>-<random><suffix>", or "<stem><suffix>", the name earlier
    // versions shared while they held the instance lock.
    struct PrivateName {
        std::string stem;
        std::string suffix;
    };
    // No save or start-up check takes this long: a leftover older than this
    // that no other process holds locked has ended.
    static constexpr int64_t kLeftoverSeconds = 60 * 60;
    // Gives the random parts of new names; for tests, whose names repeat.
    typedef std::string (*RandomSource)();

    // Makes a new file in `folder` ("" for the working folder), open for
    // writing and locked while the descriptor is open; where a file is in
    // the way, the save takes another name. The descriptor, with the file's
    // path in *path; -1 with errno's reason in *error.
    [[nodiscard]] static int Create(const std::string& folder, std::string* path, int* error);
    // A part for the names of files only this process writes and removes
    // (the start-up checks'): "-<random>", the same throughout the process,
    // which no other process is given.
    static std::string PrivateNamePart();
    // The time by the folder's own clock (a share keeps its server's, which
    // may differ from this host's): the time stamp the file system gives a
    // file made there, which is then removed. False when none can be made
    // or its time stamp cannot be read.
    [[nodiscard]] static bool FolderTime(const std::string& folder, int64_t* now);
    // Removes from `folder` what ended saves and start-up checks left: the
    // temporaries and the files named as one of `others`, but only those
    // both lockable (no other process holds their lock; a file this process
    // cannot open is not) and older than kLeftoverSeconds at `folderNow`,
    // the folder's time. A lock alone tells nothing where the file system
    // keeps no locks or keeps each host's to itself, nor of a file named
    // before it is locked; a file another process holds locked is live,
    // however old. Only regular files
    // are removed. The number removed.
    static int RemoveLeftovers(const std::string& folder, int64_t folderNow, const std::vector<PrivateName>& others);
    // Whether `name` is a name of that kind (the random part: 1 to 32
    // letters or digits).
    static bool IsPrivateName(const std::string& name, const PrivateName& kind);
    // A name of the saves' temporaries.
    static bool IsTemporaryName(const std::string& name);
    // Null for the system's random source; the source given before.
    static RandomSource SetRandomSource(RandomSource source);

private:
    static std::string RandomPart();
    static int Place(int* unnamed, const std::string& path);
    static bool IsLeftoverName(const std::string& name, const std::vector<PrivateName>& others);
    static bool RemoveIfEnded(const std::string& path, int64_t folderNow);
};

#endif
