// The part attribute tables and their one lookup, getatt.
#include "model/model.h"

namespace {

constexpr int hullRows = 8, engineRows = 2, gunRows = 3;

} // namespace

int tableRows(int kind) {
    switch (kind) {
    case kindHull:
        return hullRows;
    case kindEngine:
        return engineRows;
    case kindGun:
        return gunRows;
    default:
        return 0;
    }
}

float getatt(int kind, int index, int attr) {
    // Columns: health, power, reload, size.
    static const float hul[hullRows][4] = {
        {1.0f, 1.0f, 0, 10}, // Light Fighter cockpit
        {0.2f, 0.5f, 0, 5},  // core plate of the fighters and the Transport
        {2.0f, 3.0f, 0, 12}, // Medium and Heavy Fighter cockpit, Transport bow and stern
        {0.8f, 2.0f, 0, 10}, // Base corners, Heavy Fighter middle plate
        {2.5f, 4.0f, 0, 12}, // Base sides, Transport sections
        {6.0f, 0.0f, 0, 16}, // Base outer armour, Transport side panels
        {2.0f, 3.0f, 0, 24}, // Base core
        {0, 0, 0, 0},        // unused
    };
    static const float eng[engineRows][4] = {
        {0.5f, 0.5f, 0, 6},
        {1.0f, 0.8f, 0, 8},
    };
    static const float gun[gunRows][4] = {
        {0.1f, 1.0f, 0.4f, 2},
        {0.2f, 2.0f, 0.5f, 3},
        {0.4f, 4.0f, 0.7f, 4},
    };

    if (kind < kindHull || kind > kindGun) return 0; // an empty slot
    static const float (*const tables[])[4] = {hul, eng, gun};
    // Our rule: a row or column outside the table reads as 0. Parts come from
    // mission files too, and a file can hold any kind and index.
    if (index < 0 || index >= tableRows(kind) || attr < 0 || attr >= 4) return 0;
    return tables[kind - kindHull][index][attr];
}
