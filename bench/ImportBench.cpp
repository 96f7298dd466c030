// Importing big files, from the file to the stored template (reader and SaveNewTemplate),
// against the sqlite3 shell's bulk load of the same rows measured in the same run.
#include "BenchSupport.h"

#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "formats/WorldSaves.h"
#include "store/Connection.h"
#include "store/SaveNewTemplate.h"

#include <cstdio>
#include <string>

namespace mw::bench {
namespace {

// Offsets from -100 to 100 around a world position of 1000, 1000: centring gives them back.
struct Row {
    long ItemID, X, Y, Z;
};

Row Nth(long i) {
    return {1000 + i % 3000, i % 201 - 100, i / 201 % 201 - 100, i % 40};
}

constexpr long World = 1000;

using Reader = bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&,
                        const Progress&);

// A source file of n rows, each row written by `row` from the item id, X, Y and Z.
template <typename WriteRow>
void WriteRows(const std::string& path, long n, std::string text, WriteRow row) {
    char line[256];
    for (long i = 0; i < n; ++i) {
        Row r = Nth(i);
        text.append(line, static_cast<size_t>(row(line, sizeof line, r)));
    }
    WriteText(path, text);
}

void WriteExtract(const std::string& path, long n) {
    WriteRows(path, n,
              "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(n) +
                  " num components\r\n",
              [](char* line, size_t size, const Row& r) {
                  return std::snprintf(line, size, "%ld %ld %ld %ld 1\r\n", r.ItemID, r.X, r.Y,
                                       r.Z);
              });
}

void WriteSphereExport(const std::string& path, long n) {
    WriteRows(path, n, "SECTION WORLDITEM\r\n;\r\n;\r\n;\r\n",
              [](char* line, size_t size, const Row& r) {
                  return std::snprintf(line, size,
                                       "ID %ld\r\nX %ld\r\nY %ld\r\nZ %ld\r\nNAME wall\r\n"
                                       "COLOR 0\r\nTYPE 0\r\nATTR 010\r\nLAYER 0\r\nCONT 0\r\n"
                                       "MORE1 0\r\nMORE2 0\r\nAMOUNT 1\r\nSERIAL 040001a2\r\n",
                                       r.ItemID, World + r.X, World + r.Y, r.Z);
              });
}

void WriteUox3Items(const std::string& path, long n) {
    WriteRows(path, n, "// items\n", [](char* line, size_t size, const Row& r) {
        return std::snprintf(line, size,
                             "[WORLDITEM]\n{\nSERIALID 1\nID %ld\nX %ld\nY %ld\nZ %ld\n"
                             "HIDAMAGE 1\nHIDDEN 0\n}\n",
                             r.ItemID, World + r.X, World + r.Y, r.Z);
    });
}

void WriteCsv(const std::string& path, long n) {
    WriteRows(path, n, "", [](char* line, size_t size, const Row& r) {
        return std::snprintf(line, size, "%ld,%ld,%ld,%ld,1,1\n", r.ItemID, r.X, r.Y, r.Z);
    });
}

void ImportAgainstShell(const std::string& label, long n, Reader read,
                        void (*writeSource)(const std::string&, long)) {
    Scratch scratch;
    std::string source = scratch.File("source"), csv = scratch.File("rows.csv");
    writeSource(source, n); // written and released before the child starts
    WriteCsv(csv, n);
    auto import = [&](const std::string& library) {
        Connection cn(library);
        ComponentBuffer buffer;
        if (!read(buffer, ComponentsList(), source, {}) || buffer.ComponentCount != n) return false;
        SaveNewTemplate(cn, buffer, {"1", "1", "Bench"});
        return true;
    };
    FiguresAgainstShell(scratch, label, import, csv);
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        // World saves are read faster than extracts: twice the rows, so that a run lasts a second.
        long scale = quick ? 10 : 1;
        std::string extract = quick ? "100k" : "1M", save = quick ? "200k" : "2M";
        ImportAgainstShell("import-extract-" + extract, 1000000 / scale, mw::ReadComponentList,
                           WriteExtract);
        ImportAgainstShell("import-sphere-export-" + save, 2000000 / scale, mw::ReadSphereExportWsc,
                           WriteSphereExport);
        ImportAgainstShell("import-uox3-" + save, 2000000 / scale, mw::ReadUox3Wsc, WriteUox3Items);
    });
}
