#include "world/TLayer.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "media/Graphics.hpp"
#include "physics/CPVect.hpp"

namespace {

// Pixel offsets are kept far inside the int range so that the row and column counters of Draw
// can never overflow, however far a layer is scrolled or has drifted.
constexpr float kOffsetLimit = 1.0e9f;

int TruncateOffset(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v > kOffsetLimit) {
        v = kOffsetLimit;
    } else if (v < -kOffsetLimit) {
        v = -kOffsetLimit;
    }
    return static_cast<int>(v); // truncates toward zero
}

// Copies rows x cols values of source; missing rows and short rows read as 0.
void CopyPadded(IntGrid& target, const IntGrid& source, int cols, int rows) {
    const std::size_t w = cols > 0 ? static_cast<std::size_t>(cols) : 0;
    const std::size_t h = rows > 0 ? static_cast<std::size_t>(rows) : 0;
    target.assign(h, std::vector<int>(w, 0));
    for (std::size_t r = 0; r < h && r < source.size(); ++r) {
        const std::vector<int>& src = source[r];
        for (std::size_t c = 0; c < w && c < src.size(); ++c) {
            target[r][c] = src[c];
        }
    }
}

// Edge rule for one axis. Rules other than 1 (repeat) and 2 (extend) behave like 0: nothing
// lies outside the map.
bool ApplyEdgeRule(int rule, int& v, int size) {
    if (rule == 1) {
        v = PositiveModulo(v, size);
        return true;
    }
    if (rule == 2) {
        if (v < 0) {
            v = 0;
        } else if (v > size - 1) {
            v = size - 1;
        }
        return true;
    }
    return v >= 0 && v <= size - 1;
}

} // namespace

int PositiveModulo(int a, int b) {
    if (b <= 0) {
        return 0;
    }
    const int r = a % b;
    return r < 0 ? r + b : r;
}

TLayer::~TLayer() = default;

void TLayer::Init(std::shared_ptr<TTileSet> tileSet, const IntGrid& mapData, int mapW, int mapH) {
    TileSet = std::move(tileSet);
    MapW = mapW;
    MapH = mapH;
    CopyPadded(MapData, mapData, MapW, MapH);

    ShiftX = 0;
    ShiftY = 0;
    ScrollX = 0;
    ScrollY = 0;
    HorzRepPat = 0;
    VertRepPat = 0;
    Time = 0.0f;
    DT = 1.0f;
    TimeX = 0.0f;
    TimeY = 0.0f;

    // Every layer gets its own space; the static body stays out of it and only carries the
    // segments of the bound map.
    spaceMap = CPSpace::Create();
    staticBodyMap = CPBody::Create(INFINITY, INFINITY);

    const int tileW = TileSet ? TileSet->TileW : 0;
    const int tileH = TileSet ? TileSet->TileH : 0;
    maxLevelH = MapH * tileH;
    maxLevelW = MapW * tileW;
}

void TLayer::SetBoundMap(const IntGrid& boundMap) {
    CopyPadded(BoundMap, boundMap, MapW, MapH);
    ConstructStaticMap();
}

bool TLayer::MakesSegments(int bound) {
    // The sign of the code follows the value: 257 is 1, -383 is -127, 128 stays 128.
    const int code = bound % 256;
    return (code > 0 && code < 16) || code == -127 || code == -128;
}

