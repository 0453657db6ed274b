// The frags: their two typed constructors, the free-slot search, explosions,
// and the per-frame step and drawing of every type, with the shots' hits on
// the parts of ships.
#include <cmath>
#include <cstdlib>

#include "draw/draw.h"
#include "frame/frame.h"
#include "render/render.h"
#include "sim/sim.h"
#include "sim/sim_internal.h"
#include "sound/sound.h"

// The vectors start at (0, 0); only the types below set anything else.
frag::frag(vec2 pos, vec2 vel, int type) : pos(pos), vel(vel) {
    if (type >= fragShot && type <= 2) {
        this->type = type;
        life = 4.0f;
    } else if (type == fragSpark) {
        this->type = type;
        life = 2.0f;
    } else if (type == fragBit) {
        this->type = type;
        life = 2.0f;
        dir = rndnrm2(); // the direction's rand call comes before the spin's
        spin = float(randFraction() * 10 - 5);
    }
    // Any other type leaves type and life at 0: the frag is a free slot.
}

frag::frag(vec2 pos, vec2 vel, int type, int c, int d) : pos(pos), vel(vel) {
    if (type == fragFlash) {
        this->type = type;
        life = c == 1 ? 0.8f : 0.3f;
    } else if (type == fragDebris) {
        this->type = type;
        partKind = c;
        partIndex = d;
        // Three rand calls, in this order: direction, spin, life.
        dir = rndnrm2();
        spin = float(randFraction() * 5 - 2.5);
        life = float(randFraction() * 2 + 3);
    }
}

int findFrag(frag* frags) {
    for (int j = 0; j < fragCount; ++j)
        if (frags[j].life <= 0) return j;
    return 0; // every slot in use: the newest frag replaces frag 0
}

void putFrag(frag* frags, const frag& f) { frags[findFrag(frags)] = f; }

void fragBang(vec2 pos, vec2 vel, frag* frags, int size) {
    const bool large = size != 0;
    putFrag(frags, frag(pos, vec2(0, 0), fragFlash, large ? 1 : 0, 0));
    for (int k = 0; k < 4; ++k) putFrag(frags, frag(pos, vel + rndvec2() * 100, fragSpark));
    for (int k = 0, bits = large ? 4 : 1; k < bits; ++k)
        putFrag(frags, frag(pos, vel + rndvec2() * 100, fragBit));
}

