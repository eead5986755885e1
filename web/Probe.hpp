#pragma once

// What the page and its browser tests ask the game through Module._dazozi_probe(what, index).
// The numbers travel between C++, page.js (its Probe table) and tests/web/pagedriver.py (its
// Probe class); tests/web/probe_codes.py checks that the three tables agree, so a code is
// changed in all three or in none.
enum class Probe {
    Balls = 0,         // balls alive
    BallX = 1,         // ball `index`'s x in level pixels
    BallY = 2,         // ball `index`'s y in level pixels
    PlayerX = 3,       // the player's x in level pixels
    PlayerY = 4,       // the player's y in level pixels
    ScrollX = 5,       // the view's horizontal scroll
    Debug = 6,         // the debug view: 1 on, -1 off
    KeyDown = 7,       // KeyDown(index) as the game reads it
    Kind = 8,          // the selected kind (0 none)
    Paused = 9,        // 1 or 0
    Help = 10,         // the help panel shown: 1 or 0
    Stars = 11,        // stars alive
    StarX = 12,        // star `index`'s x in level pixels
    StarY = 13,        // star `index`'s y in level pixels
    StaticShapes = 14, // the level's static shapes (edit mode changes them)
    Edit = 15,         // edit mode on: 1 or 0
    Settings = 16,     // the settings panel shown: 1 or 0
    Replaying = 17,    // a recording plays: 1 or 0
    SceneMenu = 18,    // the scene menu shown: 1 or 0
    ZoomStep = 19,     // the camera's zoom step, -8..8 (the zoom is 2^(step / 4))
    Following = 20,    // the view follows the player: 1 or 0
};
