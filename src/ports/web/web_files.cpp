// The campaign put into the page's mission folders.
#include "ports/web/web_files.h"

#include <fstream>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The whole file, or nothing when it cannot be read.
bool readBytes(const fs::path& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

std::vector<std::string> campaignInto(const std::string& campaign, const std::string& folder) {
    std::vector<std::string> notes;
    std::error_code ec;
    const fs::path kept = fs::path(folder) / ".campaign";
    fs::create_directories(kept, ec);
    for (const fs::directory_entry& e : fs::directory_iterator(campaign, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("kvxmap.", 0) != 0) continue;
        std::vector<unsigned char> built, mine, copy;
        if (!readBytes(e.path(), built)) continue;
        const fs::path mission = fs::path(folder) / name;
        const bool have = readBytes(mission, mine);
        if (!have || (readBytes(kept / name, copy) && copy == mine)) {
            if (mine != built) writeBytes(mission.string(), built);
            writeBytes((kept / name).string(), built);
        } else if (mine != built) {
            notes.push_back("your own " + name + " is kept (the campaign's differs)");
        }
    }
    return notes;
}
