#include "HostFaults.h"
#include "HostFile.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "HostSaveTemporary.h"
#include "NamedPipe.h"
#include "OrdinaryFileAccess.h"
#include "WinCeError.h"
#include "WinCeFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class WinCeFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "wince-file-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
    }
    void TearDown() override {
        HostFile::SetFaultHook(nullptr);
        HostPath::SetAppDirectory(nullptr);
        fs::remove_all(m_directory);
    }

    std::u16string Wide(const std::string& name) const { return HostPath::ToWide(m_directory + "/" + name); }
    std::string Host(const std::string& name) const { return m_directory + "/" + name; }
    std::string Contents(const std::string& name) const {
        std::ifstream in(Host(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    HANDLE Open(const std::string& name, DWORD access, DWORD creation) const {
        return CreateFileW(Wide(name).c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }

    std::string m_directory;
};

TEST(HostPath, ConvertsTextAndSeparators) {
    EXPECT_EQ(HostPath::FromWide(u"\\dir\\caf\u00E9\\\u20AC.dat"), "/dir/caf\xC3\xA9/\xE2\x82\xAC.dat");
    EXPECT_EQ(HostPath::FromWide(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(HostPath::FromWide(nullptr), "");
    EXPECT_EQ(HostPath::ToWide("/dir/caf\xC3\xA9"), u"\\dir\\caf\u00E9");
    EXPECT_EQ(HostPath::ToWide("a\xF0\x9F\x98\x80"), u"a\U0001F600");
}

TEST(HostPath, GivesBackEveryHostNameByteForByte) {
    // Latin-1, cut, overlong and surrogate forms, and a literal backslash.
    for (const std::string host : {"/games/Spiele-\xE4", "a\xC3", "\xC0\x80", "\xED\xB2\x80z", "/tmp/back\\slash",
                                   "\xF0\x9F\x98\x80\xFF\\\xC3\xA9"}) {
        const std::u16string engine = HostPath::ToWide(host);
        EXPECT_EQ(engine.find(u'\uFFFD'), std::u16string::npos) << host;
        EXPECT_EQ(HostPath::FromWide(engine.c_str()), host);
    }
    // The engine's own separators still become the host's.
    EXPECT_EQ(HostPath::ToWide("back\\slash/x"), u"back\xDC5Cslash\\x");
    EXPECT_EQ(HostPath::FromWide((HostPath::ToWide("back\\slash") + u"\\x").c_str()), "back\\slash/x");
    EXPECT_EQ(HostPath::ToWide("Spiele-\xE4"), u"Spiele-\xDCE4");
}

TEST(HostPath, RefusesLoneSurrogatesThatNoHostByteStandsBehind) {
    for (const char16_t* engine : {u"x\xD800y", u"x\xDC7Fy", u"x\xDD00", u"\xDBFF"}) {
        EXPECT_FALSE(HostPath::FromWide(engine).has_value());
    }
}

TEST_F(WinCeFile, CreationModes) {
    EXPECT_EQ(Open("missing", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);

    HANDLE file = Open("f", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
    EXPECT_EQ(written, 5u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(Contents("f"), "hello");

    // Open-always keeps the content and writes from the start.
    file = Open("f", GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(file, "J", 1, &written, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Contents("f"), "Jello");

    file = Open("f", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Contents("f"), "");

    // Create-new makes a file only where nothing is.
    EXPECT_EQ(Open("f", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    file = Open("g", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(Open("f", 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("f", GENERIC_READ, 0), INVALID_HANDLE_VALUE);
    // A directory is no file.
    fs::create_directory(Host("sub"));
    EXPECT_EQ(Open("sub", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
}

TEST_F(WinCeFile, ReadSeekAndSize) {
    std::ofstream(Host("data"), std::ios::binary) << "0123456789";
    HANDLE file = Open("data", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 10u);
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 7u);
    char buffer[8] = {};
    DWORD read = 99;
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 5u);
    // Before the start fails and leaves the position alone.
    EXPECT_EQ(SetFilePointer(file, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    LONG high = -1;
    EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 5u);
    // Writing or flushing through a read handle fails.
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(ReadFile(file, buffer, 1, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
}

// Reads are served from a buffer the handle fills a block at a time; seeks,
// writes and the end of the file must all see the file as it is.
TEST_F(WinCeFile, BufferedReadsFollowSeeksWritesAndTheEnd) {
    const DWORD size = HostFile::kReadBufferBytes + 100;
    std::string pattern(size, '\0');
    for (DWORD i = 0; i < size; ++i) pattern[i] = static_cast<char>('a' + i % 23);
    std::ofstream(Host("data"), std::ios::binary) << pattern;
    HANDLE file = Open("data", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const auto readAt = [file](LONG position, DWORD count) {
        std::string bytes(count, '\0');
        DWORD read = 0;
        const bool moved = SetFilePointer(file, position, nullptr, FILE_BEGIN) == static_cast<DWORD>(position);
        const bool ok = ReadFile(file, bytes.data(), count, &read, nullptr) != 0;
        bytes.resize(moved && ok ? read : 0);
        return bytes;
    };

    // Byte by byte costs one host read for the whole run.
    const uint64_t readsBefore = HostFile::Calls().reads;
    for (LONG i = 0; i < 1000; ++i) EXPECT_EQ(readAt(i, 1), pattern.substr(i, 1));
    EXPECT_EQ(HostFile::Calls().reads - readsBefore, 1u);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 1000u);

    // Across the buffer's end, and backwards from the position.
    const LONG edge = HostFile::kReadBufferBytes - 5;
    EXPECT_EQ(readAt(edge, 10), pattern.substr(edge, 10));
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), static_cast<DWORD>(edge - 10));
    char three[3] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, three, 3, &read, nullptr));
    EXPECT_EQ(std::string(three, read), pattern.substr(edge - 10, 3));

    // A write over buffered bytes is what the next read sees, on disk too.
    EXPECT_EQ(readAt(0, 10), pattern.substr(0, 10));
    ASSERT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "XY", 2, &written, nullptr));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 7u);
    pattern.replace(5, 2, "XY");
    EXPECT_EQ(readAt(0, 10), pattern.substr(0, 10));

    // A short file: the read stops at the end and succeeds, then reads nothing.
    EXPECT_EQ(readAt(size - 4, 10), pattern.substr(size - 4));
    EXPECT_TRUE(ReadFile(file, three, 3, &read, nullptr));
    EXPECT_EQ(read, 0u);
    // A read larger than the buffer, and beyond the end.
    EXPECT_EQ(readAt(0, size + 10), pattern);
    // A handle that writes sees its size change; one that only reads asks once.
    HANDLE reader = Open("data", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const uint64_t seeksBefore = HostFile::Calls().seeks;
    EXPECT_EQ(GetFileSize(reader, nullptr), size);
    EXPECT_EQ(SetFilePointer(reader, -1, nullptr, FILE_END), size - 1);
    EXPECT_EQ(HostFile::Calls().seeks - seeksBefore, 1u);
    EXPECT_TRUE(CloseHandle(reader));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), size);
    EXPECT_TRUE(WriteFile(file, "!", 1, &written, nullptr));
    EXPECT_EQ(GetFileSize(file, nullptr), size + 1);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Contents("data"), pattern + "!");
}

// A move syncs the folder after it, so that the new name outlasts a
// power loss.
TEST_F(WinCeFile, MoveReplacesAndDeleteRemoves) {
    std::ofstream(Host("old"), std::ios::binary) << "old";
    std::ofstream(Host("new"), std::ios::binary) << "new";
    static std::string synced;
    HostFile::SetFaultHook([](HostFile::Op op, const std::string& path) {
        if (op == HostFile::Op::Flush) synced = path;
        return false;
    });
    EXPECT_TRUE(MoveFileW(Wide("new").c_str(), Wide("old").c_str()));
    EXPECT_EQ(synced, m_directory);
    EXPECT_EQ(Contents("old"), "new");
    EXPECT_FALSE(fs::exists(Host("new")));
    EXPECT_FALSE(MoveFileW(Wide("new").c_str(), Wide("old").c_str()));
    EXPECT_FALSE(MoveFileW(nullptr, Wide("old").c_str()));
    EXPECT_TRUE(DeleteFileW(Wide("old").c_str()));
    EXPECT_FALSE(DeleteFileW(Wide("old").c_str()));
    EXPECT_FALSE(DeleteFileW(nullptr));
}

// A pipe in a file's place is refused at once, for reading and for
// writing, keeps no descriptor open and stays as it was.
TEST_F(WinCeFile, NamedPipeIsNoFileAndIsNotWaitedFor) {
    const NamedPipe pipe(Host("pipe"));
    ASSERT_TRUE(pipe.Made());
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    const size_t descriptors = NamedPipe::OpenDescriptors();
    ASSERT_TRUE(pipe.RunsWithoutWaiting([&] {
        reader = Open("pipe", GENERIC_READ, OPEN_EXISTING);
        writer = Open("pipe", GENERIC_WRITE, CREATE_ALWAYS);
    }));
    EXPECT_EQ(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);
    EXPECT_EQ(NamedPipe::OpenDescriptors(), descriptors);
    EXPECT_TRUE(fs::is_fifo(Host("pipe")));
}

// Only where nothing is does an open find no file; a link leading nowhere
// is something there. A file being made never follows a link in its name,
// which would write to, or empty, a file elsewhere.
TEST_F(WinCeFile, FailedOpensTellWhyAndMadeFilesFollowNoLink) {
    EXPECT_EQ(Open("missing", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    fs::create_symlink("missing", Host("dangling"));
    EXPECT_EQ(Open("dangling", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_CANT_RESOLVE_FILENAME);
    std::ofstream(Host("elsewhere"), std::ios::binary) << "kept";
    fs::create_symlink(Host("elsewhere"), Host("link"));
    for (DWORD creation : {CREATE_ALWAYS, OPEN_ALWAYS}) {
        EXPECT_EQ(Open("link", GENERIC_WRITE, creation), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_STOPPED_ON_SYMLINK);
    }
    for (DWORD creation : {CREATE_ALWAYS, CREATE_NEW}) {
        EXPECT_EQ(Open("dangling", GENERIC_WRITE, creation), INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(Open("link", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs::exists(Host("missing")));
    EXPECT_EQ(Contents("elsewhere"), "kept");
}

// The host's refusal for want of permission is told apart from its other
// refusals, whoever runs the test.
TEST_F(WinCeFile, RefusedPermissionIsToldApart) {
    std::ofstream(Host("private"), std::ios::binary) << "x";
    fs::permissions(Host("private"), fs::perms::none);
    fs::create_directory(Host("closed"));
    const fs::perms enter = fs::perms::owner_exec | fs::perms::others_exec;
    fs::permissions(m_directory, enter, fs::perm_options::add);
    fs::permissions(Host("closed"), enter | fs::perms::owner_read);
    {
        const OrdinaryFileAccess ordinary;
        EXPECT_EQ(Open("private", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(Open("closed/new", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    fs::permissions(Host("closed"), fs::perms::owner_all);
}

// Beyond the process's file-size limit a write fails, in a process of its
// own here, and the process goes on.
TEST_F(WinCeFile, WriteBeyondTheFileSizeLimitFails) {
    const std::string path = Host("limited");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit = {};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
        HostFile file(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644), path, true);
        uint32_t moved = 1;
        const uint8_t byte = 1;
        _exit(!file.Write(&byte, 1, &moved) && moved == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(WinCeFile, FaultHookFailsTheChosenCall) {
    std::ofstream(Host("keep"), std::ios::binary) << "keep";
    HostFile::SetFaultHook([](HostFile::Op op, const std::string&) { return op == HostFile::Op::Move; });
    EXPECT_FALSE(MoveFileW(Wide("keep").c_str(), Wide("other").c_str()));
    EXPECT_TRUE(fs::exists(Host("keep")));
    HostFile::SetFaultHook([](HostFile::Op op, const std::string& path) {
        return op == HostFile::Op::Write && path.find("keep") != std::string::npos;
    });
    HANDLE file = Open("keep", GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 5;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Contents("keep"), "keep");
    // A close that fails still releases the handle.
    HostFile::SetFaultHook([](HostFile::Op op, const std::string&) { return op == HostFile::Op::Close; });
    file = Open("keep", GENERIC_READ, OPEN_EXISTING);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_EQ(HostFile::FromHandle(file), nullptr);
}

TEST_F(WinCeFile, ModulePathFollowsTheApplicationDirectory) {
    char16_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::u16string own(buffer, length);
    EXPECT_EQ(own, HostPath::ToWide(fs::read_symlink("/proc/self/exe").string()));

    HostPath::SetAppDirectory(m_directory.c_str());
    const std::u16string name = own.substr(own.rfind(u'\\'));
    ASSERT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), HostPath::ToWide(m_directory).size() + name.size());
    EXPECT_EQ(std::u16string(buffer), HostPath::ToWide(m_directory) + name);
    // Too small a buffer gives nothing rather than a cut path, even when
    // only the terminator has no room.
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 4), 0u);
    EXPECT_EQ(buffer[0], 0);
    const DWORD whole = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::vector<char16_t> exact(whole);
    EXPECT_EQ(GetModuleFileNameW(nullptr, exact.data(), whole), 0u);
    EXPECT_EQ(exact[0], 0);
}

// A host name reaches the file it names, whatever its bytes; an engine
// name the host cannot spell opens nothing rather than another file.
TEST_F(WinCeFile, OpensTheFileTheHostNamedAndNoOtherOne) {
    fs::create_directories(Host("back/slash"));
    std::ofstream(Host("back/slash/f"), std::ios::binary) << "split";
    fs::create_directories(Host("back\\slash"));
    std::ofstream(Host("back\\slash/f"), std::ios::binary) << "whole";
    std::ofstream(Host("Spiele-\xE4"), std::ios::binary) << "latin";
    for (const auto& [name, contents] : {std::pair{"back\\slash/f", "whole"}, std::pair{"Spiele-\xE4", "latin"}}) {
        HANDLE file = Open(name, GENERIC_READ, OPEN_EXISTING);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        char buffer[8] = {};
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
        EXPECT_EQ(std::string(buffer, read), contents);
        EXPECT_TRUE(CloseHandle(file));
    }

    std::ofstream(Host("x\xEF\xBF\xBDy"), std::ios::binary) << "other";
    const std::u16string unspellable = HostPath::ToWide(m_directory) + u"\\x\xD800y";
    EXPECT_EQ(CreateFileW(unspellable.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(MoveFileW(Wide("Spiele-\xE4").c_str(), unspellable.c_str()));
    EXPECT_FALSE(DeleteFileW(unspellable.c_str()));
    EXPECT_EQ(Contents("x\xEF\xBF\xBDy"), "other");
    EXPECT_EQ(Contents("Spiele-\xE4"), "latin");
}

// The name of the temporary a safe write makes in the test's folder, which
// stays open, and locked, until the test lets it go.
std::string TemporaryName(const std::string& folder, int* descriptor) {
    std::string path;
    int error = 0;
    *descriptor = HostSaveTemporary::Create(folder, &path, &error);
    EXPECT_GE(*descriptor, 0) << error;
    return fs::path(path).filename();
}

// Where a share keeps each host's locks to that host, an instance of each
// holds the instance lock: its saves and start-up checks still have names
// no other process is given.
TEST_F(WinCeFile, EverySaveHasATemporaryOfItsOwnUnderTheInstanceLockToo) {
    HostPath::SetAppDirectory(m_directory.c_str());
    ASSERT_TRUE(HostInstanceLock::Claim(u"owner"));
    int first = -1;
    int second = -1;
    const std::string names[] = {TemporaryName(m_directory, &first), TemporaryName(m_directory, &second)};
    EXPECT_NE(names[0], names[1]);
    for (const std::string& name : names) {
        EXPECT_TRUE(HostSaveTemporary::IsTemporaryName(name)) << name;
        EXPECT_NE(name, "temp.dat");
    }
    const std::string part = HostSaveTemporary::PrivateNamePart();
    EXPECT_EQ(part.rfind('-', 0), 0u) << part;
    EXPECT_GT(part.size(), 1u);
    EXPECT_EQ(HostSaveTemporary::PrivateNamePart(), part);
    HostInstanceLock::ReleaseAll();
    close(first);
    close(second);
}

// Random parts that repeat: the first of each pair is taken.
struct RepeatingNames {
    static inline int given = 0;
    static inline std::string folder;
    static inline bool unnamedHeldLocked = false;
    static std::string Next() { return ++given % 2 == 1 ? "taken" : "free" + std::to_string(given); }
    // Whether a file of the folder without a name is open, and locked,
    // while the temporary's name is still to be made.
    static std::string NextAfterLookingForTheUnnamed() {
        for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
            std::error_code failure;
            const std::string target = fs::read_symlink(entry.path(), failure).string();
            if (failure || target.rfind(folder + "/#", 0) != 0) continue;
            const int probe = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
            unnamedHeldLocked = probe >= 0 && flock(probe, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            if (probe >= 0) close(probe);
        }
        return Next();
    }
};

// Where the file system makes files without a name, the temporary is made
// so and locked before it is given one; where it makes none, it is made
// under a name no file has (a file there is neither opened nor emptied) and
// then locked. Either way a name in the way is passed over.
TEST_F(WinCeFile, ATemporaryIsMadeUnderANameOfItsOwnAndLockedWithOrWithoutUnnamedFiles) {
    const int unnamed = open(m_directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (unnamed >= 0) close(unnamed);
    std::ofstream(Host("temp-taken.dat")) << "another's";
    RepeatingNames::folder = m_directory;
    for (bool withUnnamed : {false, true}) {
        if (withUnnamed && unnamed < 0) GTEST_SKIP() << "the folder's file system makes no files without a name";
        HostFaults::Set(HostFault::UnnamedFile, !withUnnamed);
        RepeatingNames::unnamedHeldLocked = false;
        const HostSaveTemporary::RandomSource system =
            HostSaveTemporary::SetRandomSource(&RepeatingNames::NextAfterLookingForTheUnnamed);
        int descriptor = -1;
        const std::string name = TemporaryName(m_directory, &descriptor);
        HostSaveTemporary::SetRandomSource(system);
        EXPECT_EQ(RepeatingNames::unnamedHeldLocked, withUnnamed);
        EXPECT_EQ(name, "temp-free" + std::to_string(RepeatingNames::given) + ".dat") << withUnnamed;
        EXPECT_EQ(Contents("temp-taken.dat"), "another's");
        const int other = open(Host(name).c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0) << withUnnamed;
        close(other);
        close(descriptor);
    }
    HostFaults::Clear();
}

// The folder's time, the leftover rule's clock, even where no byte can be
// written there (a full disk, here a file-size limit in a child).
int64_t FolderNow(const std::string& folder) {
    const pid_t child = fork();
    if (child == 0) {
        const struct rlimit none = {0, 0};
        signal(SIGXFSZ, SIG_IGN);
        int64_t now = 0;
        _exit(setrlimit(RLIMIT_FSIZE, &none) == 0 && HostSaveTemporary::FolderTime(folder, &now) ? 0 : 1);
    }
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    int64_t now = 0;
    EXPECT_TRUE(HostSaveTemporary::FolderTime(folder, &now));
    return now;
}

// Asked for the status of the file the folder's clock makes, the first
// time: gives it the time stamp of a file system whose clock is far from
// this host's, or fails as on an I/O error.
struct FolderClockFile {
    static constexpr int64_t kFileSystemNow = 1000000000;
    static inline bool failing = false;
    static inline int asked = 0;
    static bool Hook(HostFile::Op op, const std::string& path) {
        if (op != HostFile::Op::Status || ++asked > 1) return false;
        if (failing) return true;
        const struct timespec stamp[2] = {{0, UTIME_OMIT}, {kFileSystemNow, 0}};
        return utimensat(AT_FDCWD, path.c_str(), stamp, 0) != 0;
    }
};

// The time stamp the file system gives a file, not the folder's, which not
// every file system moves. The file is removed whether or not its time
// could be read.
TEST_F(WinCeFile, TheFolderClockIsTheTimeStampOfAFileMadeThere) {
    for (bool failing : {false, true}) {
        FolderClockFile::failing = failing;
        FolderClockFile::asked = 0;
        HostFile::SetFaultHook(&FolderClockFile::Hook);
        int64_t now = 0;
        EXPECT_EQ(HostSaveTemporary::FolderTime(m_directory, &now), !failing);
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(now, failing ? 0 : FolderClockFile::kFileSystemNow);
        EXPECT_GE(FolderClockFile::asked, 1);
        EXPECT_TRUE(fs::is_empty(m_directory)) << failing;
    }
}

void MakeOld(const std::string& path, int64_t folderNow) {
    const struct timespec old[2] = {{0, UTIME_OMIT}, {folderNow - HostSaveTemporary::kLeftoverSeconds - 60, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A start removes what ended saves and start-up checks left: a file of
// theirs that no other process holds locked and that is older, by the
// folder's clock, than any save or check takes. A lock alone is no proof:
// another host's save, or one named but not locked yet, is young. A file a
// live save holds locked stays however old; nothing else is removed,
// whatever its name or kind.
TEST_F(WinCeFile, AStartRemovesOnlyWhatEndedSavesAndChecksLeft) {
    const std::vector<HostSaveTemporary::PrivateName> checks = {{"check", ".tmp"}, {"record9", ".dat"}};
    const int64_t now = FolderNow(m_directory);
    EXPECT_LE(std::abs(now - static_cast<int64_t>(std::time(nullptr))), 5);
    const std::string ended[] = {"temp.dat", "temp-ended.dat", "check-1a.tmp", "check.tmp", "record9-ff.dat"};
    const std::string young[] = {"temp-young.dat", "check-2b.tmp", "record9-young.dat"};
    const std::string other[] = {"temp-1.datx", "temp-a_b.dat", "temp-.dat", "temp-0.dat.x", "record9x.dat",
                                 "check-1.dat", "tempest.dat", "record9ab.dat", "checked.tmp", "mchvx2_save1.dat"};
    for (const std::string& name : ended) std::ofstream(Host(name)) << "x";
    for (const std::string& name : young) std::ofstream(Host(name)) << "x";
    for (const std::string& name : other) std::ofstream(Host(name)) << "x";
    fs::create_directory(Host("temp-folder.dat"));
    fs::create_symlink(Host("mchvx2_save1.dat"), Host("temp-link.dat"));
    int live = -1;
    const std::string saving = TemporaryName(m_directory, &live);
    std::ofstream(Host("temp-held.dat")) << "x";
    const int held = open(Host("temp-held.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    for (const std::string& name : {saving, std::string("temp-held.dat"), std::string("temp-folder.dat"),
                                    std::string("temp-link.dat")}) {
        MakeOld(Host(name), now);
    }
    for (const std::string& name : ended) MakeOld(Host(name), now);
    for (const std::string& name : other) MakeOld(Host(name), now);

    EXPECT_EQ(HostSaveTemporary::RemoveLeftovers(m_directory, now, checks), 5);
    for (const std::string& name : ended) EXPECT_FALSE(fs::exists(Host(name))) << name;
    for (const std::string& name : young) EXPECT_TRUE(fs::exists(Host(name))) << name;
    for (const std::string& name : other) EXPECT_TRUE(fs::exists(Host(name))) << name;
    for (const std::string& name : {saving, std::string("temp-held.dat"), std::string("temp-folder.dat")}) {
        EXPECT_TRUE(fs::exists(Host(name))) << name;
    }
    EXPECT_TRUE(fs::is_symlink(Host("temp-link.dat")));

    // Age is told by the folder's time, not this host's.
    EXPECT_EQ(HostSaveTemporary::RemoveLeftovers(m_directory, now + 2 * HostSaveTemporary::kLeftoverSeconds, checks),
              3);
    for (const std::string& name : young) EXPECT_FALSE(fs::exists(Host(name))) << name;
    close(held);
    close(live);
}

// A file the start cannot open, another user's or one met with no
// descriptor left (here under the child's descriptor limit), has a lock the
// start cannot test: its save may be live, however old the file is.
TEST_F(WinCeFile, ALeftoverWhoseLockCannotBeTestedStays) {
    const int64_t now = FolderNow(m_directory);
    std::ofstream(Host("temp-held.dat")) << "x";
    MakeOld(Host("temp-held.dat"), now);
    const int held = open(Host("temp-held.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    constexpr int kNoDescriptorLimit = 2;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The folder's listing takes the last descriptor the limit leaves.
        const int lowest = dup(held);
        close(lowest);
        struct rlimit limit = {};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = static_cast<rlim_t>(lowest) + 1;
        if (lowest < 0 || setrlimit(RLIMIT_NOFILE, &limit) != 0) _exit(kNoDescriptorLimit);
        const int listing = open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool refused = open(Host("temp-held.dat").c_str(), O_RDONLY | O_CLOEXEC) < 0 && errno == EMFILE;
        close(listing);
        if (listing < 0 || !refused) _exit(kNoDescriptorLimit);
        _exit(HostSaveTemporary::RemoveLeftovers(m_directory, now, {}) == 0 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(fs::exists(Host("temp-held.dat")));
    close(held);
}

// A save renames its temporary only while the temporary's name still names
// the file it wrote; failing, it removes no file another program put there,
// and says what happened: the file was removed or replaced, or the file
// system could not tell.
TEST_F(WinCeFile, ASaveWhoseTemporaryWasReplacedOrCannotBeCheckedFailsAndSaysWhy) {
    enum class Meddling { Replaced, Removed, Unchecked };
    std::ofstream(Host("record.dat")) << "old";
    for (Meddling meddling : {Meddling::Replaced, Meddling::Removed, Meddling::Unchecked}) {
        const HANDLE temp = CreateSafeWriteTempW(Wide("record.dat").c_str());
        ASSERT_NE(temp, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(temp, "new", 3, &written, nullptr));
        std::string name;
        for (const auto& entry : fs::directory_iterator(m_directory)) {
            if (HostSaveTemporary::IsTemporaryName(entry.path().filename())) name = entry.path().filename();
        }
        ASSERT_FALSE(name.empty());
        if (meddling == Meddling::Unchecked) {
            HostFile::SetFaultHook([](HostFile::Op op, const std::string&) { return op == HostFile::Op::Status; });
        } else {
            fs::remove(Host(name));
        }
        if (meddling == Meddling::Replaced) std::ofstream(Host(name)) << "another's";
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(ReplaceWithSafeWriteTempW(temp, Wide("record.dat").c_str()));
        const std::string said = ::testing::internal::GetCapturedStderr();
        HostFile::SetFaultHook(nullptr);
        const std::string why = meddling == Meddling::Unchecked
                                    ? " could not be checked (" + std::string(std::strerror(EIO)) + ")"
                                    : " was removed or replaced by another program";
        EXPECT_NE(said.find(Host(name) + why + "; the save is abandoned"), std::string::npos) << said;
        EXPECT_EQ(Contents("record.dat"), "old");
        const char* left[] = {"another's", "", "new"};
        EXPECT_EQ(Contents(name), left[static_cast<int>(meddling)]);
        fs::remove(Host(name));
    }
}

}  // namespace
