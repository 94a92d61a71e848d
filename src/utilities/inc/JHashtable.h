#ifndef JHASHTABLE_H
#define JHASHTABLE_H

#include <cstdint>
#include <new>

#include "CAssert.h"
#include "CMemory.h"
#include "JEnumeration.h"
#include "JHashtableEnumerator.h"
#include "JObject.h"
#include "JSmartPtr.h"

// The chained hash table of the game code. Keys provide hashCode() (i32) and
// ==; a new key goes to the head of its bucket, (hash & 0x7FFFFFFF) %
// capacity. The table grows to 2 * capacity + 1 buckets when a new key finds
// it at its threshold (75% of the buckets). There is no single-key removal.
// The table owns its buckets and entries, so it is not copied.
template <typename K, typename V>
class JHashtable : public JObject {
public:
    static constexpr int32_t kDefaultCapacity = 11;

    struct Entry {
        Entry* next;
        int32_t hash;
        K key;
        V value;
    };

    JHashtable() { init(kDefaultCapacity); }
    explicit JHashtable(int32_t initialCapacity) { init(initialCapacity); }
    ~JHashtable() {
        clear();
        endWalks();
        MemFreeArray(m_table);
    }

    JHashtable(const JHashtable&) = delete;
    JHashtable& operator=(const JHashtable&) = delete;

    // 0 buckets mean 1; a negative count is reported and taken as 1.
    void init(int32_t initialCapacity) {
        if (initialCapacity < 0) DebugPrintf("JHashtable: negative capacity %d taken as 1", initialCapacity);
        clear();
        endWalks();
        MemFreeArray(m_table);
        m_capacity = initialCapacity > 0 ? initialCapacity : 1;
        m_count = 0;
        m_table = NewBuckets(m_capacity);
        if (m_table == nullptr) m_capacity = 0;
        m_threshold = Threshold(m_capacity);
    }

    void clear() {
        endWalks();
        for (int32_t i = m_capacity - 1; i >= 0; --i) {
            Entry* entry = m_table[i];
            while (entry != nullptr) {
                Entry* next = entry->next;
                entry->~Entry();
                MemFree(entry);
                entry = next;
            }
            m_table[i] = nullptr;
        }
        m_count = 0;
    }

    // The value the key had, or V() for a new key. A key that finds no
    // memory is not stored (reported in the debug log).
    V put(const K& key, const V& value) {
        const int32_t hash = key.hashCode();
        Entry* found = find(key, hash);
        if (found != nullptr) {
            V previous = found->value;
            found->value = value;
            return previous;
        }
        if (m_count >= m_threshold) rehash();
        if (m_table == nullptr || !insert(key, value, hash)) {
            DebugPrintf("JHashtable: no memory for a new key");
        }
        return V();
    }

    V get(const K& key) const {
        const Entry* found = find(key, key.hashCode());
        return found != nullptr ? found->value : V();
    }

    JSmartPtr<JEnumeration> keys() { return JSmartPtr<JEnumeration>(new JHashtableEnumerator<K, V>(*this)); }

    int32_t size() const { return m_count; }
    int32_t capacity() const { return m_capacity; }

private:
    friend class JHashtableEnumerator<K, V>;

    static int32_t Threshold(int32_t capacity) { return static_cast<int32_t>(int64_t{capacity} * 75 / 100); }
    static int32_t BucketOf(int32_t hash, int32_t capacity) { return (hash & 0x7FFFFFFF) % capacity; }

    static Entry** NewBuckets(int32_t capacity) {
        const size_t bytes = ArrayBytes(static_cast<size_t>(capacity), sizeof(Entry*));
        Entry** buckets = bytes == 0 ? nullptr : static_cast<Entry**>(MemAllocArray(bytes));
        if (buckets == nullptr) {
            DebugPrintf("JHashtable: no memory for %d buckets", capacity);
            return nullptr;
        }
        MemSet(buckets, 0, bytes);
        return buckets;
    }

    Entry* find(const K& key, int32_t hash) const {
        if (m_table == nullptr) return nullptr;
        for (Entry* entry = m_table[BucketOf(hash, m_capacity)]; entry != nullptr; entry = entry->next) {
            if (entry->hash == hash && entry->key == key) return entry;
        }
        return nullptr;
    }

    bool insert(const K& key, const V& value, int32_t hash) {
        void* block = MemAlloc(sizeof(Entry));
        if (block == nullptr) return false;
        Entry** head = &m_table[BucketOf(hash, m_capacity)];
        *head = new (block) Entry{*head, hash, key, value};
        ++m_count;
        return true;
    }

    // Moves every entry onto the head of its bucket in a table of
    // 2 * capacity + 1 buckets. Without memory for the new buckets the table
    // keeps its size and its chains grow longer.
    void rehash() {
        const int64_t wanted = int64_t{m_capacity} * 2 + 1;
        if (wanted > INT32_MAX) return;
        const int32_t newCapacity = static_cast<int32_t>(wanted);
        Entry** newTable = NewBuckets(newCapacity);
        if (newTable == nullptr) return;
        endWalks();
        for (int32_t i = m_capacity - 1; i >= 0; --i) {
            Entry* entry = m_table[i];
            while (entry != nullptr) {
                Entry* next = entry->next;
                Entry** head = &newTable[BucketOf(entry->hash, newCapacity)];
                entry->next = *head;
                *head = entry;
                entry = next;
            }
        }
        MemFreeArray(m_table);
        m_table = newTable;
        m_capacity = newCapacity;
        m_threshold = Threshold(newCapacity);
    }

    void attach(JHashtableEnumerator<K, V>* walk) {
        walk->m_nextLive = m_liveWalks;
        m_liveWalks = walk;
    }

    void detach(JHashtableEnumerator<K, V>* walk) {
        for (JHashtableEnumerator<K, V>** link = &m_liveWalks; *link != nullptr; link = &(*link)->m_nextLive) {
            if (*link == walk) {
                *link = walk->m_nextLive;
                return;
            }
        }
    }

    // Bucket arrays and entries are about to move or go: every enumeration
    // over them ends.
    void endWalks() {
        while (m_liveWalks != nullptr) {
            JHashtableEnumerator<K, V>* walk = m_liveWalks;
            m_liveWalks = walk->m_nextLive;
            walk->endWalk();
        }
    }

    Entry** m_table = nullptr;
    int32_t m_threshold = 0;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    JHashtableEnumerator<K, V>* m_liveWalks = nullptr;
};

#endif
