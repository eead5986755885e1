#pragma once

#include <memory>
#include <vector>

#include "data/LevelData.hpp"
#include "media/graphics/CachedPicture.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPSpace.hpp"
#include "world/TTileSet.hpp"

// a mod b in [0, b) for b > 0 (-1 mod 18 is 17); 0 when b <= 0.
int PositiveModulo(int a, int b);

// One rectangular tile map drawn with one tile set, with its scroll, the rules for what lies
// beyond its edges (0 nothing, 1 repeat, 2 extend the edge cell), animation and drift clocks,
// and its own physics space whose static body carries the segments built from the bound map.
class TLayer {
  public:
    std::shared_ptr<TTileSet> TileSet; // shared with the level
    int ScrollX = 0;                   // pixels
    int ScrollY = 0;
    // The view's zoom: picture pixels per world pixel (> 0). A world point p is drawn at
    // (p - Scroll) * Zoom; 1 draws the layer pixel for pixel.
    float Zoom = 1.0f;
    int MapW = 0; // cells
    int MapH = 0;
    IntGrid MapData;  // [row][column], MapH rows of MapW values
    IntGrid BoundMap; // [row][column] edge codes, same shape once SetBoundMap ran
    int ShiftX = 0;   // constant pixels added to the scroll when drawing
    int ShiftY = 0;
    int TimeCounter = 0; // Draw calls so far: the clock of animated cells
    int HorzRepPat = 0;
    int VertRepPat = 0;
    float Time = 0.0f; // drift clock, += DT per Draw
    float DT = 0.0f;
    float TimeX = 0.0f; // drift in pixels per unit of Time
    float TimeY = 0.0f;
    std::shared_ptr<CPSpace> spaceMap;
    std::shared_ptr<CPBody> staticBodyMap; // infinite mass and moment, never added to the space
    int maxLevelH = 0;                     // MapH * TileH (unscaled)
    int maxLevelW = 0;                     // MapW * TileW (unscaled)
    // The static segments of each cell, [row * MapW + column], in the order they were added to
    // spaceMap; SetCell replaces a cell's. The four border segments follow apart.
    std::vector<std::vector<std::shared_ptr<CPSegmentShape>>> CellSegments;
    std::vector<std::shared_ptr<CPSegmentShape>> BorderSegments;

    virtual ~TLayer();
    // Copies mapH rows of mapW values (short rows padded with 0), resets scroll, shifts, rules and
    // clocks (DT 1.0), creates spaceMap and staticBodyMap and sets maxLevelW/H.
    virtual void Init(std::shared_ptr<TTileSet> tileSet, const IntGrid& mapData, int mapW,
                      int mapH);
    // Copies the bound map like Init copies the tiles, then calls ConstructStaticMap.
    virtual void SetBoundMap(const IntGrid& boundMap);
    // Collision type of the four border segments, which kinds that may cross the border ignore.
    static constexpr int kBorderCollisionType = 1000;
    // Adds one static segment per solid cell edge and the four border segments
    // (kBorderCollisionType).
    virtual void ConstructStaticMap();
    // Every static segment the layer holds: the cells' row by row, then the border's. For a level
    // as loaded, the order in which they were added to spaceMap.
    std::vector<std::shared_ptr<CPSegmentShape>> StaticSegments() const;
    // Edits one cell after the static map was built: its tile and bound value become the ones
    // given, and its old segments leave spaceMap for new ones made exactly as ConstructStaticMap
    // makes them. The border and the level's size stay. False (nothing changed) outside the map
    // or when the cell already holds both values.
    bool SetCell(int column, int row, int tile, int bound);
    // True when a bound value gives its cell at least one segment.
    static bool MakesSegments(int bound);
    // The world point (pixels) under picture point (x, y): the one place the pointer and the
    // fingers are taken into the world, so that every tool lands where the view shows it.
    // Inverts the view's mapping: Scroll + (x, y) / Zoom.
    CPVect WorldAt(double x, double y) const;
    // Sets the drawing state for drawing in world pixels under this layer's view (the origin
    // at minus the scroll, the view zoom); EndView puts both back to the picture's own.
    void BeginView() const;
    static void EndView();
    // Sets ScrollX/ScrollY as given, without limits.
    virtual void ScrollTo(int x, int y);
    // Map size in pixels under the current drawing scale (rows pitched TileH - Overlap).
    virtual void GetMapSize(int& w, int& h);
    // Rewrites a cell position onto the map by HorzRepPat/VertRepPat; 0 if it shows nothing.
    virtual int FindPositionInMap(int& x, int& y);
    // Tile value at column x, row y with animated cells resolved; 0 for nothing.
    virtual int GetTile(int x, int y);
    // Raw bound value at column x, row y (not reduced); 0 where the position shows nothing.
    virtual int GetBound(int x, int y);
    // Draws the cells meeting the viewport, then advances TimeCounter by 1 and Time by DT.
    virtual void Draw();
    // Non-owning: a layer drawn right after this one over the same viewport (the level's
    // foreground over its background), set only while that holds; nullptr: none. Where cells
    // are drawn from a kept picture (GPU renderers), cells it hides are left out.
    TLayer* CoveredBy = nullptr;

  private:
    // A run of cells drawn as one piece: screen rectangle, top-left map cell, opaque (drawn
    // without blending), and the one colour of every pixel (0xRRGGBB; -1 copied from the
    // layer's picture).
    struct Piece {
        int x, y, w, h, mapX, mapY;
        bool opaque;
        int color;
    };
    // Draw under a Zoom other than 1: each cell stretched over the whole pixels between its
    // edges' zoomed places, so that neighbours share their edge at any zoom.
    void drawZoomed(TImage& image);
    // True when Draw would put the cells unscaled on whole pixels in the default drawing state.
    bool drawsPlain();
    // The map's offset under the viewport's top-left corner (pixels): cell (c, r) lands at
    // (c * pitch - px, r * pitch - py).
    void drawOffsets(int& px, int& py);
    // True when the cells over the rectangle x, y, w, h (pixels, as Draw places cells with
    // offsets px, py) all cover it opaquely.
    bool opaqueOver(int x, int y, int w, int h, int px, int py);
    // Draws the visible cells as pieces of picture_, drawing into it first the cells whose tile
    // it does not hold yet. False (nothing drawn) when no picture can be kept for this layer
    // now; the cells are then drawn one by one.
    bool drawPieces(TImage& image, int firstCol, int firstRow, int firstRx, int firstRy, int vw,
                    int vh);
    // Adds the segments of one cell's bound value to spaceMap and to that cell's list.
    void addCellSegments(int column, int row, int bound);
    // The cell size the static map was built with (the drawing scale of that moment): edits
    // make their segments on the same grid.
    int segmentW_ = 0;
    int segmentH_ = 0;
    // On GPU renderers the cells are drawn once into a picture the GPU keeps, and a frame copies
    // large pieces of it: a quad per run of cells, not per cell, and opaque runs unblended.
    CachedPicture picture_;
    std::vector<int> pictureTiles_; // the tile each map cell holds in picture_; -1 none yet
    std::vector<Piece> pieces_;     // this frame's, kept to be reused
    std::vector<int> openPieces_;   // pieces whose bottom is the row being walked
    std::vector<int> nextOpen_;
    std::vector<int> dirtyCells_; // map cells to draw into picture_ this frame
};
