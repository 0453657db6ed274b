// The simulation: the ship step, the frags (shots, sparks, bits, flashes,
// debris) with the hits they make, and parts breaking off.
//
// The random sequence (this is the home of its rules; render/render.h adds
// the drawing side, HACKING.md sums them up). All chance in the game is the C
// library's rand, seeded once by gameStart (app/frame_loop.cpp). The same seed,
// window size, frame times and input give the same numbers in the same order,
// so the same game bit for bit: recordings and the golden traces rest on it.
// Who draws, in the order of a frame (app/driver.cpp, app/play.cpp):
//   the first frame: the driver's lone Base (a new ship draws its heading,
//     references and design variant: model.h), then the star field's 1500;
//   menu and start screens: the flames of every live ship's lit engines;
//   the editor: its ships' flames, a new random template (editor/tools.cpp);
//   play, ship by ship in slot order: setTargets and thinkShip (ai/: a probe,
//     route points, mind choices), actShip (gun reload jitter, repair's slot
//     and flash), then its drawing (flames); a dead ship coming back, its drift;
//   then frag by frag in slot order, actFrags: hits (spin, damage), the
//     explosions, bits and debris they make.
// Sound has a generator of its own and never calls rand.
// So: a call that draws (rand, randFraction, rndvec2, rndnrm2, a ship or frag
// constructor, a drawing with flames) is never moved, skipped or added. New
// code (menus, settings, overlays, tools) never calls one. A change that moves
// a golden trace changed this sequence or the state: a fault to find, or a
// change of behaviour that its commit names, with the traces re-recorded
// (tools/traces.sh rewrite BUILD).
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "gdi/gdi.h"

// The lowest free frag slot (life <= 0), or 0 when every slot is in use.
int findFrag(frag* frags);

// An explosion at pos moving with vel: size 0 for a hit, 1 for a lost part.
void fragBang(vec2 pos, vec2 vel, frag* frags, int size);

// Steps frag j and draws it (unless noDraw) with the scene's camera and zoom;
// shots hit the parts of ships here.
void actFrags(HDC hdc, float dt, vec2 cam, float zoom, ship* ships, frag* frags, int j,
              bool noDraw);

// Part k of s has just been destroyed at world point wpos: it breaks off with
// everything that hangs on it, depth first.
void killPart(ship& s, int k, vec2 wpos, frag* frags);

// One step of ship i under its control flags.
void actShip(ship* ships, int i, frag* frags, bool thrust, bool turnRight, bool turnLeft,
             bool fire, bool repair, float dt);
