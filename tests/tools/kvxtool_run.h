// Running kvxtool as a process from the tests, in a scratch directory of the
// test's own, with its exit status and both outputs. Header-only.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "mission/mission_file.h"
#include "support/process.h"

namespace kvxtest {

using ToolRun = ProcessRun;

// The lines of a text, without their line ends.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> v;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        v.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return v;
}

// A fresh directory for one test, removed afterwards, where kvxtool runs.
class Scratch : public ScratchDir {
public:
    Scratch() : ScratchDir("korvane-kvxtool") {}

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path() / name, std::ios::binary) << text;
    }
    void write(const std::string& name, Mission& m) const {
        writeBytes(path() / name, missionBytes(m.refs()));
    }

    // kvxtool with the arguments, run in this directory.
    ToolRun run(const std::vector<std::string>& args) const {
        std::vector<std::string> all = {KORVANE_KVXTOOL};
        all.insert(all.end(), args.begin(), args.end());
        return runIn(path(), all);
    }
};

} // namespace kvxtest
