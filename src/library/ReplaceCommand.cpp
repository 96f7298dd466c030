// Patch Muls with "Patch Existing": which multi to replace, and what it holds now.
#include "app/MultiReplacement.h"
#include "app/TemplatePreview.h"
#include "formats/MultiExtraction.h"
#include "library/frmWardstone.h"
#include "render/PreviewDrawing.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QLabel>

namespace mw {

namespace {

const QString ReplaceTitle = "Patch Existing";

// The components drawn with the configured art; nothing when they cannot be drawn (too large),
// since the question stands without its pictures.
void AddPicture(std::vector<CaptionedPicture>& pictures, const QString& caption,
                const std::vector<MulRecord>& components, const PreviewArt& art) {
    if (components.empty()) return;
    try {
        PreviewPicture picture = DrawPreview(components, art, {});
        QImage image(reinterpret_cast<const uchar*>(picture.Image.Pixels.data()),
                     picture.Image.Width, picture.Image.Height, QImage::Format_ARGB32);
        pictures.push_back({caption, image.copy()});
    } catch (const RunError&) {
    }
}

std::vector<CaptionedPicture> ReplacementPictures(const Session& session,
                                                  const std::vector<ReplacedMulti>& now,
                                                  const std::vector<MulRecord>& replacement) {
    PreviewSource source = OpenPreviewSource(PreviewArtFolder(session));
    std::vector<CaptionedPicture> pictures;
    for (const ReplacedMulti& file : now)
        AddPicture(pictures, "Now, in " + QString::fromStdString(file.Files), file.Components,
                   source.Art);
    AddPicture(pictures, "The template", replacement, source.Art);
    return pictures;
}

} // namespace

std::optional<std::uint32_t> frmWardstone::AskMultiToReplace(std::int32_t templateId) {
    QString typed = prompts_.InputBox("Multi id to replace (hexadecimal)", ReplaceTitle);
    if (typed.isEmpty()) return std::nullopt;
    std::uint32_t multiId = 0;
    try {
        multiId = ParseMultiId(typed.toStdString());
    } catch (const RunError& refused) {
        prompts_.Message(QString::fromStdString(refused.Description), ReplaceTitle,
                         MessageIcon::Exclamation);
        return std::nullopt;
    }
    std::vector<ReplacedMulti> now;
    std::vector<MulRecord> replacement;
    std::vector<CaptionedPicture> pictures;
    {
        WaitCursor wait;
        now = DescribeReplacedMulti(session_, multiId);
        replacement = PreviewComponents(session_, templateId);
        pictures = ReplacementPictures(session_, now, replacement);
    }
    std::string question =
        ReplacementQuestion(multiId, now, lblSelectedTemplate->text().toStdString(),
                            static_cast<std::int64_t>(replacement.size()));
    if (prompts_.AskYesNoShowing(QString::fromStdString(question), ReplaceTitle, pictures))
        return multiId;
    SetStatus("Nothing was replaced");
    return std::nullopt;
}

} // namespace mw
