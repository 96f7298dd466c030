#pragma once

#include "formats/ArgbImage.h"
#include "formats/ArtReader.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace mw {

// Decoded static art, kept while it fits a byte budget: the least recently used images are let
// go first. Items without art are remembered too, so that drawing a template again reads nothing.
// Safe to use from several threads; an image handed out stays valid after it leaves the cache.
class ArtCache {
public:
    static constexpr size_t DefaultLimit = size_t{64} << 20;

    explicit ArtCache(std::unique_ptr<ArtReader> reader, size_t limitBytes = DefaultLimit);

    // The item's art, or null when the files have none for it. A damaged record fails with
    // err::ArtInvalid (and is asked for again next time).
    std::shared_ptr<const ArgbImage> StaticArt(std::uint16_t itemId);

    size_t CachedBytes() const;
    std::uint64_t BytesRead() const;

private:
    struct Slot {
        std::shared_ptr<const ArgbImage> Image; // null: the item has no art
        std::list<std::uint16_t>::iterator Use;
    };
    void Remember(std::uint16_t itemId, std::shared_ptr<const ArgbImage> image);
    void Evict();

    mutable std::mutex mutex_;
    std::unique_ptr<ArtReader> reader_;
    size_t limit_, cached_ = 0;
    std::list<std::uint16_t> uses_; // most recent first
    std::unordered_map<std::uint16_t, Slot> slots_;
};

} // namespace mw
