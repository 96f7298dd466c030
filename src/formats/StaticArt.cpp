#include "formats/StaticArt.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"

namespace mw {

namespace {

// The record as 16-bit words after its 4-byte header, every read checked against its end.
class ArtWords {
public:
    ArtWords(std::string_view record, const std::string& where) : record_(record), where_(where) {}

    size_t Count() const { return record_.size() < 4 ? 0 : (record_.size() - 4) / 2; }
    std::uint16_t At(size_t word) const {
        if (word >= Count()) Refuse("it is cut short");
        return Get16(reinterpret_cast<const unsigned char*>(record_.data()) + 4 + 2 * word);
    }
    [[noreturn]] void Refuse(const std::string& why) const {
        throw RunError(err::ArtInvalid, "The art of " + where_ + " is damaged: " + why + ".");
    }

private:
    std::string_view record_;
    const std::string& where_;
};

// Decodes the runs of one row, starting at word `at`, into row y of the image.
void DecodeRow(const ArtWords& words, size_t at, int y, ArgbImage& image) {
    int x = 0;
    for (;;) {
        int offset = words.At(at), run = words.At(at + 1);
        at += 2;
        if (offset == 0 && run == 0) return;
        x += offset;
        if (x + run > image.Width)
            words.Refuse("a run of row " + std::to_string(y) + " lies outside the image");
        for (int i = 0; i < run; ++i)
            image.At(x + i, y) = Rgb555ToArgb(words.At(at + i));
        at += run;
        x += run;
    }
}

} // namespace

ArgbImage DecodeStaticArt(std::string_view record, const std::string& where) {
    ArtWords words(record, where);
    if (record.size() < 8) words.Refuse("it is cut short");
    int width = words.At(0), height = words.At(1);
    if (width == 0 || height == 0 || width > MaxArtSide || height > MaxArtSide)
        words.Refuse("its size " + std::to_string(width) + " x " + std::to_string(height) +
                     " is not that of an item's art");
    size_t rows = 2 + static_cast<size_t>(height); // the first word after the row table
    if (rows > words.Count()) words.Refuse("its row table is cut short");
    ArgbImage image(width, height);
    for (int y = 0; y < height; ++y) {
        size_t start = rows + words.At(2 + y);
        if (start >= words.Count())
            words.Refuse("row " + std::to_string(y) + " starts outside the record");
        DecodeRow(words, start, y, image);
    }
    return image;
}

} // namespace mw