void TLayer::addCellSegments(int column, int row, int bound) {
    const int code = bound % 256;
    if (!MakesSegments(code)) {
        return; // every other code is an open cell
    }
    std::vector<std::shared_ptr<CPSegmentShape>>& list =
        CellSegments[static_cast<std::size_t>(row) * static_cast<std::size_t>(MapW) +
                     static_cast<std::size_t>(column)];
    auto add = [&](int ax, int ay, int bx, int by) {
        auto seg = CPSegmentShape::Create(
            staticBodyMap, Vec2(static_cast<float>(ax), static_cast<float>(ay)),
            Vec2(static_cast<float>(bx), static_cast<float>(by)), 0.0f);
        seg->SetElasticity(0.0f);
        seg->SetFriction(1.0f);
        spaceMap->AddStaticShape(seg);
        list.push_back(std::move(seg));
    };
    const int x0 = column * segmentW_;
    const int x1 = x0 + segmentW_;
    const int y0 = row * segmentH_;
    const int y1 = y0 + segmentH_;
    if (code == -127) {
        add(x0, y0, x1, y1); // falling to the right
    } else if (code == -128) {
        add(x0, y1, x1, y0); // rising to the right
    } else {
        // Each bit is one solid edge; 5 (top + bottom) and 10 (left + right) follow the same bit
        // meaning as every other code.
        if (code & 1) {
            add(x0, y0, x1, y0); // top
        }
        if (code & 2) {
            add(x0, y0, x0, y1); // left
        }
        if (code & 4) {
            add(x0, y1, x1, y1); // bottom
        }
        if (code & 8) {
            add(x1, y0, x1, y1); // right
        }
    }
}

void TLayer::ConstructStaticMap() {
    if (!spaceMap || !staticBodyMap) {
        return;
    }
    float sx = 1.0f;
    float sy = 1.0f;
    GetScale(sx, sy);
    const int tileW = TileSet ? TileSet->TileW : 0;
    const int tileH = TileSet ? TileSet->TileH : 0;
    // Collision rows are TileH apart; the drawing overlap plays no part here.
    segmentW_ = static_cast<int>(std::floor(sx * static_cast<float>(tileW)));
    segmentH_ = static_cast<int>(std::floor(sy * static_cast<float>(tileH)));

    const std::size_t cells =
        static_cast<std::size_t>(std::max(MapW, 0)) * static_cast<std::size_t>(std::max(MapH, 0));
    CellSegments.resize(cells);
    for (int r = 0; r < MapH && r < static_cast<int>(BoundMap.size()); ++r) {
        const std::vector<int>& row = GridRow(BoundMap, r);
        for (int c = 0; c < MapW && c < static_cast<int>(row.size()); ++c) {
            addCellSegments(c, r, GridCell(BoundMap, r, c));
        }
    }

    // Thick border around the whole map; the level lets the border-crossing body kinds
    // ignore it by collision type.
    const float w = static_cast<float>(maxLevelW);
    const float h = static_cast<float>(maxLevelH);
    const CPVect corners[5] = {Vec2(0.0f, 0.0f), Vec2(w, 0.0f), Vec2(w, h), Vec2(0.0f, h),
                               Vec2(0.0f, 0.0f)};
    for (int i = 0; i < 4; ++i) {
        auto seg = CPSegmentShape::Create(staticBodyMap, corners[i], corners[i + 1], 10.0f);
        seg->SetCollisionType(kBorderCollisionType);
        seg->SetElasticity(0.0f);
        seg->SetFriction(1.0f);
        spaceMap->AddStaticShape(seg);
        BorderSegments.push_back(std::move(seg));
    }
}

std::vector<std::shared_ptr<CPSegmentShape>> TLayer::StaticSegments() const {
    std::vector<std::shared_ptr<CPSegmentShape>> all;
    for (const auto& cell : CellSegments) {
        all.insert(all.end(), cell.begin(), cell.end());
    }
    all.insert(all.end(), BorderSegments.begin(), BorderSegments.end());
    return all;
}

