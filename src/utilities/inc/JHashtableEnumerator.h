#ifndef JHASHTABLEENUMERATOR_H
#define JHASHTABLEENUMERATOR_H

#include <cstdint>

#include "CAssert.h"
#include "JEnumeration.h"

template <typename K, typename V>
class JHashtable;

// Hands out the keys of a hash table: buckets from the highest index down,
// within a bucket from the most recently inserted key. The table tells its
// live enumerations when it rehashes, clears or goes away; such an
// enumeration ends there instead of walking freed entries.
template <typename K, typename V>
class JHashtableEnumerator : public JEnumeration {
    using Table = JHashtable<K, V>;
    using Entry = typename Table::Entry;

public:
    static constexpr int kPastEndLine = 61;

    explicit JHashtableEnumerator(Table& owner)
        : m_owner(&owner), table(owner.m_table), index(owner.m_capacity) {
        owner.attach(this);
    }

    ~JHashtableEnumerator() override {
        if (m_owner != nullptr) m_owner->detach(this);
    }

    JHashtableEnumerator(const JHashtableEnumerator&) = delete;
    JHashtableEnumerator& operator=(const JHashtableEnumerator&) = delete;

    bool hasMoreElements() override { return entry != nullptr || findEntry(); }

    void* nextElement() override {
        if (entry == nullptr && !findEntry()) {
            Assert(false, "JHashtable", kPastEndLine);
            return nullptr;
        }
        Entry* current = entry;
        entry = current->next;
        return &current->key;
    }

private:
    friend Table;

    // Moves to the next non-empty bucket; false when none is left.
    bool findEntry() {
        while (index > 0) {
            --index;
            entry = table[index];
            if (entry != nullptr) return true;
        }
        return false;
    }

    // The table changed under the walk: it ends here.
    void endWalk() {
        if (entry != nullptr || index > 0) {
            DebugPrintf("JHashtable: an enumeration of keys ended early, the table changed under it");
        }
        m_owner = nullptr;
        table = nullptr;
        entry = nullptr;
        index = 0;
    }

    Table* m_owner;
    JHashtableEnumerator* m_nextLive = nullptr;
    Entry** table;
    // Buckets still to visit, counting down from the table's capacity.
    int32_t index;
    Entry* entry = nullptr;
};

#endif
