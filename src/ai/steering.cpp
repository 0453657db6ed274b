// The steering helpers: they turn a wish (reach a point, stop, stop turning)
// into control flags. They only read the ship, except that braking at very
// low speed takes the last of the motion away directly.
#include "ai/ai.h"

namespace {

// The turn towards a point: ahead and aside are the point's direction along
// the heading and along the side turnRight turns to; predicted is the turn
// the ship's spin will still make, so a ship already turning fast enough
// towards the point is turned the other way in time.
void turnTowards(double ahead, double aside, double predicted, bool& turnRight, bool& turnLeft) {
    if (aside > 0) {
        if (aside > predicted || ahead < 0)
            turnRight = true;
        else
            turnLeft = true;
    }
    if (aside < 0) {
        if (aside < predicted || ahead < 0)
            turnLeft = true;
        else
            turnRight = true;
    }
}

} // namespace

void followThis(ship s, vec2 p, bool& thrust, bool& turnRight, bool& turnLeft, bool& fire,
                float align, float lead, bool mayFire) {
    const vec2 n = retnrm2(s.pos, p);
    const double ahead = retdot2(s.dir, n);
    const double aside = retdot2(retext2(s.dir), n);
    const double d = retdis2(s.pos, p);
    if (ahead > align && d > 30) thrust = true;
    if (mayFire && ahead > 0.99 && d < 500) fire = true;
    turnTowards(ahead, aside, s.spin * lead * s.mass, turnRight, turnLeft);
}

void breakShip(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft, float dt) {
    if (!ships || i < 0 || i >= shipCount) return;
    ship& s = ships[i];
    const vec2 t = s.pos - s.vel * 200; // a point behind the ship's motion
    const vec2 n = retnrm2(s.pos, t);
    const double ahead = retdot2(s.dir, n);
    const double aside = retdot2(retext2(s.dir), n);
    const double d = retdis2(s.pos, t);
    if (ahead > 0.98 && d > 500) {
        thrust = true;
    } else {
        thrust = false;
        // Speed 2.5 or less: the last of the motion is taken away directly. Our
        // rule: a frame time of exactly -1 would divide by zero, and does nothing.
        if (d <= 500 && dt + 1 != 0) s.vel = s.vel / (dt + 1);
    }
    turnRight = false;
    turnLeft = false;
    const double predicted = s.mass * s.spin * 0.3;
    if (aside > 0) {
        if (aside > predicted || ahead < 0)
            turnRight = true;
        else
            turnLeft = true;
    } else {
        if (aside < predicted || ahead < 0)
            turnLeft = true;
        else
            turnRight = true;
    }
}

void fixShip(ship* ships, int i, bool& turnRight, bool& turnLeft) {
    if (!ships || i < 0 || i >= shipCount) return;
    turnRight = ships[i].spin < 0;
    turnLeft = ships[i].spin > 0;
}

void autoPilot(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft) {
    if (!ships || i < 0 || i >= shipCount) return;
    const ship& s = ships[i];
    const int leader = shipRef(s.leader, i);
    bool fire = false; // the autopilot never fires
    if (leader == i) {
        const vec2 p = s.waypoint - s.vel * (s.mass * 1.4);
        followThis(s, p, thrust, turnRight, turnLeft, fire, 0.98f, 0.3f, false);
        return;
    }
    const ship& l = ships[leader];
    if (retdis2(s.pos, l.pos) > (s.radius + l.radius) * 1.5) {
        const vec2 p = l.pos + (l.vel - s.vel) * (s.mass * 1.5);
        followThis(s, p, thrust, turnRight, turnLeft, fire, 0.92f, 0.3f, false);
    }
}
