#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/LevelData.hpp"
#include "media/graphics/TImage.hpp"

// One tile sheet cut into equal frames plus its table of animation sequences.
// Map values: 0 empty, n > 0 frame n - 1, -k animation sequence k (1-based).
// A sequence is a flat array of (tile value, duration in draws, unused) triples.
class TTileSet {
  public:
    std::string Identifier;
    std::shared_ptr<TImage> TileSetImage; // nullptr when the sheet could not be loaded
    int TileW = 0;
    int TileH = 0;
    int Overlap = 0;
    int TileCount = 0;
    const IntGrid* Sequences = nullptr; // non-owning: the table must outlive the tile set
    std::vector<int> TotalFrames; // per sequence: sum of the durations of its complete triples

    virtual ~TTileSet();
    // Stores the sizes, loads "incbin::data\img\<id>TileSet.png" cut into tileCount frames of
    // tileW x tileH, keeps a reference to sequences and sums each sequence's durations.
    virtual void Init(std::string_view id, int tileW, int tileH, int overlap, int tileCount,
                      const IntGrid& sequences);
    // Tile value shown by sequence |tile| at draw count time; 0 (empty) for a sequence beyond the
    // table or one whose total duration is not positive.
    virtual int GetSequenceFrame(int tile, int time);
};