bool TLayer::SetCell(int column, int row, int tile, int bound) {
    if (column < 0 || row < 0 || column >= MapW || row >= MapH ||
        row >= static_cast<int>(MapData.size()) || row >= static_cast<int>(BoundMap.size()) ||
        column >= static_cast<int>(GridRow(MapData, row).size()) ||
        column >= static_cast<int>(GridRow(BoundMap, row).size())) {
        return false;
    }
    int& tileCell = GridCell(MapData, row, column);
    int& boundCell = GridCell(BoundMap, row, column);
    if (tileCell == tile && boundCell == bound) {
        return false;
    }
    tileCell = tile;
    const int oldBound = boundCell;
    boundCell = bound;
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(MapW) +
                              static_cast<std::size_t>(column);
    // Before the static map is built there is nothing to replace: building it later reads the
    // new value.
    if (oldBound == bound || index >= CellSegments.size() || !spaceMap || !staticBodyMap) {
        return true;
    }
    // Taking a segment out of the space also lets the library forget the contacts it had and
    // wake whatever rested on it (its own removal does both), so bodies standing on removed
    // ground fall in the next step; a segment added is in the static index at once, so bodies
    // beside a new wall meet it in the next step.
    // Bodies asleep at the cell wake first: a segment added does not wake what it now
    // overlaps, and one removed wakes only what was touching it at that moment. A margin of a
    // few pixels takes in bodies resting on the cell's edges.
    constexpr float kMargin = 4.0f;
    const float x0 = static_cast<float>(column * segmentW_);
    const float y0 = static_cast<float>(row * segmentH_);
    spaceMap->WakeBodiesTouching(Vec2(x0 - kMargin, y0 - kMargin),
                                 Vec2(x0 + static_cast<float>(segmentW_) + kMargin,
                                      y0 + static_cast<float>(segmentH_) + kMargin));
    for (const std::shared_ptr<CPSegmentShape>& seg : CellSegments[index]) {
        seg->Free();
    }
    CellSegments[index].clear();
    addCellSegments(column, row, bound);
    return true;
}

CPVect TLayer::WorldAt(double x, double y) const {
    // Division by a zoom of 1 is exact: the pointer lands where it always did.
    return Vec2(static_cast<float>(ScrollX + x / static_cast<double>(Zoom)),
                static_cast<float>(ScrollY + y / static_cast<double>(Zoom)));
}

void TLayer::BeginView() const {
    SetOrigin(static_cast<float>(-ScrollX), static_cast<float>(-ScrollY));
    SetViewZoom(Zoom);
}

void TLayer::EndView() {
    SetOrigin(0.0f, 0.0f);
    SetViewZoom(1.0f);
}

void TLayer::ScrollTo(int x, int y) {
    ScrollX = x;
    ScrollY = y;
}

void TLayer::GetMapSize(int& w, int& h) {
    float sx = 1.0f;
    float sy = 1.0f;
    GetScale(sx, sy);
    const int tileW = TileSet ? TileSet->TileW : 0;
    const int tileH = TileSet ? TileSet->TileH : 0;
    const int overlap = TileSet ? TileSet->Overlap : 0;
    w = static_cast<int>(static_cast<float>(MapW * tileW) * sx);
    h = static_cast<int>(static_cast<float>(MapH * (tileH - overlap)) * sy);
}

int TLayer::FindPositionInMap(int& x, int& y) {
    // An empty map shows nothing anywhere (and has nothing to repeat or extend).
    if (MapW <= 0 || MapH <= 0) {
        return 0;
    }
    if (!ApplyEdgeRule(HorzRepPat, x, MapW)) {
        return 0;
    }
    if (!ApplyEdgeRule(VertRepPat, y, MapH)) {
        return 0;
    }
    return 1;
}

int TLayer::GetTile(int x, int y) {
    if (FindPositionInMap(x, y) == 0) {
        return 0;
    }
    if (y >= static_cast<int>(MapData.size()) ||
        x >= static_cast<int>(GridRow(MapData, y).size())) {
        return 0;
    }
    int v = GridCell(MapData, y, x);
    if (v < 0) {
        v = TileSet ? TileSet->GetSequenceFrame(v, TimeCounter) : 0;
    }
    return v;
}

int TLayer::GetBound(int x, int y) {
    if (FindPositionInMap(x, y) == 0) {
        return 0;
    }
    // Before SetBoundMap there is no bound map: every cell is open.
    if (y >= static_cast<int>(BoundMap.size()) ||
        x >= static_cast<int>(GridRow(BoundMap, y).size())) {
        return 0;
    }
    return GridCell(BoundMap, y, x);
}

