// MultiCollection.uop on any bytes: the package reader, then every multi the package holds. A
// refusal is a PackageInvalid naming the file; an accepted package's entries lie inside the
// file, and each multi is accepted exactly when its contents are whole tiles of its own id, as
// records equal to those tiles in order, with a text of exactly those records.
#include "FuzzSupport.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/MultiCollection.h"
#include "formats/MultiExtraction.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mw::fuzz {
namespace {

// The multi id of every name a multi can have, so that the package's multis are found from its
// entries rather than by asking for every id on each input.
const std::unordered_map<std::uint64_t, std::uint32_t>& MultiIdsByHash() {
    static const auto ids = [] {
        std::unordered_map<std::uint64_t, std::uint32_t> byHash;
        for (std::uint32_t id = 0; id <= HighestMultiId; ++id)
            byHash.emplace(UopNameHash(MultiFileName(id)), id);
        return byHash;
    }();
    return ids;
}

void CheckRefusal(const RunError& refused, const std::string& path) {
    Require(!refused.Description.empty(), "a refusal says why");
    Require(refused.Number == err::PackageInvalid, "a refusal is PackageInvalid");
    Require(refused.Description.find(path) != std::string::npos, "a refusal names the file");
}

void CheckEntries(const UopPackage& package, std::string_view file) {
    std::uint64_t firstTable = Get64(reinterpret_cast<const unsigned char*>(file.data()) + 12);
    std::uint64_t preambleEnd = std::min<std::uint64_t>({firstTable, UopFirstTable, file.size()});
    Require(package.Preamble() ==
                file.substr(UopHeaderSize, std::max(preambleEnd, UopHeaderSize) - UopHeaderSize),
            "the preamble is the bytes between the header and the first table");
    for (const UopEntry& entry : package.Entries()) {
        Require(entry.DataOffset >= UopHeaderSize && entry.DataOffset <= file.size() &&
                    file.size() - entry.DataOffset >=
                        std::uint64_t{entry.HeaderLength} + entry.StoredSize,
                "every entry lies inside the file");
        Require(package.Header(entry) == file.substr(entry.DataOffset, entry.HeaderLength) &&
                    package.Stored(entry) ==
                        file.substr(entry.DataOffset + entry.HeaderLength, entry.StoredSize),
                "an entry's bytes are the file's at its place");
        Require(entry.Compression == UopStored || entry.Compression == UopZlib,
                "a compression is known");
        Require(entry.Compression == UopZlib || entry.UncompressedSize == entry.StoredSize,
                "a file stored as it is has one size");
        Require(package.Find(entry.NameHash) == &entry, "a name hash finds its own entry");
    }
}

// The tiles of a multi's contents read here on their own: nothing when they are not whole
// tiles of that id, and nothing after them.
std::optional<std::vector<MulRecord>> Tiles(std::string_view contents, std::uint32_t multiId) {
    const auto* in = reinterpret_cast<const unsigned char*>(contents.data());
    const size_t size = contents.size();
    if (size < 8 || Get32(in) != multiId) return std::nullopt;
    std::vector<MulRecord> tiles;
    size_t at = 8;
    for (std::uint32_t count = Get32(in + 4); count > 0; --count) {
        if (size - at < 14) return std::nullopt;
        std::uint16_t flags = Get16(in + at + 8);
        std::int64_t flag = flags == 0 ? 1 : flags == 1 ? 0 : flags; // the package's 0 is our 1
        tiles.push_back({Get16(in + at), static_cast<std::int16_t>(Get16(in + at + 2)),
                         static_cast<std::int16_t>(Get16(in + at + 4)),
                         static_cast<std::int16_t>(Get16(in + at + 6)), flag});
        std::uint64_t extras = Get32(in + at + 10);
        at += 14;
        if (extras * 4 > size - at) return std::nullopt;
        at += static_cast<size_t>(extras * 4);
    }
    if (at != size) return std::nullopt;
    return tiles;
}

// Checks one multi of the package; returns its records when it is accepted.
std::optional<std::vector<MulRecord>> CheckMulti(const UopPackage& package, const UopEntry& entry,
                                                 std::uint32_t multiId) {
    const std::string name = MultiFileName(multiId);
    std::optional<std::string> contents;
    try {
        contents = package.Contents(entry, name);
        Require(contents->size() == entry.UncompressedSize,
                "contents have the size their entry announces");
    } catch (const RunError& refused) {
        Require(entry.Compression == UopZlib, "only a compressed file can fail to inflate");
        CheckRefusal(refused, package.Path());
    }
    std::optional<std::vector<MulRecord>> tiles;
    if (contents) tiles = Tiles(*contents, multiId);

    std::vector<MulRecord> records;
    try {
        records = ReadPackageMulti(package, multiId);
    } catch (const RunError& refused) {
        CheckRefusal(refused, package.Path());
        Require(!tiles, "a multi of whole tiles is accepted");
        return std::nullopt;
    }
    Require(tiles.has_value(), "a multi is accepted only when its contents are whole tiles");
    Require(records == *tiles, "an accepted multi is its tiles, as many as it counts, in order");
    return records;
}

// True the first time a key is seen in this run. The memory it takes is bounded: when the keys
// seen fill it, they are forgotten.
bool FirstTime(std::set<std::string>& seen, size_t& bytes, std::string key) {
    constexpr size_t Budget = 64 << 20;
    if (bytes + key.size() > Budget) {
        seen.clear();
        bytes = 0;
    }
    bytes += key.size();
    return seen.insert(std::move(key)).second;
}

// A multi's text depends only on its records, and making and reading it back costs twice what
// the rest of an input does (both read whole files), so the text of each list of records is
// checked once per run. An input that breaks a promise still does so when it is run on its own.
void CheckText(const UopPackage& package, std::uint32_t multiId,
               const std::vector<MulRecord>& records) {
    static std::set<std::string> seen;
    static size_t bytes = 0;
    std::string key;
    for (const MulRecord& r : records) {
        Append16(key, r.ItemID);
        for (std::int16_t value : {r.X, r.Y, r.Z})
            Append16(key, static_cast<std::uint16_t>(value));
        Append64(key, static_cast<std::uint64_t>(r.Flag));
    }
    if (!FirstTime(seen, bytes, std::move(key))) return;
    std::string text;
    try {
        text = PackageMultiAsText(package.Path(), multiId);
    } catch (const RunError&) {
        Require(false, "an accepted multi has a text");
    }
    CheckMultiText(text, records);
}

// PackageMultiIds asks for every id there is, which takes far longer than the rest of an input;
// its answer depends only on the package's name hashes, so each set of them is checked once per
// run, as texts are.
void CheckMultiIds(const UopPackage& package, std::vector<std::uint32_t> ids) {
    static std::set<std::string> seen;
    static size_t bytes = 0;
    std::vector<std::uint64_t> hashes;
    for (const UopEntry& entry : package.Entries())
        hashes.push_back(entry.NameHash);
    std::sort(hashes.begin(), hashes.end());
    std::string key;
    for (std::uint64_t hash : hashes)
        Append64(key, hash);
    if (!FirstTime(seen, bytes, std::move(key))) return;
    std::sort(ids.begin(), ids.end());
    Require(PackageMultiIds(package) == ids, "the multi ids are those of its multi files");
}

} // namespace
} // namespace mw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    const std::string path = fuzz::InputFile("MultiCollection.uop", data, size);
    std::optional<UopPackage> package;
    try {
        package.emplace(UopPackage::Read(path));
    } catch (const RunError& refused) {
        fuzz::CheckRefusal(refused, path);
        return 0;
    }
    fuzz::CheckEntries(*package, std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::uint32_t> ids;
    for (const UopEntry& entry : package->Entries()) {
        auto found = fuzz::MultiIdsByHash().find(entry.NameHash);
        if (found == fuzz::MultiIdsByHash().end()) continue;
        ids.push_back(found->second);
        if (auto records = fuzz::CheckMulti(*package, entry, found->second))
            fuzz::CheckText(*package, found->second, *records);
    }
    fuzz::CheckMultiIds(*package, std::move(ids));
    return 0;
}
