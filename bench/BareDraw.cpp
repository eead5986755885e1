#include "bench/BareDraw.hpp"

#include <SDL.h>

#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

enum class OpKind : std::uint8_t {
    Clear,
    Copy,
    Geometry,
    Lines,
    FillRects,
    Present,
    Viewport,
    Clip,
    Scale
};

struct TextureState {
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    bool operator==(const TextureState& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a && blend == o.blend;
    }
};

struct Op {
    explicit Op(OpKind k) : kind(k) {}
    OpKind kind;
    bool setTexture = false; // texture colour/alpha/blend must be set before this op
    bool setColor = false;   // renderer draw colour/blend must be set before this op
    bool hasSrc = false, hasDst = false, hasCenter = false, hasRect = false;
    SDL_Texture* texture = nullptr;
    TextureState tex;
    SDL_Color color{};
    SDL_BlendMode drawBlend = SDL_BLENDMODE_NONE;
    SDL_Rect src{};
    SDL_FRect dst{};
    double angle = 0.0;
    SDL_FPoint center{};
    SDL_RendererFlip flip = SDL_FLIP_NONE;
    SDL_Rect rect{};
    float sx = 1.0f, sy = 1.0f;
    std::size_t first = 0, count = 0;           // into the vertex or point pool
    std::size_t firstIndex = 0, indexCount = 0; // into the index pool
};

struct Recording {
    bool on = false;
    bool incomplete = false;
    SDL_Renderer* renderer = nullptr;
    std::vector<Op> ops;
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    std::vector<SDL_FPoint> points;
    std::vector<SDL_FRect> rects;
    std::unordered_map<SDL_Texture*, TextureState> lastTexture;
    bool haveColor = false;
    SDL_Color lastColor{};
    SDL_BlendMode lastBlend = SDL_BLENDMODE_NONE;
};

Recording rec;
SdlCallCounts counts;

TextureState StateOf(SDL_Texture* t) {
    TextureState s;
    SDL_GetTextureColorMod(t, &s.r, &s.g, &s.b);
    SDL_GetTextureAlphaMod(t, &s.a);
    SDL_GetTextureBlendMode(t, &s.blend);
    return s;
}

// Adds the state a texture draw needs; the state is set in the replay only where it changes.
void NoteTexture(Op& op, SDL_Texture* t) {
    op.texture = t;
    if (t == nullptr) {
        return;
    }
    op.tex = StateOf(t);
    auto it = rec.lastTexture.find(t);
    op.setTexture = it == rec.lastTexture.end() || !(it->second == op.tex);
    rec.lastTexture[t] = op.tex;
}

void NoteDrawColor(Op& op, SDL_Renderer* r) {
    SDL_GetRenderDrawColor(r, &op.color.r, &op.color.g, &op.color.b, &op.color.a);
    SDL_GetRenderDrawBlendMode(r, &op.drawBlend);
    const bool same = rec.haveColor &&
                      std::memcmp(&op.color, &rec.lastColor, sizeof op.color) == 0 &&
                      op.drawBlend == rec.lastBlend;
    op.setColor = !same;
    rec.haveColor = true;
    rec.lastColor = op.color;
    rec.lastBlend = op.drawBlend;
}

void Record(SDL_Renderer* r, Op op) {
    rec.renderer = r;
    rec.ops.push_back(op);
}

void RecordCopy(SDL_Renderer* r, SDL_Texture* t, const SDL_Rect* src, const SDL_FRect* dst,
                double angle, const SDL_FPoint* center, SDL_RendererFlip flip) {
    ++counts.copies;
    if (!rec.on) {
        return;
    }
    Op op(OpKind::Copy);
    NoteTexture(op, t);
    op.hasSrc = src != nullptr;
    if (src) {
        op.src = *src;
    }
    op.hasDst = dst != nullptr;
    if (dst) {
        op.dst = *dst;
    }
    op.angle = angle;
    op.hasCenter = center != nullptr;
    if (center) {
        op.center = *center;
    }
    op.flip = flip;
    Record(r, op);
}

void RecordLines(SDL_Renderer* r, const SDL_FPoint* pts, int n) {
    ++counts.lines;
    if (!rec.on) {
        return;
    }
    Op op(OpKind::Lines);
    NoteDrawColor(op, r);
    op.first = rec.points.size();
    op.count = static_cast<std::size_t>(n);
    rec.points.insert(rec.points.end(), pts, pts + n);
    Record(r, op);
}

