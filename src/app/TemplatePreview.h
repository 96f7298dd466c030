#pragma once

#include "formats/MultiFiles.h"
#include "render/PreviewDrawing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

struct Session;

// The folder the preview reads art from: the one the settings name (Session::ArtFolderPath),
// else that of the configured multi.mul, else that of MultiCollection.uop; empty when none is.
std::string PreviewArtFolder(const Session& session);

// The art of a folder, ready to draw with, and the status line that says where it comes from or
// why there is none. Never fails: missing or damaged files leave that part of the art out, and
// the status says so.
struct PreviewSource {
    PreviewArt Art;
    std::string Status;
};
PreviewSource OpenPreviewSource(const std::string& artFolder);

// Whether the art or the tile heights are missing or damaged, so that the status must be told
// even to a user who only asked for the picture.
bool LacksArtOrTiles(const PreviewSource& source);

// "1 component without art", "3 components without art": the boxes of a drawing.
std::string WithoutArtText(int count);

// A stored template's components as the preview draws them: flags from the components list
// (0 for the listed ones). Leaves the session's buffer as it is. Fails with "No template has
// the id ..." for an unknown id.
std::vector<MulRecord> PreviewComponents(Session& session, std::int32_t templateId);

} // namespace mw
