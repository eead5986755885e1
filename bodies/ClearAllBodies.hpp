#pragma once

// Releases every machine joint, then every live instance of every body class and their physics
// objects, and puts each class's live list back to Null: a clean slate for tests, tools and
// benchmarks.
void ClearAllBodies();
