// The play frame: the player's keys or the computer minds steer every ship,
// each ship is stepped and drawn (or marked on the radar) in slot order, the
// frags fly, destroyed ships come back at their bases, and the objectives
// decide the mission.
#include "app/play.h"

#include "ai/ai.h"
#include "app/app.h"
#include "draw/draw.h"
#include "platform/system.h"
#include "render/render.h"
#include "sim/sim.h"
#include "sound/sound.h"

namespace {

constexpr double radarRange = 3000;

// The screen centre and the radar's radius in pixels.
struct Radar {
    vec2 c;
    double R;
};

// The player's keys for the ship `you`, with repair and autopilot. Status
// lines go below the text cursor.
void pilotShip(HDC hdc, const PlayState& s, vec2& cursor, bool& thrust, bool& turnRight,
               bool& turnLeft, bool& fire, bool& repair, bool& brake) {
    float right = float(workRes(true, 1, 0));
    ship& own = s.a[s.you];
    setLine(hdc, 0, 1, textColour);
    thrust = key(VK_UP);
    turnRight = key(VK_RIGHT);
    turnLeft = key(VK_LEFT);
    fire = key(VK_SHIFT);
    brake = key(VK_DOWN);
    if (key(VK_NUMPAD0)) own.target = own.nearEnemy;
    if (key('R')) s.autr = true;
    if (key('A')) s.autp = true;
    // Steering or firing cancels repair and autopilot; braking does not.
    if (thrust || turnRight || turnLeft || fire) s.autr = false, s.autp = false;

    if (s.autr) {
        repair = true;
        cursor = drawText(hdc, cursor, 10, right, 2, "Repairing\n");
        // Repair goes on frame after frame while any part is below full health.
        s.autr = false;
        for (const part& p : own.parts) {
            if (p.kind != kindNone && p.health < getatt(p.kind, p.index, attrHealth)) {
                s.autr = true;
                break;
            }
        }
    }
    if (s.autp) {
        autoPilot(s.a, s.you, thrust, turnRight, turnLeft);
        cursor = drawText(hdc, cursor, 10, right, 2, "Autopilot on\n");
    }
    if (!turnRight && !turnLeft) fixShip(s.a, s.you, turnRight, turnLeft);
    endLine(hdc);
}

// The side whose colour marks a ship of side `side` on the radar, a friend of
// the player's ship or not: under the game's palette friends are green and
// the others red, whatever the sides; under the others each ship shows its
// own side's colour, as it does in the scene.
int radarSide(int side, bool friendly) {
    if (sidePalette() == paletteGame) return friendly ? sideGreen : sideRed;
    return side;
}

// Ship i's mark on the radar, placed relative to the player's ship. The rings
// of its target, leader and home base are red, green and blue, each the
// colour of the side of its channel.
void radarMark(HDC hdc, const PlayState& s, int i, const Radar& radar) {
    const ship& own = s.a[s.you];
    const ship& sh = s.a[i];
    double d = retdis2(own.pos, sh.pos);
    if (!(d < radarRange)) return;
    vec2 p = radar.c + retnrm2(own.pos, sh.pos) * (d / radarRange * radar.R) + sh.dir * 0.75;
    double r = sh.radius * 0.04 + 3;
    if (i != s.you) {
        if (i == own.target)
            drawCirc(hdc, p, r, sideColour(sideRed, 255), sideColour(sideRed, 100));
        if (i == own.leader)
            drawCirc(hdc, p, r, sideColour(sideGreen, 255), sideColour(sideGreen, 100));
        if (i == own.homeBase)
            drawCirc(hdc, p, r, addColours(sideColour(sideBlue, 255), sideColour(sideGreen, 100)),
                     sideColour(sideBlue, 100));
    }
    const bool friendly = sh.side == own.side;
    const int shown = radarSide(sh.side, friendly);
    if (friendly)
        drawCirc(hdc, p, sh.radius * 0.04 + 1, sideColour(shown, 100), sideColour(shown, 200));
    else
        drawCirc(hdc, p, sh.radius * 0.04 + 1, sideColour(shown, 125), sideColour(shown, 225));
}

// Ship i in the scene: its parts, or its symbol at far zoom, when it lies
// within 800 pixels of the screen centre along both axes.
void sceneShip(HDC hdc, const PlayState& s, int i, const Radar& radar) {
    const ship& sh = s.a[i];
    vec2 reach = vec2(800, 800) / s.zom;
    if (!inbox(sh.pos, s.cam * -1 - reach, s.cam * -1 + reach)) return;
    vec2 at = (sh.pos + s.cam) * s.zom + radar.c;
    if (s.zom > 0.2f)
        drawShip(hdc, sh, at, s.zom);
    else
        drawSymbol(hdc, sh, at);
}

// One turn of live ship i: steer, step, and draw.
void liveShip(HDC hdc, const PlayState& s, int i, vec2& cursor, const Radar& radar, bool radarOn,
              float t) {
    setTargets(s.a, i);
    bool thrust = false, turnRight = false, turnLeft = false, fire = false, repair = false,
         brake = false;
    if (i == s.you && s.aliv)
        pilotShip(hdc, s, cursor, thrust, turnRight, turnLeft, fire, repair, brake);
    else
        thinkShip(s.a, i, thrust, turnRight, turnLeft, fire, repair, brake, t);
    if (brake) breakShip(s.a, i, thrust, turnRight, turnLeft, t);
    actShip(s.a, i, s.b, thrust, turnRight, turnLeft, fire, repair, t);

    const ship& sh = s.a[i];
    if (i == s.you) {
        if (!radarOn) drawTargets(hdc, s.a, s.you, s.cam, s.zom);
        int target = shipRef(sh.target, i);
        if (target != i) drawStat(hdc, s.a[target], false);
        drawStat(hdc, sh, true);
    }
    if (radarOn)
        radarMark(hdc, s, i, radar);
    else
        sceneShip(hdc, s, i, radar);
}

} // namespace

