// Sound: the battle heard, synthesised by the game itself. The game tells this
// module what happened and where; it mixes 48 kHz 16-bit stereo that the frame
// loop hands to the platform's sound device (or, headless, to a WAV file).
// Nothing here is read by the game's rules, and it draws its own random
// numbers: a run with sound plays exactly as one without.
#pragma once

#include <cstdint>

#include "geom/vec2.h"

constexpr int soundRate = 48000;  // sample frames a second
constexpr int soundVoices = 32;   // sounds at once; a new one takes the quietest's voice

// The sounds that start on an event.
enum soundKind {
    soundShot0, // a shot of each gun row
    soundShot1,
    soundShot2,
    soundHit,       // a shot striking a ship: the spark
    soundPartLost,  // a part broken off
    soundDestroyed, // a ship destroyed
    soundRespawn,   // a ship back at its base
    soundMenuMove,
    soundMenuChoose,
    soundKey, // a key typed in the name and message editors
    soundWon,
    soundFailed,
    soundKindCount
};

// Where sounds in play are heard from: the play frame's camera, zoom and
// window size. A sound at the screen's centre is loudest; it fades with its
// distance on screen and is not heard from two half-screens away; its side
// on screen pans it.
void soundListener(vec2 cam, float zom, int width, int height);

// Events. In play, at a world point; on the screens, at the centre.
void soundAt(int kind, vec2 world);
void soundPlain(int kind);
// What goes on while it lasts, told each frame: engines burning (their power
// in use, 0..) and repair at work, summed into a hum and a warble.
void soundEngine(vec2 world, float power);
void soundRepair(vec2 world);

// The mixer, for the frame loop and the platform.
void soundStart();                 // make the mixer ready: events start sounds from now on
bool soundStarted();
void soundSetOn(bool on);          // F2: off is silence, and events are not even placed
bool soundOn();
void soundSetVolume(int percent);  // 0..100
// Once a frame, after the game's frame: what went on in it (engines, repair)
// sets the levels of the hum and the warble.
void soundFrame();
// Mixes `frames` stereo sample frames (2 x frames values) into out, going on
// from the last call: sounds begun since then start at its beginning.
void soundMix(std::int16_t* out, int frames);

// How many sounds of each kind were told since the start (heard or not), for tests.
struct soundTally {
    int told[soundKindCount] = {};
    int engineFrames = 0; // frames with engines burning
    int repairFrames = 0; // frames with repair at work
};
soundTally soundCounts();