void RecordRects(SDL_Renderer* r, const SDL_FRect* rs, int n) {
    ++counts.rects;
    if (!rec.on) {
        return;
    }
    Op op(OpKind::FillRects);
    NoteDrawColor(op, r);
    op.first = rec.rects.size();
    op.count = static_cast<std::size_t>(n);
    rec.rects.insert(rec.rects.end(), rs, rs + n);
    Record(r, op);
}

SDL_FRect ToF(const SDL_Rect& r) {
    return SDL_FRect{static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.w),
                     static_cast<float>(r.h)};
}

} // namespace

extern "C" {
int __real_SDL_RenderClear(SDL_Renderer*);
int __real_SDL_RenderCopy(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_Rect*);
int __real_SDL_RenderCopyF(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_FRect*);
int __real_SDL_RenderCopyEx(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_Rect*, double,
                            const SDL_Point*, SDL_RendererFlip);
int __real_SDL_RenderCopyExF(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_FRect*, double,
                             const SDL_FPoint*, SDL_RendererFlip);
int __real_SDL_RenderGeometry(SDL_Renderer*, SDL_Texture*, const SDL_Vertex*, int, const int*, int);
int __real_SDL_RenderDrawLine(SDL_Renderer*, int, int, int, int);
int __real_SDL_RenderDrawLineF(SDL_Renderer*, float, float, float, float);
int __real_SDL_RenderDrawLines(SDL_Renderer*, const SDL_Point*, int);
int __real_SDL_RenderDrawLinesF(SDL_Renderer*, const SDL_FPoint*, int);
int __real_SDL_RenderFillRect(SDL_Renderer*, const SDL_Rect*);
int __real_SDL_RenderFillRectF(SDL_Renderer*, const SDL_FRect*);
int __real_SDL_RenderFillRects(SDL_Renderer*, const SDL_Rect*, int);
int __real_SDL_RenderFillRectsF(SDL_Renderer*, const SDL_FRect*, int);
int __real_SDL_RenderDrawPoint(SDL_Renderer*, int, int);
int __real_SDL_RenderDrawPointF(SDL_Renderer*, float, float);
int __real_SDL_RenderDrawPoints(SDL_Renderer*, const SDL_Point*, int);
int __real_SDL_RenderDrawPointsF(SDL_Renderer*, const SDL_FPoint*, int);
int __real_SDL_RenderDrawRect(SDL_Renderer*, const SDL_Rect*);
int __real_SDL_RenderDrawRectF(SDL_Renderer*, const SDL_FRect*);
void __real_SDL_RenderPresent(SDL_Renderer*);
int __real_SDL_RenderSetViewport(SDL_Renderer*, const SDL_Rect*);
int __real_SDL_RenderSetClipRect(SDL_Renderer*, const SDL_Rect*);
int __real_SDL_RenderSetScale(SDL_Renderer*, float, float);
int __real_SDL_SetTextureColorMod(SDL_Texture*, Uint8, Uint8, Uint8);
int __real_SDL_SetTextureAlphaMod(SDL_Texture*, Uint8);
int __real_SDL_SetTextureBlendMode(SDL_Texture*, SDL_BlendMode);
int __real_SDL_SetRenderDrawColor(SDL_Renderer*, Uint8, Uint8, Uint8, Uint8);
int __real_SDL_SetRenderDrawBlendMode(SDL_Renderer*, SDL_BlendMode);
int __real_SDL_UpdateTexture(SDL_Texture*, const SDL_Rect*, const void*, int);
SDL_Texture* __real_SDL_CreateTexture(SDL_Renderer*, Uint32, int, int, int);
SDL_Texture* __real_SDL_CreateTextureFromSurface(SDL_Renderer*, SDL_Surface*);

int __wrap_SDL_RenderClear(SDL_Renderer* r) {
    ++counts.clears;
    if (rec.on) {
        Op op(OpKind::Clear);
        NoteDrawColor(op, r);
        Record(r, op);
    }
    return __real_SDL_RenderClear(r);
}
int __wrap_SDL_RenderCopy(SDL_Renderer* r, SDL_Texture* t, const SDL_Rect* s, const SDL_Rect* d) {
    SDL_FRect fd = d ? ToF(*d) : SDL_FRect{};
    RecordCopy(r, t, s, d ? &fd : nullptr, 0.0, nullptr, SDL_FLIP_NONE);
    return __real_SDL_RenderCopy(r, t, s, d);
}
int __wrap_SDL_RenderCopyF(SDL_Renderer* r, SDL_Texture* t, const SDL_Rect* s, const SDL_FRect* d) {
    RecordCopy(r, t, s, d, 0.0, nullptr, SDL_FLIP_NONE);
    return __real_SDL_RenderCopyF(r, t, s, d);
}
int __wrap_SDL_RenderCopyEx(SDL_Renderer* r, SDL_Texture* t, const SDL_Rect* s, const SDL_Rect* d,
                            double angle, const SDL_Point* c, SDL_RendererFlip flip) {
    SDL_FRect fd = d ? ToF(*d) : SDL_FRect{};
    SDL_FPoint fc =
        c ? SDL_FPoint{static_cast<float>(c->x), static_cast<float>(c->y)} : SDL_FPoint{};
    RecordCopy(r, t, s, d ? &fd : nullptr, angle, c ? &fc : nullptr, flip);
    return __real_SDL_RenderCopyEx(r, t, s, d, angle, c, flip);
}
int __wrap_SDL_RenderCopyExF(SDL_Renderer* r, SDL_Texture* t, const SDL_Rect* s, const SDL_FRect* d,
                             double angle, const SDL_FPoint* c, SDL_RendererFlip flip) {
    RecordCopy(r, t, s, d, angle, c, flip);
    return __real_SDL_RenderCopyExF(r, t, s, d, angle, c, flip);
}
int __wrap_SDL_RenderGeometry(SDL_Renderer* r, SDL_Texture* t, const SDL_Vertex* v, int nv,
                              const int* idx, int ni) {
    ++counts.geometry;
    if (rec.on) {
        Op op(OpKind::Geometry);
        NoteTexture(op, t);
        if (t == nullptr) {
            // Untextured geometry blends with the renderer's draw blend mode.
            NoteDrawColor(op, r);
        }
        op.first = rec.vertices.size();
        op.count = static_cast<std::size_t>(nv);
        rec.vertices.insert(rec.vertices.end(), v, v + nv);
        if (idx != nullptr) {
            op.firstIndex = rec.indices.size();
            op.indexCount = static_cast<std::size_t>(ni);
            rec.indices.insert(rec.indices.end(), idx, idx + ni);
        }
        Record(r, op);
    }
    return __real_SDL_RenderGeometry(r, t, v, nv, idx, ni);
}
int __wrap_SDL_RenderDrawLine(SDL_Renderer* r, int x1, int y1, int x2, int y2) {
    SDL_FPoint p[2] = {{float(x1), float(y1)}, {float(x2), float(y2)}};
    RecordLines(r, p, 2);
    return __real_SDL_RenderDrawLine(r, x1, y1, x2, y2);
}
int __wrap_SDL_RenderDrawLineF(SDL_Renderer* r, float x1, float y1, float x2, float y2) {
    SDL_FPoint p[2] = {{x1, y1}, {x2, y2}};
    RecordLines(r, p, 2);
    return __real_SDL_RenderDrawLineF(r, x1, y1, x2, y2);
}
int __wrap_SDL_RenderDrawLines(SDL_Renderer* r, const SDL_Point* pts, int n) {
    std::vector<SDL_FPoint> f;
    if (rec.on) {
        for (int i = 0; i < n; ++i) {
            f.push_back({float(pts[i].x), float(pts[i].y)});
        }
    }
    RecordLines(r, f.data(), rec.on ? n : 0);
    return __real_SDL_RenderDrawLines(r, pts, n);
}
int __wrap_SDL_RenderDrawLinesF(SDL_Renderer* r, const SDL_FPoint* pts, int n) {
    RecordLines(r, pts, n);
    return __real_SDL_RenderDrawLinesF(r, pts, n);
}
int __wrap_SDL_RenderFillRect(SDL_Renderer* r, const SDL_Rect* rc) {
    if (rc == nullptr) {
        rec.incomplete = rec.incomplete || rec.on;
        ++counts.rects;
    } else {
        SDL_FRect f = ToF(*rc);
        RecordRects(r, &f, 1);
    }
    return __real_SDL_RenderFillRect(r, rc);
}
int __wrap_SDL_RenderFillRectF(SDL_Renderer* r, const SDL_FRect* rc) {
    if (rc == nullptr) {
        rec.incomplete = rec.incomplete || rec.on;
        ++counts.rects;
    } else {
        RecordRects(r, rc, 1);
    }
    return __real_SDL_RenderFillRectF(r, rc);
}
int __wrap_SDL_RenderFillRects(SDL_Renderer* r, const SDL_Rect* rs, int n) {
    std::vector<SDL_FRect> f;
    if (rec.on) {
        for (int i = 0; i < n; ++i) {
            f.push_back(ToF(rs[i]));
        }
    }
    RecordRects(r, f.data(), rec.on ? n : 0);
    return __real_SDL_RenderFillRects(r, rs, n);
}
int __wrap_SDL_RenderFillRectsF(SDL_Renderer* r, const SDL_FRect* rs, int n) {
    RecordRects(r, rs, n);
    return __real_SDL_RenderFillRectsF(r, rs, n);
}
// Points and outlined rectangles are counted but not replayed; the game is not expected to
// use them, and a recording that contains them says so.
int __wrap_SDL_RenderDrawPoint(SDL_Renderer* r, int x, int y) {
    ++counts.points;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawPoint(r, x, y);
}
int __wrap_SDL_RenderDrawPointF(SDL_Renderer* r, float x, float y) {
    ++counts.points;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawPointF(r, x, y);
}
int __wrap_SDL_RenderDrawPoints(SDL_Renderer* r, const SDL_Point* p, int n) {
    ++counts.points;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawPoints(r, p, n);
}
int __wrap_SDL_RenderDrawPointsF(SDL_Renderer* r, const SDL_FPoint* p, int n) {
    ++counts.points;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawPointsF(r, p, n);
}
int __wrap_SDL_RenderDrawRect(SDL_Renderer* r, const SDL_Rect* rc) {
    ++counts.rects;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawRect(r, rc);
}
int __wrap_SDL_RenderDrawRectF(SDL_Renderer* r, const SDL_FRect* rc) {
    ++counts.rects;
    rec.incomplete = rec.incomplete || rec.on;
    return __real_SDL_RenderDrawRectF(r, rc);
}
void __wrap_SDL_RenderPresent(SDL_Renderer* r) {
    ++counts.presents;
    if (rec.on) {
        Record(r, Op(OpKind::Present));
    }
    __real_SDL_RenderPresent(r);
}
int __wrap_SDL_RenderSetViewport(SDL_Renderer* r, const SDL_Rect* rc) {
    ++counts.viewportChanges;
    if (rec.on) {
        Op op(OpKind::Viewport);
        op.hasRect = rc != nullptr;
        if (rc) {
            op.rect = *rc;
        }
        Record(r, op);
    }
    return __real_SDL_RenderSetViewport(r, rc);
}
int __wrap_SDL_RenderSetClipRect(SDL_Renderer* r, const SDL_Rect* rc) {
    ++counts.viewportChanges;
    if (rec.on) {
        Op op(OpKind::Clip);
        op.hasRect = rc != nullptr;
        if (rc) {
            op.rect = *rc;
        }
        Record(r, op);
    }
    return __real_SDL_RenderSetClipRect(r, rc);
}
int __wrap_SDL_RenderSetScale(SDL_Renderer* r, float sx, float sy) {
    ++counts.viewportChanges;
    if (rec.on) {
        Op op(OpKind::Scale);
        op.sx = sx;
        op.sy = sy;
        Record(r, op);
    }
    return __real_SDL_RenderSetScale(r, sx, sy);
}
int __wrap_SDL_SetTextureColorMod(SDL_Texture* t, Uint8 r, Uint8 g, Uint8 b) {
    ++counts.textureMods;
    return __real_SDL_SetTextureColorMod(t, r, g, b);
}
int __wrap_SDL_SetTextureAlphaMod(SDL_Texture* t, Uint8 a) {
    ++counts.textureMods;
    return __real_SDL_SetTextureAlphaMod(t, a);
}
int __wrap_SDL_SetTextureBlendMode(SDL_Texture* t, SDL_BlendMode b) {
    ++counts.blendModes;
    return __real_SDL_SetTextureBlendMode(t, b);
}
int __wrap_SDL_SetRenderDrawColor(SDL_Renderer* r, Uint8 cr, Uint8 g, Uint8 b, Uint8 a) {
    ++counts.drawColor;
    return __real_SDL_SetRenderDrawColor(r, cr, g, b, a);
}
int __wrap_SDL_SetRenderDrawBlendMode(SDL_Renderer* r, SDL_BlendMode b) {
    ++counts.blendModes;
    return __real_SDL_SetRenderDrawBlendMode(r, b);
}
int __wrap_SDL_UpdateTexture(SDL_Texture* t, const SDL_Rect* rc, const void* px, int pitch) {
    ++counts.uploads;
    return __real_SDL_UpdateTexture(t, rc, px, pitch);
}
SDL_Texture* __wrap_SDL_CreateTexture(SDL_Renderer* r, Uint32 f, int a, int w, int h) {
    ++counts.textureCreations;
    return __real_SDL_CreateTexture(r, f, a, w, h);
}
SDL_Texture* __wrap_SDL_CreateTextureFromSurface(SDL_Renderer* r, SDL_Surface* s) {
    ++counts.textureCreations;
    return __real_SDL_CreateTextureFromSurface(r, s);
}
}

