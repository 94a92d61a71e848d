#include "CHash.h"

#include <gtest/gtest.h>

namespace {

bool BucketHolds(const CHash& table, int32_t bucket, uint32_t key) {
    for (CHashNode* node = table.GetBucket(bucket); node != nullptr; node = node->next) {
        if (node->key == key) return true;
    }
    return false;
}

TEST(CHashBucket, KeysLandInKeyModCount) {
    for (int32_t requested : {0, 2, 20, 500, 65536, 1000000}) {
        CHash table;
        ASSERT_TRUE(table.Init(requested, 64, true));
        const uint32_t count = static_cast<uint32_t>(table.GetBucketCount());
        const uint32_t keys[] = {0u,          1u,          count - 1,   count,       count + 1,
                                 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu, 0x9E3779B9u,
                                 count * 3u,  count * 3u - 1};
        for (uint32_t key : keys) {
            ASSERT_TRUE(table.Insert(key, key));
            EXPECT_TRUE(BucketHolds(table, static_cast<int32_t>(key % count), key))
                << "key " << key << " of " << count << " buckets";
        }
        for (uint32_t i = 0, key = 12345; i < 2000; ++i, key = key * 1664525u + 1013904223u) {
            ASSERT_TRUE(table.Insert(key, i));
            ASSERT_TRUE(BucketHolds(table, static_cast<int32_t>(key % count), key)) << key;
        }
    }
}

}  // namespace
