// The render subcommand: a template drawn with the client's art, as the preview window shows it.
#include "cli/Cli.h"

#include "app/TemplatePreview.h"
#include "render/PngFile.h"

#include <iostream>

namespace mw::cli {

namespace {

PreviewOptions RenderOptions(const Arguments& args) {
    PreviewOptions options;
    options.ShowListed = !args.IsSet("hide-listed");
    if (args.IsSet("max-z")) {
        bool ok = false;
        int maxZ = QString::fromStdString(args.Text("max-z")).toInt(&ok);
        if (!ok) throw BadUsage("--max-z needs a whole number, not \"" + args.Text("max-z") + "\"");
        options.MaxZ = maxZ;
    }
    return options;
}

} // namespace

int Render(const QStringList& arguments) {
    Arguments args("render", "Draws a template as the game client draws it, with the client's "
                             "art, and writes the picture as a PNG file. Components without art "
                             "are drawn as boxes; standard error says how many.");
    args.Positional("ID", "The template id, as `list` shows it.");
    args.Positional("FILE", "The PNG file to write, or - for standard output.");
    args.Option("art-folder",
                "The folder of art.mul and artidx.mul (or artLegacyMUL.uop) and tiledata.mul "
                "(default: the preview window's, from the settings).",
                "DIR");
    args.Option("max-z", "Leaves out the components above this z.", "N");
    args.Option("hide-listed",
                "Leaves out the components listed in components.txt (doors and the like).");
    if (!args.Parse(arguments, 2)) return Success;
    PreviewOptions options = RenderOptions(args);
    Session session = SessionFor(args);
    OpenLibrary(session);
    LoadComponents(session);
    std::vector<MulRecord> components = PreviewComponents(session, args.TemplateId(0));
    PreviewSource source = OpenPreviewSource(ChosenArtFolder(args, session).Value);
    if (LacksArtOrTiles(source)) std::cerr << source.Status << "\n";
    PreviewPicture picture = DrawPreview(components, source.Art, options);
    WriteOutput(args, args.At(1), EncodePng(picture.Image));
    if (!picture.ArtProblem.empty()) std::cerr << picture.ArtProblem << "\n";
    std::cerr << WithoutArtText(picture.WithoutArt) << "\n";
    return Success;
}

} // namespace mw::cli