const SdlCallCounts& SdlCalls() {
    return counts;
}
void ResetSdlCallCounts() {
    counts = SdlCallCounts{};
}

std::string DescribeSdlCalls(const SdlCallCounts& c, int frames) {
    auto per = [frames](std::uint64_t v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", frames > 0 ? double(v) / frames : 0.0);
        return std::string(buf);
    };
    return "per frame: " + per(c.copies) + " copies, " + per(c.geometry) + " geometry, " +
           per(c.lines) + " lines, " + per(c.rects) + " rects, " + per(c.textureMods) +
           " texture colour/alpha mods, " + per(c.blendModes) + " blend-mode sets, " +
           per(c.drawColor) + " draw-colour sets, " + per(c.uploads) + " texture uploads, " +
           per(c.textureCreations) + " texture creations";
}

void BareDraw::StartRecording() {
    rec.ops.clear();
    rec.vertices.clear();
    rec.indices.clear();
    rec.points.clear();
    rec.rects.clear();
    rec.lastTexture.clear();
    rec.haveColor = false;
    rec.incomplete = false;
    rec.renderer = nullptr;
    rec.ops.reserve(1 << 14);
    rec.on = true;
}

int BareDraw::StopRecording() {
    rec.on = false;
    return static_cast<int>(rec.ops.size());
}