vec2 screenOf(vec2 p, vec2 cam, float zom) {
    vec2 centre(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2);
    return (p + cam) * zom + centre;
}

void respawnShip(ship& s, vec2 at) {
    s.pos = at;
    s.vel = rndvec2();
    s.spin = 0;
    s.alive = true;
    soundAt(soundRespawn, at);
    // Parts that carry others come back barely whole, so the frame stands.
    for (int k = 0; k < partSlots; ++k) {
        if (s.parts[k].kind == kindNone) continue;
        for (int m = 0; m < partSlots; ++m) {
            if (m != k && s.parts[m].kind != kindNone && s.parts[m].parent == k) {
                s.parts[k].health = 0.1f;
                break;
            }
        }
    }
}

void playFrame(HDC hdc, const PlayState& s, float t) {
    vec2 cursor(10, 10);
    int w = workRes(true, 1, 0), h = workRes(true, 0, 0);
    Radar radar{vec2(w / 2, h / 2), h * 0.4};
    bool noDestroy = true, noDefend = true;

    // The view follows one frame's motion ahead of the player's ship; its
    // loss for good ends the mission.
    const ship& own = s.a[s.you];
    if (own.alive && own.side == s.sid) {
        s.cam = (own.pos + own.vel * t) * -1;
    } else if (own.respawns == 0 || !s.a[shipRef(own.homeBase, s.you)].alive) {
        s.mode = modeLost;
        soundPlain(soundFailed);
        return;
    }

    if (key('C')) s.aliv = true, s.autr = false, s.autp = true;
    if (key('X')) s.aliv = false;

    if (!s.aliv) {
        setLine(hdc, 0, 1, textColour);
        cursor =
            drawText(hdc, cursor, 10, float(w), 2, "Spectator mode - press C to take control\n");
        endLine(hdc);
        if (key(VK_ADD)) s.zom = s.zom * (1 + t);
        if (key(VK_SUBTRACT)) s.zom = s.zom / (1 + t);
        if (key(VK_BACK)) s.zom = defaultZoom(w);
    } else {
        s.zom = defaultZoom(w);
    }

    soundListener(s.cam, s.zom, w, h);

    bool radarOn = key(VK_TAB);
    if (radarOn) {
        drawCirc(hdc, radar.c, radar.R, 0xff9600, 0x321900);
        if (own.leader == s.you) {
            double d = retdis2(own.pos, own.waypoint);
            if (d < radarRange) {
                vec2 p = radar.c + retnrm2(own.pos, own.waypoint) * (d / radarRange * radar.R);
                drawBox(hdc, p - 3, p + 3, 0xff6400);
            }
        }
    }

    for (int i = 0; i < shipCount; ++i) {
        ship& sh = s.a[i];
        if (sh.alive) {
            // Objectives count a ship only when the loop finds it alive.
            if (sh.objective == objDestroy) noDestroy = false;
            if (sh.objective == objDefend) noDefend = false;
            liveShip(hdc, s, i, cursor, radar, radarOn, t);
            continue;
        }
        const ship& base = s.a[shipRef(sh.homeBase, i)];
        if (sh.respawns != 0 && base.alive) {
            respawnShip(sh, base.pos);
            if (sh.respawns != respawnUnlimited) sh.respawns--;
            if (i == s.you) s.autr = true;
        }
    }

    float z = radarOn ? 0 : s.zom;
    for (int j = 0; j < fragCount; ++j)
        if (s.b[j].life > 0) actFrags(hdc, t, s.cam, z, s.a, s.b, j, false);

    if (noDefend) {
        s.mode = modeLost;
        soundPlain(soundFailed);
    } else if (noDestroy) {
        s.mode = modeWon;
        soundPlain(soundWon);
    }
}
