// The undo history: steps made by comparing the image with the base, and
// applied back and forth by flipping the bytes they changed.
#include "editor/history.h"

#include <algorithm>

namespace {

// Unchanged stretches shorter than this stay inside a run: a run's offset and
// length cost 8 bytes, more than the few bytes between two fields changed.
constexpr std::size_t joinGap = 8;

historyStep difference(const std::vector<unsigned char>& from, const std::vector<unsigned char>& to,
                       const std::string& name) {
    historyStep s;
    s.name = name;
    const std::size_t n = std::min(from.size(), to.size());
    std::size_t i = 0;
    while (i < n) {
        if (from[i] == to[i]) {
            ++i;
            continue;
        }
        // A run from i to the last changed byte before a gap of joinGap.
        std::size_t end = i + 1, last = i;
        while (end < n && end - last <= joinGap) {
            if (from[end] != to[end]) last = end;
            ++end;
        }
        s.at.push_back(std::uint32_t(i));
        s.size.push_back(std::uint32_t(last + 1 - i));
        for (std::size_t k = i; k <= last; ++k) s.flips.push_back(from[k] ^ to[k]);
        i = last + 1;
    }
    s.at.shrink_to_fit();
    s.size.shrink_to_fit();
    s.flips.shrink_to_fit();
    return s;
}

void flip(const historyStep& s, std::vector<unsigned char>& image) {
    std::size_t f = 0;
    for (std::size_t r = 0; r < s.at.size(); ++r)
        for (std::uint32_t k = 0; k < s.size[r]; ++k, ++f)
            if (s.at[r] + k < image.size() && f < s.flips.size()) image[s.at[r] + k] ^= s.flips[f];
}

} // namespace

std::size_t stepBytes(const historyStep& s) {
    return sizeof s + s.name.capacity() + s.flips.capacity() +
           (s.at.capacity() + s.size.capacity()) * sizeof(std::uint32_t);
}

void historyReset(history& h, const std::vector<unsigned char>& image) {
    h = history{};
    h.base = image;
}

bool historyCommit(history& h, const std::vector<unsigned char>& image, const std::string& name) {
    if (h.base.size() != image.size()) {
        historyReset(h, image);
        return false;
    }
    if (h.base == image) return false;
    while (h.steps.size() > h.done) {
        h.bytes -= stepBytes(h.steps.back());
        h.steps.pop_back();
    }
    h.steps.push_back(difference(h.base, image, name));
    h.bytes += stepBytes(h.steps.back());
    h.done = h.steps.size();
    h.base = image;
    while (h.bytes > historyBudget && h.steps.size() > 1) {
        h.bytes -= stepBytes(h.steps.front());
        h.steps.pop_front();
        --h.done;
    }
    return true;
}

std::string historyUndo(history& h, std::vector<unsigned char>& image) {
    if (h.done == 0 || image.size() != h.base.size()) return "";
    const historyStep& s = h.steps[--h.done];
    flip(s, image);
    h.base = image;
    return s.name;
}

std::string historyRedo(history& h, std::vector<unsigned char>& image) {
    if (h.done >= h.steps.size() || image.size() != h.base.size()) return "";
    const historyStep& s = h.steps[h.done++];
    flip(s, image);
    h.base = image;
    return s.name;
}
