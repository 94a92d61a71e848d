#ifndef MEMORYFILEMGR_H
#define MEMORYFILEMGR_H

#include <cstdint>

#include "CHash.h"
#include "CStrChar.h"
#include "ICFileMgr.h"
#include "MemoryFile.h"
#include "WideStr.h"

// The file manager of a fuzz run: one read-only file, whose bytes are the
// current input, under a fixed name. Constructing it publishes a singleton
// table of its own holding it, so engine code that asks for the file
// manager finds this one for the whole run.
class MemoryFileMgr : public ICFileMgr {
public:
    static constexpr WChar kFileName[] = u"input.bin";

    // The manager of the run, made on first use.
    static MemoryFileMgr& Instance() {
        static Publisher publisher;
        return *publisher.manager;
    }

    // The bytes the file holds from now on; they must outlive every file
    // opened on them.
    void Serve(const uint8_t* bytes, uint32_t size) {
        m_bytes = bytes;
        m_size = size;
    }

    const WChar* GetAppDirectory() override { return u""; }
    const WChar* GetDataDirectory() override { return u""; }
    const WChar* GetPathSeparator() override { return u"\\"; }

    ICFile* Open(const WChar* path, uint32_t mode) override {
        return mode == kRead && Exists(path) ? new MemoryFile(m_bytes, m_size) : nullptr;
    }
    void DescribePath(CStrChar& out, const WChar* path) override {
        char narrow[kDescribedUnits];
        out = NarrowFromWide(narrow, path, kDescribedUnits);
    }
    bool Close(ICFile* file) override {
        delete file;
        return true;
    }
    bool Exists(const WChar* path) override { return path != nullptr && WideStrCompare(path, kFileName) == 0; }
    uint32_t GetFileSize(const WChar* path) override { return Exists(path) ? m_size : 0; }
    // Nothing is written: no safe write makes a temporary.
    ICFile* CreateSafeWriteTemp(const WChar*) override { return nullptr; }
    bool ReplaceWithSafeWriteTemp(ICFile* temp, const WChar*) override {
        static_cast<void>(Close(temp));
        return false;
    }
    void DiscardSafeWriteTemp(ICFile* temp) override { static_cast<void>(Close(temp)); }
    bool Rename(const WChar*, const WChar*) override { return false; }
    bool Delete(const WChar*) override { return false; }
    int32_t UnsupportedOp1() override { return 0; }
    int32_t UnsupportedOp2() override { return 0; }
    int32_t UnsupportedOp3() override { return 0; }
    uint32_t GetSpaceLimit() override { return 0; }

private:
    static constexpr uint32_t kDescribedUnits = 64;

    // Owns the singleton table and the manager registered in it.
    struct Publisher {
        Publisher() {
            table.Init(8, 8, true);
            CSingleton::SetTable(&table);
            manager = new MemoryFileMgr();
        }
        ~Publisher() {
            delete manager;
            CSingleton::SetTable(nullptr);
        }
        CHash table;
        MemoryFileMgr* manager = nullptr;
    };

    const uint8_t* m_bytes = nullptr;
    uint32_t m_size = 0;
};

#endif