namespace {

// The drawn radius of a shot of each gun row; it also scales the knock of a hit.
constexpr double shotSize[3] = {1.5, 2.5, 4};

COLORREF red(int b) { return COLORREF(b); }
COLORREF yellow(int b) { return COLORREF(b + 256 * b); }
COLORREF grey(int b) { return COLORREF(b * 0x010101); }
// A brightness 0..1 as a colour level, kept to its low 8 bits.
int level(double intensity) { return truncCoord(255 * intensity) & 0xff; }

struct View {
    vec2 centre, cam;
    float zoom;
    vec2 operator()(vec2 p) const { return centre + (p + cam) * zoom; }
};

// The mass a hit divides by. Our rule: a ship read from a file may carry any
// mass until its first step sums it up from its parts; a mass that is not
// finite or too small to divide by is replaced by that sum. No ship made of
// parts weighs less than its lightest part (0.1), so in play the stored mass
// is always used. Returns 0 when the live parts weigh nothing.
double hitMass(const ship& s) {
    if (std::isfinite(s.mass) && s.mass >= 0.001f) return s.mass;
    float m = 0;
    for (const part& p : s.parts)
        if (livePart(p)) m += getatt(p.kind, p.index, attrHealth);
    return m;
}

// The hit test of one shot against one ship: the live part whose centre is
// nearest to p0 among those this step's path p0..p1 comes close enough to.
// Returns the slot, or -1 when no part is hit.
int hitPart(const ship& s, vec2 p0, vec2 p1, vec2& centre, vec2& nearest) {
    int best = -1;
    double bestDistance = 1000; // a centre this far from p0 never wins
    for (int k = 0; k < partSlots; ++k) {
        const part& p = s.parts[k];
        if (!livePart(p)) continue;
        const vec2 w = retvec2(s.pos, s.dir, p.pos);
        const vec2 q = retcpnt2(p0, p1, w);
        if (!(retdis2(q, w) < getatt(p.kind, p.index, attrSize))) continue;
        const double d = retdis2(p0, w);
        if (d < bestDistance) { // ties keep the earlier slot
            bestDistance = d;
            best = k;
            centre = w;
            nearest = q;
        }
    }
    return best;
}

// Shot f hits part h of s at path point q (the part's centre w).
void applyHit(ship& s, int h, vec2 w, vec2 q, frag& f, frag* frags) {
    const double k = shotSize[f.type];
    f.life = 0;
    const double spinPush = randFraction() - 0.5; // the spin's rand call comes first
    const double m = hitMass(s);
    if (m != 0) {
        s.spin += spinPush / m * k * 7.5;
        s.vel = s.vel + ((f.vel - s.vel) / m * 0.1) * k;
    }
    part& p = s.parts[h];
    p.health -= randFraction() * (f.type * 1.5 + 1);
    fragBang(q, s.vel, frags, 0);
    soundAt(soundHit, q);
    if (p.health <= 0) killPart(s, h, w, frags);
}

void actShot(const View& at, HDC hdc, float dt, ship* ships, frag* frags, frag& f, bool draw) {
    const double k = shotSize[f.type];
    const vec2 p0 = f.pos;
    f.pos = f.pos + f.vel * dt;
    f.life -= dt;
    if (f.life > 3.9) { // arming: the first 0.1 s of a shot hits nothing
        if (draw) {
            drawCirc(hdc, at(f.pos), k * at.zoom, 0x00ffff, 0x00ffff);
            drawLine(hdc, at(f.pos), at(f.pos - f.vel * 0.02), 0x00ffff);
        }
        return;
    }
    if (f.life <= 0) return;
    for (int i = 0; i < shipCount; ++i) {
        ship& s = ships[i];
        if (!s.alive) continue;
        if (!(retdis2(f.pos, s.pos) < s.radius)) continue;
        vec2 w, q;
        const int h = hitPart(s, p0, f.pos, w, q);
        if (h < 0) continue; // inside the ship's reach but past its parts
        applyHit(s, h, w, q, f, frags);
        return;
    }
    if (draw) {
        const int b = level(f.life / 3.9 * 0.8 + 0.2);
        drawCirc(hdc, at(f.pos), k * at.zoom, red(b), yellow(b));
        drawLine(hdc, at(f.pos), at(f.pos - f.vel * 0.02), red(b));
    }
}

} // namespace

void actFrags(HDC hdc, float dt, vec2 cam, float zoom, ship* ships, frag* frags, int j,
              bool noDraw) {
    if (j < 0 || j >= fragCount) return;
    frag& f = frags[j];
    const View at{vec2(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2), cam, zoom};
    const bool draw = !noDraw;
    switch (f.type) {
    case 0:
    case 1:
    case 2:
        actShot(at, hdc, dt, ships, frags, f, draw);
        break;
    case fragSpark:
        f.life -= dt;
        f.pos = f.pos + f.vel * dt;
        if (f.life > 0 && draw) {
            const int b = level(f.life / 2 * 0.8 + 0.2);
            drawCirc(hdc, at(f.pos), 1.5 * zoom, red(b), yellow(b));
            drawPixl(hdc, at(f.pos), yellow(b));
        }
        break;
    case fragBit:
        f.life -= dt;
        f.pos = f.pos + f.vel * dt;
        f.dir = retrot2(f.dir, f.spin * dt);
        if (f.life > 0 && draw) drawbit(hdc, at(f.pos), f.dir, zoom, f.life / 2 * 0.8f + 0.2f);
        break;
    case fragFlash: {
        f.life -= dt;
        double intensity = 1;
        if (f.life > 0.3) {
            f.life -= 2 * dt; // a large flash burns down three times as fast to 0.3 s
        } else {
            intensity = f.life / 0.3;
        }
        if (draw) {
            const int b = level(intensity);
            drawCirc(hdc, at(f.pos), 25 * f.life * zoom, grey(b), grey(b));
        }
        break;
    }
    case fragDebris: {
        f.life -= dt;
        f.pos = f.pos + f.vel * dt;
        f.dir = retrot2(f.dir, f.spin * dt);
        const float shade = f.life > 3 ? 1 : f.life / 3;
        if (draw)
            drawPart(hdc, at(f.pos), f.dir, zoom, f.partKind, f.partIndex, false, colourFading,
                     shade);
        break;
    }
    default:
        break; // not a frag type: nothing
    }
}
