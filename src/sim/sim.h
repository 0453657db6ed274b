// The simulation: the ship step, the frags (shots, sparks, bits, flashes,
// debris) with the hits they make, and parts breaking off.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "platform/gdi.h"

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