bool TLayer::drawsPlain() {
    // The cached picture holds the cells as the default drawing state draws them, on whole
    // pixels; an odd tile size would put them on half pixels.
    if (!TileSet || !TileSet->TileSetImage || TileSet->Overlap != 0 || TileSet->TileW % 2 != 0 ||
        TileSet->TileH % 2 != 0)
        return false;
    float sx = 0.0f, sy = 0.0f, ox = 0.0f, oy = 0.0f;
    GetScale(sx, sy);
    GetOrigin(ox, oy);
    int r = 0, g = 0, b = 0;
    GetColor(r, g, b);
    return sx == 1.0f && sy == 1.0f && GetRotation() == 0.0f && GetBlend() == Blend::Mask &&
           GetAlpha() == 1.0f && r == 255 && g == 255 && b == 255 && ox == std::floor(ox) &&
           oy == std::floor(oy);
}

void TLayer::drawOffsets(int& px, int& py) {
    int vx = 0, vy = 0, vw = 0, vh = 0;
    GetViewport(vx, vy, vw, vh);
    px = TruncateOffset(static_cast<float>(static_cast<long long>(vx) + ScrollX + ShiftX) -
                        Time * TimeX);
    py = TruncateOffset(static_cast<float>(static_cast<long long>(vy) + ScrollY + ShiftY) -
                        Time * TimeY);
}

bool TLayer::opaqueOver(int x, int y, int w, int h, int px, int py) {
    // Cell (c, r) covers x from c * TileW - px, as Draw places it.
    auto floorDiv = [](long long a, int b) {
        return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
    };
    const int tileW = TileSet->TileW, tileH = TileSet->TileH;
    const int c0 = floorDiv(static_cast<long long>(x) + px, tileW);
    const int c1 = floorDiv(static_cast<long long>(x) + w - 1 + px, tileW);
    const int r0 = floorDiv(static_cast<long long>(y) + py, tileH);
    const int r1 = floorDiv(static_cast<long long>(y) + h - 1 + py, tileH);
    TImage& image = *TileSet->TileSetImage;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const int t = GetTile(c, r);
            if (t <= 0 || t > image.FrameCount() ||
                image.MaskCoverage(t - 1, 0.5f) != TImage::kOpaque)
                return false;
        }
    return true;
}