std::vector<std::uint32_t> BareDraw::ReadBack() const {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (rec.renderer == nullptr || SDL_GetRendererOutputSize(rec.renderer, &w, &h) != 0) {
        return pixels;
    }
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    if (SDL_RenderReadPixels(rec.renderer, nullptr, SDL_PIXELFORMAT_RGBA8888, pixels.data(),
                             w * 4) != 0) {
        pixels.clear();
    }
    return pixels;
}

SDL_Renderer* BareDraw::Renderer() const {
    return rec.renderer;
}
int BareDraw::Operations() const {
    return static_cast<int>(rec.ops.size());
}
bool BareDraw::Incomplete() const {
    return rec.incomplete;
}

bool BareDraw::Replay() {
    SDL_Renderer* r = rec.renderer;
    if (r == nullptr) {
        return false;
    }
    for (const Op& op : rec.ops) {
        if (op.setTexture && op.texture != nullptr) {
            __real_SDL_SetTextureColorMod(op.texture, op.tex.r, op.tex.g, op.tex.b);
            __real_SDL_SetTextureAlphaMod(op.texture, op.tex.a);
            __real_SDL_SetTextureBlendMode(op.texture, op.tex.blend);
        }
        if (op.setColor) {
            __real_SDL_SetRenderDrawColor(r, op.color.r, op.color.g, op.color.b, op.color.a);
            __real_SDL_SetRenderDrawBlendMode(r, op.drawBlend);
        }
        switch (op.kind) {
        case OpKind::Clear:
            __real_SDL_RenderClear(r);
            break;
        case OpKind::Copy:
            __real_SDL_RenderCopyExF(r, op.texture, op.hasSrc ? &op.src : nullptr,
                                     op.hasDst ? &op.dst : nullptr, op.angle,
                                     op.hasCenter ? &op.center : nullptr, op.flip);
            break;
        case OpKind::Geometry:
            __real_SDL_RenderGeometry(r, op.texture, rec.vertices.data() + op.first,
                                      static_cast<int>(op.count),
                                      op.indexCount ? rec.indices.data() + op.firstIndex : nullptr,
                                      static_cast<int>(op.indexCount));
            break;
        case OpKind::Lines:
            __real_SDL_RenderDrawLinesF(r, rec.points.data() + op.first,
                                        static_cast<int>(op.count));
            break;
        case OpKind::FillRects:
            __real_SDL_RenderFillRectsF(r, rec.rects.data() + op.first, static_cast<int>(op.count));
            break;
        case OpKind::Present:
            __real_SDL_RenderPresent(r);
            break;
        case OpKind::Viewport:
            __real_SDL_RenderSetViewport(r, op.hasRect ? &op.rect : nullptr);
            break;
        case OpKind::Clip:
            __real_SDL_RenderSetClipRect(r, op.hasRect ? &op.rect : nullptr);
            break;
        case OpKind::Scale:
            __real_SDL_RenderSetScale(r, op.sx, op.sy);
            break;
        }
    }
    return true;
}
