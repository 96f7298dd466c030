#pragma once

#include "common/Progress.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

struct Session;

// Where a template is imported from: a file of one of seven kinds, or one multi of the game
// files, of multi.idx / multi.mul or of MultiCollection.uop. Uoa, TileCsv and TileList are the
// design files of other multi tools (formats/UoaDesigns.h, formats/TileLists.h).
enum class ImportSource { Txt, KivT, SphereWsc, Uox3, MultiMuls, Uop, Uoa, TileCsv, TileList };

// The sources by the names the command line gives them: txt, kivt, wsc, uox3, muls, uop, uoa,
// csv, list.
struct NamedImportSource {
    const char* Name;
    ImportSource Source;
};
const std::vector<NamedImportSource>& ImportSourceNames();

// Fills the session's buffer from a file of a file source, flags set from the components list.
// False when the file is refused; the buffer's LastReadMessage says why (empty after a cancel).
bool ReadImportFile(Session& session, ImportSource source, const std::string& path,
                    const Progress& progress = {});

// One multi of the game files, as the user names it.
struct GameMulti {
    bool FromPackage = false;
    std::uint32_t MultiId = 0;
};

// The multi a hexadecimal id typed by the user names (see ParseMultiId); a RunError says why
// a text names none.
GameMulti ParseGameMulti(bool fromPackage, std::string_view hexId);

// The multi's text in the template text format, read from the session's game files.
std::string GameMultiText(const Session& session, const GameMulti& multi,
                          const Progress& progress = {});

// Reads the multi into the buffer through a template text file at throughFile, written (and
// replaced, when there is one: asking first is the caller's) and removed again after reading.
// A RunError when the game files give no such multi (the file is then not touched); false,
// with the buffer's LastReadMessage, when the text is refused.
bool ReadGameMulti(Session& session, const GameMulti& multi, const std::string& throughFile,
                   const Progress& progress = {});
// The same with the multi's text already read (GameMultiText), so that a question about
// throughFile can come between reading the game files and writing it.
bool ReadGameMultiText(Session& session, const std::string& text, const std::string& throughFile);

} // namespace mw
