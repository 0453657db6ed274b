// Parts breaking off: a large explosion and a tumbling piece of debris for the
// lost part, then the same for everything that hangs on it, depth first.
#include "sim/sim.h"
#include "sim/sim_internal.h"
#include "sound/sound.h"

void killPart(ship& s, int k, vec2 wpos, frag* frags) {
    if (k < 0 || k >= partSlots) return; // not a slot: nothing breaks
    fragBang(wpos, s.vel, frags, 1);
    soundAt(soundPartLost, wpos);
    const part& lost = s.parts[k];
    putFrag(frags, frag(wpos, s.vel + rndvec2() * 50, fragDebris, lost.kind, lost.index));
    // A part is zeroed before its dependants are visited and only parts with
    // health are followed, so a ring of parents or a part hanging on itself
    // ends the chain.
    for (int j = 0; j < partSlots; ++j) {
        part& p = s.parts[j];
        if (!livePart(p) || p.parent != k) continue;
        p.health = 0;
        killPart(s, j, retvec2(s.pos, s.dir, p.pos), frags);
    }
}
