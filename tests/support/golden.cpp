// Comparing a drawing with its golden PNG, and rewriting the golden on request.
#include "support/golden.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

#include "ports/headless/headless.h"
#include "support/png_read.h"

namespace {

constexpr int kListed = 8; // differing pixels named in a failure message

bool updating() {
    const char* flag = std::getenv("KORVANE_UPDATE_GOLDEN");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

bool plainName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

std::string hex(std::uint32_t pixel) {
    char text[16];
    std::snprintf(text, sizeof text, "%06x", unsigned(pixel));
    return text;
}

// Saves what was drawn next to the build and says where, or why it could not.
std::string saveActual(const Surface& s, const std::string& name) {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    if (ec) dir = ".";
    const std::string path = (dir / (name + ".actual.png")).string();
    std::string error;
    if (!writePng(path, s.pixels, s.width, s.height, error))
        return "; the picture drawn could not be saved: " + error;
    return "; the picture drawn is saved as " + path;
}

} // namespace

::testing::AssertionResult matchesGolden(const Surface& s, const std::string& name) {
    if (!plainName(name))
        return ::testing::AssertionFailure()
               << "golden name '" << name
               << "' is not a plain file name (letters, digits, '_', '-', '.')";
    if (s.pixels == nullptr || s.width < 1 || s.height < 1)
        return ::testing::AssertionFailure()
               << "golden '" << name << "': the surface has no pixels (" << s.width << "x"
               << s.height << ")";

    const std::string golden = std::string(KORVANE_GOLDEN_DIR) + "/" + name + ".png";
    if (updating()) {
        std::string error;
        if (!writePng(golden, s.pixels, s.width, s.height, error))
            return ::testing::AssertionFailure() << "cannot update golden: " << error;
        return ::testing::AssertionSuccess() << "wrote " << golden;
    }

    std::vector<std::uint32_t> want;
    int width = 0, height = 0;
    if (!readPng(golden, want, width, height))
        return ::testing::AssertionFailure()
               << golden << " is missing or not a readable PNG (run with "
               << "KORVANE_UPDATE_GOLDEN=1 to create it)" << saveActual(s, name);
    if (width != s.width || height != s.height)
        return ::testing::AssertionFailure()
               << golden << " is " << width << "x" << height << " but the picture drawn is "
               << s.width << "x" << s.height << saveActual(s, name);

    // A PNG holds red, green and blue only, so the unused top byte is not compared.
    long long differing = 0;
    std::ostringstream first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            const std::uint32_t got = s.pixels[i] & 0xffffff;
            if (got == want[i]) continue;
            if (differing < kListed)
                first << (differing == 0 ? " " : ", ") << "(" << x << "," << y << ") " << hex(got)
                      << " vs " << hex(want[i]);
            ++differing;
        }
    }
    if (differing == 0) {
        // A picture left over from an earlier failure would only mislead.
        std::error_code ec;
        std::filesystem::remove(name + ".actual.png", ec);
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << differing << " of " << (long long)width * height << " pixels differ from " << golden
           << "; first differences at (x,y), drawn vs golden RRGGBB:" << first.str()
           << saveActual(s, name);
}
