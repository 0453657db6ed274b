// Where the settings file lives, and reading and writing it whole.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "mission/safe_write.h"
#include "settings/settings.h"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string settingsFilePath() {
#if defined(_WIN32)
    const std::string appData = environment("APPDATA");
    return appData.empty() ? "" : appData + "\\Korvane\\settings.toml";
#else
    const std::string config = environment("XDG_CONFIG_HOME");
    if (!config.empty() && config[0] == '/') return config + "/korvane/settings.toml";
    const std::string home = environment("HOME");
    return home.empty() ? "" : home + "/.config/korvane/settings.toml";
#endif
}

bool readSettingsFile(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    // Past the largest file parseSettings takes, one byte more is enough for
    // it to say so (and a device such as /dev/zero is never read for ever).
    char buffer[8192];
    std::size_t n;
    while (text.size() <= maxSettingsSize && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) text.clear();
    return ok;
}

bool writeSettingsFile(const std::string& path, const std::string& text, std::string& error) {
    error.clear();
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot make the folder " + folder.string() + ": " + ec.message();
        return false;
    }
    if (!writeFileSafely(path.c_str(), std::vector<unsigned char>(text.begin(), text.end()))) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool loadSettingsFile(std::string& text, std::string& where) {
    where = settingsFilePath();
    return !where.empty() && readSettingsFile(where, text);
}

bool saveSettingsFile(const std::string& text, std::string& error) {
    const std::string path = settingsFilePath();
    if (path.empty()) {
        error = "no folder for the settings is known (neither a configuration folder nor a home "
                "is set)";
        return false;
    }
    return writeSettingsFile(path, text, error);
}
