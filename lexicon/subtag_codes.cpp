// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Verb codes of 8 to 16 characters are keyed exactly by their first and their last 8 bytes
// and found in a table built at compile time from kVerbSlotCodes, whose hash (multiplier
// picked by search) puts each of them in a bucket of its own.
#include "lexicon/subtag_codes.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {

// Eight bytes as a little-endian number.
constexpr uint64_t Load64(const char* p) {
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

struct CodeKey {
    uint64_t head = 0;
    uint64_t tail = 0;
    std::size_t length = 0;
    constexpr bool operator==(const CodeKey&) const = default;
};

// Key of a code of 8 to 16 characters.
constexpr CodeKey KeyOf(std::string_view s) { return {Load64(s.data()), Load64(s.data() + s.size() - 8), s.size()}; }

constexpr std::size_t BucketOf(const CodeKey& key, std::size_t buckets) {
    uint64_t h = (key.head ^ (key.tail * 0xC2B2AE3D27D4EB4Full) ^ key.length) * 0x86F6FF960B581673ull;
    return std::size_t(h >> 57) & (buckets - 1);
}

constexpr std::size_t kVerbBuckets = 128;  // power of two, well above the 50 codes

struct VerbCodeTable {
    CodeKey key[kVerbBuckets];
    int8_t slot[kVerbBuckets];
};

constexpr VerbCodeTable BuildVerbCodeTable() {
    VerbCodeTable table{};
    for (auto& s : table.slot) s = -1;
    for (int slot = 1; slot < kVerbSlotCount; ++slot) {
        std::string_view code = kVerbSlotCodes[slot];
        if (code.size() < 8) continue;  // "PPre", looked up apart
        CodeKey key = KeyOf(code);
        std::size_t b = BucketOf(key, kVerbBuckets);
        while (table.slot[b] != -1) b = (b + 1) & (kVerbBuckets - 1);
        table.key[b] = key;
        table.slot[b] = static_cast<int8_t>(slot);
    }
    return table;
}

constexpr VerbCodeTable kVerbCodeTable = BuildVerbCodeTable();

// Every code sits in its own bucket, so a look-up needs one comparison.
constexpr bool VerbCodesSitInTheirOwnBuckets() {
    for (std::size_t b = 0; b < kVerbBuckets; ++b)
        if (kVerbCodeTable.slot[b] != -1 && BucketOf(kVerbCodeTable.key[b], kVerbBuckets) != b) return false;
    return true;
}
static_assert(VerbCodesSitInTheirOwnBuckets());

constexpr bool CodesOfVerbSlotsAreAsLongAsExpected() {
    for (int slot = 1; slot < kVerbSlotCount; ++slot) {
        std::size_t n = kVerbSlotCodes[slot].size();
        if (n > 16 || (n < 8 && slot != kPresentParticipleSlot)) return false;
    }
    return kVerbSlotCodes[kPresentParticipleSlot].size() < 8;
}
static_assert(CodesOfVerbSlotsAreAsLongAsExpected());

}  // namespace

int VerbSlotOfCode(std::string_view subTag) {
    if (subTag.size() < 8) return subTag == kVerbSlotCodes[kPresentParticipleSlot] ? kPresentParticipleSlot : -1;
    if (subTag.size() > 16) return -1;
    CodeKey key = KeyOf(subTag);
    std::size_t b = BucketOf(key, kVerbBuckets);
    return kVerbCodeTable.key[b] == key ? kVerbCodeTable.slot[b] : -1;
}

int NominalSlotOfCode(std::string_view subTag) {
    if (subTag.size() != 6) return -1;
    for (int slot = 0; slot < 4; ++slot)
        if (kNominalSlotCodes[slot] == subTag) return slot;
    return -1;
}