bool TLayer::drawPieces(TImage& image, int firstCol, int firstRow, int firstRx, int firstRy, int vw,
                        int vh) {
    const int tileW = TileSet->TileW;
    const int tileH = TileSet->TileH;
    bool fresh = false;
    if (MapW <= 0 || MapH <= 0 || !picture_.Prepare(MapW * tileW, MapH * tileH, fresh))
        return false;
    const std::size_t cells = static_cast<std::size_t>(MapW) * static_cast<std::size_t>(MapH);
    if (fresh || pictureTiles_.size() != cells)
        pictureTiles_.assign(cells, -1);
    const int frames = image.FrameCount();
    // The covering layer is drawn next in the same state: its placement is worked out once.
    int coverX = 0, coverY = 0;
    const bool covered = CoveredBy != nullptr && CoveredBy->drawsPlain();
    if (covered)
        CoveredBy->drawOffsets(coverX, coverY);
    pieces_.clear();
    openPieces_.clear();
    dirtyCells_.clear();

    // Runs of cells along a row that sit side by side in the map too become one piece; a
    // piece of the row above with the same columns grows down over the row instead.
    int row = firstRow;
    for (int ry = firstRy; ry < vh; ry += tileH, ++row) {
        const std::size_t rowStart = pieces_.size();
        int col = firstCol;
        for (int rx = firstRx; rx < vw; rx += tileW, ++col) {
            int mx = col;
            int my = row;
            if (FindPositionInMap(mx, my) == 0)
                continue;
            const int t = GetTile(col, row);
            if (t <= 0 || t > frames)
                continue;
            const TImage::Coverage coverage = image.MaskCoverage(t - 1, 0.5f);
            if (coverage == TImage::kNothing)
                continue;
            // Every cell in view goes into the picture, those drawn otherwise too: a scaled
            // window's rasteriser may read a texel past a piece's edge, which must then be the
            // neighbour that is beside it on the screen as well.
            const auto cell = static_cast<std::size_t>(my * MapW + mx);
            if (pictureTiles_[cell] != t) {
                pictureTiles_[cell] = t;
                dirtyCells_.push_back(static_cast<int>(cell));
            }
            if (covered && CoveredBy->opaqueOver(rx, ry, tileW, tileH, coverX, coverY))
                continue;
            const bool opaque = coverage == TImage::kOpaque;
            // Cells of one colour need no picture: a run of them, whatever their tiles, is a
            // plain rectangle, cheaper to fill than to copy.
            int r = 0, g = 0, b = 0;
            const int color =
                opaque && image.SolidColor(t - 1, 0.5f, r, g, b) ? (r << 16) | (g << 8) | b : -1;
            if (pieces_.size() > rowStart) {
                Piece& last = pieces_.back();
                if (last.opaque == opaque && last.color == color && last.x + last.w == rx &&
                    (color >= 0 || (last.mapY == my && last.mapX + last.w / tileW == mx))) {
                    last.w += tileW;
                    continue;
                }
            }
            pieces_.push_back(Piece{rx, ry, tileW, tileH, mx, my, opaque, color});
        }
        nextOpen_.clear();
        for (std::size_t i = rowStart; i < pieces_.size(); ++i) {
            Piece& p = pieces_[i];
            int into = -1;
            for (int o : openPieces_) {
                const Piece& q = pieces_[static_cast<std::size_t>(o)];
                if (q.x == p.x && q.w == p.w && q.opaque == p.opaque && q.color == p.color &&
                    (p.color >= 0 || (q.mapX == p.mapX && q.mapY + q.h / tileH == p.mapY))) {
                    into = o;
                    break;
                }
            }
            if (into >= 0) {
                pieces_[static_cast<std::size_t>(into)].h += tileH;
                p.w = 0; // drawn as part of the piece above
                nextOpen_.push_back(into);
            } else {
                nextOpen_.push_back(static_cast<int>(i));
            }
        }
        openPieces_.swap(nextOpen_);
    }

    if (!dirtyCells_.empty()) {
        if (!picture_.Begin()) {
            pictureTiles_.assign(cells, -1);
            return false;
        }
        // Cleared first, all at once: the tiles then go to the picture as one batch.
        for (int cell : dirtyCells_)
            picture_.Clear((cell % MapW) * tileW, (cell / MapW) * tileH, tileW, tileH);
        const float hx = static_cast<float>(tileW) / 2.0f;
        const float hy = static_cast<float>(tileH) / 2.0f;
        for (int cell : dirtyCells_)
            DrawImage(image, static_cast<float>((cell % MapW) * tileW) + hx,
                      static_cast<float>((cell / MapW) * tileH) + hy,
                      pictureTiles_[static_cast<std::size_t>(cell)] - 1);
        picture_.End();
    }
    // Cells never overlap, so the order of the pieces is free: the plain rectangles, then the
    // opaque copies, then the blended ones, a call each at most.
    for (int pass = 0; pass < 3; ++pass) {
        for (const Piece& p : pieces_) {
            const int kind = p.color >= 0 ? 0 : p.opaque ? 1 : 2;
            if (p.w <= 0 || kind != pass)
                continue;
            if (kind == 0)
                FillSolidRect(p.x, p.y, p.w, p.h, p.color >> 16, (p.color >> 8) & 0xFF,
                              p.color & 0xFF);
            else
                picture_.Draw(p.mapX * tileW, p.mapY * tileH, p.w, p.h, static_cast<float>(p.x),
                              static_cast<float>(p.y), p.opaque);
        }
    }
    return true;
}

