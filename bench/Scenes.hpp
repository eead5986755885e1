#pragma once

// Builds the benchmark scenes in the running game: bodies of every kind spawned across the
// level with the parameters the controller uses, then left to settle.

#include "physics/CPVect.hpp"

// Population of the three free kinds (balls, cubes and stars) currently listed.
int FreeBodies();
// Spawns one body of the controller's kind 1..8 at world point p (kind 8 ties to the newest
// star, as the controller does).
void SpawnOfKind(int kind, CPVect p);
// The ten squids and ten chains (kinds 6 and 7 in turn) of the populated scenes.
void SpawnSquidsAndChains();
// Spawns balls, cubes and stars (2:2:1) until `target` are listed, in waves across the top of
// the level, running `frame` between waves; then runs it `settleFrames` more times. Bodies
// that drain out of the level are replaced for a few rounds. Returns the frames run. With
// `spawn` and `count`, bodies of another make are spawned and counted instead.
int FillTo(int target, void (*frame)(), int settleFrames, void (*spawn)(CPVect) = nullptr,
           int (*count)() = FreeBodies);
// The sleeping bench's level: the foreground's collision outlines replaced by a rack (the tiles
// stay as drawn): shelves every four rows, the bottom closed, walls at both ends and halfway,
// and a bin around the player squid's start kept empty. Balls, cubes and stars (2:2:1), or
// balls alone with `ballsOnly`, are put on the shelves three deep, side by side, until
// `target` are listed; then `frame` runs `settleFrames` times. Returns how many were placed
// (fewer when the rack is full: about 1,510 on the level's 32 rows, 195 more a shelf).
int FillRack(int target, void (*frame)(), int settleFrames, bool ballsOnly = false);
// Adds `rows` empty rows (no tiles, no outlines) under the foreground's map, as the level's
// loader builds it (same space settings): room for a taller rack. Called from the level's Load.
void AddEmptyRows(int rows);
// The machine joints' bench: bridges of cubes hinged edge to edge (their ends hinged to the
// level) in rows across the upper air, then cradles of balls each hung from the level by two
// ropes, until `target` joints are made or the air is full. Returns how many were made.
int BuildMachines(int target);
