#include "world/TTileSet.hpp"

#include <cstdlib>

TTileSet::~TTileSet() = default;

void TTileSet::Init(std::string_view id, int tileW, int tileH, int overlap, int tileCount,
                    const IntGrid& sequences) {
    Identifier = std::string(id);
    TileW = tileW;
    TileH = tileH;
    Overlap = overlap;
    TileCount = tileCount;

    // The sheets are embedded under "data\img\<name>TileSet.png".
    std::string url = "incbin::data\\img\\";
    url += Identifier;
    url += "TileSet.png";
    TileSetImage = LoadAnimImage(url, TileW, TileH, 0, TileCount);

    Sequences = &sequences;
    TotalFrames.assign(sequences.size(), 0);
    for (std::size_t s = 0; s < sequences.size(); ++s) {
        const std::vector<int>& seq = sequences[s];
        // Only complete triples count; trailing elements are ignored.
        const std::size_t triples = seq.size() / 3;
        int total = 0;
        for (std::size_t i = 0; i < triples; ++i) {
            total += seq[i * 3 + 1];
        }
        TotalFrames[s] = total;
    }
}

int TTileSet::GetSequenceFrame(int tile, int time) {
    if (Sequences == nullptr || tile == 0) {
        return 0;
    }
    // Computed in 64 bits so that the most negative int has a magnitude too.
    const long long index = std::llabs(static_cast<long long>(tile)) - 1;
    if (index >= static_cast<long long>(Sequences->size()) ||
        index >= static_cast<long long>(TotalFrames.size())) {
        return 0;
    }
    const std::size_t s = static_cast<std::size_t>(index);
    const int total = TotalFrames[s];
    // A sequence without duration (the all-zero placeholder sequences) has no frame to show:
    // it reads as an empty cell instead of dividing by zero.
    if (total <= 0) {
        return 0;
    }
    int t = time % total;
    const std::vector<int>& seq = (*Sequences)[s];
    const std::size_t triples = seq.size() / 3;
    for (std::size_t i = 0; i < triples; ++i) {
        const int duration = seq[i * 3 + 1];
        if (t < duration) {
            return seq[i * 3];
        }
        t -= duration;
    }
    // Only reachable with negative durations in the table.
    return 0;
}
