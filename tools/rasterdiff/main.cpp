// rasterdiff: draws the raster cases and writes their pixels (`rasterdiff draw
// FILE`), or compares two such files pixel for pixel (`rasterdiff compare OURS
// THEIRS`). Built against our rasterizer and, for Windows, against real GDI,
// it checks that both paint the same pixels; known differences are listed in
// known.cpp with their reasons.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cases.h"
#include "known.h"
#include "gdi/surface.h"

namespace {

constexpr COLORREF background = 0x00303030;

struct Drawn {
    std::string name, kind;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

int draw(const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::fprintf(stderr, "rasterdiff: cannot write %s\n", path);
        return 2;
    }
    for (const RasterCase& c : rasterCases()) {
        HDC dc = createSurfaceDC(c.width, c.height);
        HBRUSH bg = CreateSolidBrush(background);
        RECT all{0, 0, c.width, c.height};
        FillRect(dc, &all, bg);
        DeleteObject(bg);
        c.draw(dc);
        Surface s = dcSurface(dc);
        if (!s.pixels) {
            std::fprintf(stderr, "rasterdiff: no pixels for case %s\n", c.name.c_str());
            std::fclose(f);
            return 2;
        }
        std::fprintf(f, "case %s %s %d %d\n", c.name.c_str(), c.kind.c_str(), s.width, s.height);
        for (int i = 0; i < s.width * s.height; ++i) {
            std::uint32_t p = s.pixels[i] & 0xffffff;
            unsigned char b[4] = {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16), 0};
            std::fwrite(b, 1, 4, f);
        }
        deleteSurfaceDC(dc);
    }
    bool ok = std::fclose(f) == 0;
    return ok ? 0 : 2;
}

bool load(const char* path, std::vector<Drawn>& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::fprintf(stderr, "rasterdiff: cannot read %s\n", path);
        return false;
    }
    char name[256], kind[64];
    int w, h;
    while (std::fscanf(f, "case %255s %63s %d %d", name, kind, &w, &h) == 4) {
        if (std::fgetc(f) != '\n' || w <= 0 || h <= 0 || w > 4096 || h > 4096) break;
        Drawn d{name, kind, w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h))};
        for (auto& p : d.pixels) {
            unsigned char b[4];
            if (std::fread(b, 1, 4, f) != 4) {
                std::fclose(f);
                std::fprintf(stderr, "rasterdiff: %s is cut short\n", path);
                return false;
            }
            p = b[0] | (b[1] << 8) | (b[2] << 16);
        }
        out.push_back(std::move(d));
    }
    bool atEnd = std::feof(f) || std::fgetc(f) == EOF;
    std::fclose(f);
    if (!atEnd) std::fprintf(stderr, "rasterdiff: %s is not a raster file\n", path);
    return atEnd;
}

bool rowIsEmpty(const Drawn& d, int row) {
    for (int x = 0; x < d.width; ++x)
        if (d.pixels[std::size_t(row * d.width + x)] != pixelOf(background)) return false;
    return true;
}

// A small picture of where two drawings differ: '.' same, 'o' only ours
// painted, 't' only theirs, 'x' both painted in different colours.
void show(const Drawn& a, const Drawn& b) {
    for (int y = 0; y < a.height; ++y) {
        std::string row;
        for (int x = 0; x < a.width; ++x) {
            std::uint32_t p = a.pixels[std::size_t(y * a.width + x)];
            std::uint32_t q = b.pixels[std::size_t(y * a.width + x)];
            std::uint32_t bg = pixelOf(background);
            row += p == q ? (p == bg ? '.' : '#') : q == bg ? 'o' : p == bg ? 't' : 'x';
        }
        std::printf("    %s\n", row.c_str());
    }
}

int compare(const char* oursPath, const char* theirsPath, bool verbose) {
    std::vector<Drawn> ours, theirs;
    if (!load(oursPath, ours) || !load(theirsPath, theirs)) return 2;
    if (ours.size() != theirs.size()) {
        std::fprintf(stderr, "rasterdiff: %zu cases against %zu\n", ours.size(), theirs.size());
        return 2;
    }
    std::map<std::string, RasterCase> cases;
    for (RasterCase& c : rasterCases()) cases[c.name] = c;
    struct Tally {
        int cases = 0, differing = 0, pixels = 0, explained = 0, masked = 0;
    };
    std::map<std::string, Tally> byKind;
    int unexplained = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const Drawn& a = ours[i];
        const Drawn& b = theirs[i];
        if (a.name != b.name || a.width != b.width || a.height != b.height) {
            std::fprintf(stderr, "rasterdiff: case %zu is %s here, %s there\n", i,
                         a.name.c_str(), b.name.c_str());
            return 2;
        }
        Tally& t = byKind[a.kind];
        std::vector<bool> masked(std::size_t(a.height), false);
        auto it = cases.find(a.name);
        if (it != cases.end())
            for (int row : it->second.endRows)
                if (row >= 0 && row < a.height && rowIsEmpty(a, row)) masked[std::size_t(row)] = true;
        int diff = 0;
        for (std::size_t k = 0; k < a.pixels.size(); ++k) {
            if (a.pixels[k] == b.pixels[k]) continue;
            if (masked[k / std::size_t(a.width)]) ++t.masked;
            else ++diff;
        }
        ++t.cases;
        if (diff == 0) continue;
        ++t.differing;
        t.pixels += diff;
        const KnownDifference* known = knownDifference(a.name);
        if (known && known->pixels == diff) {
            t.explained += diff;
            if (verbose) std::printf("%s: %d pixels, known: %s\n", a.name.c_str(), diff, known->why);
            continue;
        }
        ++unexplained;
        std::printf("%s: %d pixels differ%s\n", a.name.c_str(), diff,
                    known ? " (not the number known)" : "");
        show(a, b);
    }
    std::printf("%-10s %6s %10s %8s %10s %8s\n", "kind", "cases", "differing", "pixels",
                "explained", "masked");
    for (auto& [kind, t] : byKind)
        std::printf("%-10s %6d %10d %8d %10d %8d\n", kind.c_str(), t.cases, t.differing, t.pixels,
                    t.explained, t.masked);
    std::printf("%d unexplained differences\n", unexplained);
    return unexplained == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "draw") == 0) return draw(argv[2]);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "compare") == 0)
        return compare(argv[2], argv[3], argc == 5 && std::strcmp(argv[4], "-v") == 0);
    std::fprintf(stderr, "usage: rasterdiff draw FILE\n"
                         "       rasterdiff compare OURS THEIRS [-v]\n");
    return 2;
}
