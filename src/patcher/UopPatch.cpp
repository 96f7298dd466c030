#include "patcher/UopPatch.h"

#include "formats/MultiCollection.h"
#include "formats/UopHash.h"

namespace mw {

namespace {

UopPackage ReadWritablePackage(const std::string& path) {
    { RecordFile probe(path, RecordFile::Mode::ReadWrite); } // refuses what we may not change
    return UopPackage::Read(path);
}

} // namespace

UopPatch::UopPatch(const std::string& MultiUopPath, std::uint32_t entriesPerBlock)
    : package_(ReadWritablePackage(MultiUopPath)), entriesPerBlock_(entriesPerBlock) {}

bool UopPatch::HasMulti(std::uint32_t multiId) const {
    return PackageHasMulti(package_, multiId);
}

std::uint32_t UopPatch::FirstFreeId() const {
    return FirstFreePackageMultiId(package_);
}

ReplacedContents UopPatch::ComponentsOf(std::uint32_t multiId) const {
    if (!HasMulti(multiId)) return {};
    try {
        return {static_cast<std::int64_t>(ReadPackageMulti(package_, multiId).size())};
    } catch (const RunError&) {
        return {0, true};
    }
}

void UopPatch::Prepare(std::uint32_t multiId, const std::vector<MulRecord>& components) {
    const std::uint64_t replaced = UopNameHash(MultiFileName(multiId));
    std::vector<UopFile> files;
    files.reserve(package_.Entries().size() + 1);
    for (const UopEntry& entry : package_.Entries())
        if (entry.NameHash != replaced) files.push_back(CarriedOver(package_, entry));
    std::string stored;
    files.push_back(CompressedFile(replaced, EncodeMultiData(multiId, components), stored));
    UopLayout layout{package_.Version(), package_.Signature(), package_.Preamble(),
                     entriesPerBlock_};
    std::string bytes = WriteUopPackage(layout, files);
    pending_ = std::make_unique<PendingFile>(package_.Path());
    pending_->Write(bytes);
    Verify(bytes, multiId, components);
}

// The file as the disk gives it back must be the one built, read as a package, with every old
// file but the replaced multi carried over unchanged and the new multi reading back as its
// components.
void UopPatch::Verify(const std::string& written, std::uint32_t multiId,
                      const std::vector<MulRecord>& components) const {
    auto failed = [&](const std::string& why) {
        return RunError(err::PackageInvalid, "The new \"" + package_.Path() +
                                                 "\" did not read back as written (" + why +
                                                 "): the package was left as it was");
    };
    if (pending_->ReadBack() != written) throw failed("its bytes differ");
    UopPackage check(written, pending_->TemporaryPath());
    const std::uint64_t replaced = UopNameHash(MultiFileName(multiId));
    if (check.Entries().size() != package_.Entries().size() + (package_.Find(replaced) ? 0 : 1))
        throw failed("the number of its files");
    for (const UopEntry& old : package_.Entries()) {
        if (old.NameHash == replaced) continue;
        const UopEntry* now = check.Find(old.NameHash);
        if (!now || check.Stored(*now) != package_.Stored(old) ||
            check.Header(*now) != package_.Header(old) || now->Checksum != old.Checksum)
            throw failed("a file that was to be carried over");
    }
    if (ReadPackageMulti(check, multiId) != components) throw failed("the new multi");
}

void UopPatch::Commit() {
    pending_->Commit();
    pending_.reset();
}

} // namespace mw
