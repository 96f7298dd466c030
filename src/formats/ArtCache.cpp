#include "formats/ArtCache.h"

#include "formats/StaticArt.h"

#include <cstdio>

namespace mw {

ArtCache::ArtCache(std::unique_ptr<ArtReader> reader, size_t limitBytes)
    : reader_(std::move(reader)), limit_(limitBytes) {}

std::shared_ptr<const ArgbImage> ArtCache::StaticArt(std::uint16_t itemId) {
    std::lock_guard lock(mutex_);
    if (auto slot = slots_.find(itemId); slot != slots_.end()) {
        uses_.splice(uses_.begin(), uses_, slot->second.Use);
        return slot->second.Image;
    }
    std::shared_ptr<const ArgbImage> image;
    if (auto record = reader_->StaticArtRecord(itemId)) {
        std::string where = reader_->SourcePath() + ", item 0x" + [&] {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", itemId);
            return std::string(hex);
        }();
        image = std::make_shared<const ArgbImage>(DecodeStaticArt(*record, where));
    }
    Remember(itemId, image);
    return image;
}

void ArtCache::Remember(std::uint16_t itemId, std::shared_ptr<const ArgbImage> image) {
    size_t bytes = image ? image->Bytes() : 0;
    if (bytes > limit_) return; // larger than the whole budget: handed out, never kept
    uses_.push_front(itemId);
    slots_.emplace(itemId, Slot{std::move(image), uses_.begin()});
    cached_ += bytes;
    Evict();
}

void ArtCache::Evict() {
    while (cached_ > limit_ && !uses_.empty()) {
        auto slot = slots_.find(uses_.back());
        cached_ -= slot->second.Image ? slot->second.Image->Bytes() : 0;
        slots_.erase(slot);
        uses_.pop_back();
    }
}

size_t ArtCache::CachedBytes() const {
    std::lock_guard lock(mutex_);
    return cached_;
}

std::uint64_t ArtCache::BytesRead() const {
    std::lock_guard lock(mutex_);
    return reader_->BytesRead();
}

} // namespace mw