void TLayer::drawZoomed(TImage& image) {
    float sx = 1.0f;
    float sy = 1.0f;
    GetScale(sx, sy);
    const int tw = static_cast<int>(std::floor(sx * static_cast<float>(TileSet->TileW)));
    const int th =
        static_cast<int>(std::floor(sy * static_cast<float>(TileSet->TileH - TileSet->Overlap)));
    const int cellH = static_cast<int>(std::floor(sy * static_cast<float>(TileSet->TileH)));
    if (tw <= 0 || th <= 0 || !(Zoom > 0.0f))
        return;
    int vx = 0, vy = 0, vw = 0, vh = 0;
    GetViewport(vx, vy, vw, vh);
    int px = 0, py = 0;
    drawOffsets(px, py);
    const double z = static_cast<double>(Zoom);
    // A world offset v from the view's corner lands on the picture at round(v * zoom): both
    // cells beside an edge use the same place for it.
    auto edge = [z](long long v) {
        return static_cast<int>(std::floor(static_cast<double>(v) * z + 0.5));
    };
    auto floorDiv = [](long long a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    // The world span in view, and the cells meeting it.
    const long long spanW = static_cast<long long>(std::ceil(static_cast<double>(vw) / z)) + 1;
    const long long spanH = static_cast<long long>(std::ceil(static_cast<double>(vh) / z)) + 1;
    const long long firstCol = floorDiv(px, tw), lastCol = floorDiv(px + spanW, tw);
    const long long firstRow = floorDiv(py - (cellH - th), th), lastRow = floorDiv(py + spanH, th);
    const int frames = image.FrameCount();
    for (long long row = firstRow; row <= lastRow; ++row) {
        const long long top = row * th - py;
        const int y0 = edge(top), y1 = edge(top + cellH);
        if (y1 <= y0)
            continue;
        for (long long col = firstCol; col <= lastCol; ++col) {
            const int t = GetTile(static_cast<int>(col), static_cast<int>(row));
            if (t <= 0 || t > frames)
                continue;
            const long long left = col * tw - px;
            const int x0 = edge(left), x1 = edge(left + tw);
            DrawImageRect(image, t - 1, x0, y0, x1 - x0, y1 - y0);
        }
    }
}

void TLayer::Draw() {
    TImage* image = TileSet ? TileSet->TileSetImage.get() : nullptr;
    if (image != nullptr && Zoom != 1.0f) {
        drawZoomed(*image);
        TimeCounter += 1;
        Time += DT;
        return;
    }
    if (image != nullptr) {
        float sx = 1.0f;
        float sy = 1.0f;
        GetScale(sx, sy);
        const int tileW = TileSet->TileW;
        const int tileH = TileSet->TileH;
        const int tw = static_cast<int>(std::floor(sx * static_cast<float>(tileW)));
        const int th =
            static_cast<int>(std::floor(sy * static_cast<float>(tileH - TileSet->Overlap)));

        // A scale that shrinks a pitch to nothing (or flips it) leaves no cell to draw.
        if (tw > 0 && th > 0) {
            int vx = 0;
            int vy = 0;
            int vw = 0;
            int vh = 0;
            GetViewport(vx, vy, vw, vh);

            int px = 0;
            int py = 0;
            drawOffsets(px, py);

            // Truncating division: exact for offsets below one pitch and negative ones; larger
            // offsets may start one row/column early, which lands wholly outside the viewport.
            const int firstRow = (py - (th - 1)) / th;
            const int firstCol = (px - (tw - 1)) / tw;
            const int firstRx = firstCol * tw - px;

            // The handle centres each frame; offsetting by half a scaled frame puts its top-left
            // corner on (rx, ry).
            SetImageHandle(*image, static_cast<float>(tileW / 2), static_cast<float>(tileH / 2));
            const float hx = sx * static_cast<float>(tileW) / 2.0f;
            const float hy = sy * static_cast<float>(tileH) / 2.0f;
            const int frames = image->FrameCount();

            if (drawsPlain() && CachedPicture::Available() &&
                drawPieces(*image, firstCol, firstRow, firstRx, firstRow * th - py, vw, vh)) {
                TimeCounter += 1;
                Time += DT;
                return;
            }

            int row = firstRow;
            for (int ry = firstRow * th - py; ry < vh; ry += th, ++row) {
                int col = firstCol;
                for (int rx = firstRx; rx < vw; rx += tw, ++col) {
                    const int t = GetTile(col, row);
                    // Values beyond the sheet would name a frame that does not exist.
                    if (t > 0 && t <= frames) {
                        DrawImage(*image, static_cast<float>(rx) + hx, static_cast<float>(ry) + hy,
                                  t - 1);
                    }
                }
            }
        }
    }
    TimeCounter += 1;
    Time += DT;
}
