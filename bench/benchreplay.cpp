#include "bench/benchreplay.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <type_traits>
#include <variant>

namespace
{

SDL_Color sdlColor(std::uint32_t argb)
{
    return {static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
            static_cast<Uint8>(argb >> 24)};
}

SDL_BlendMode blendMode(const RasterState& state)
{
    if (!state.blendEnable)
    {
        return SDL_BLENDMODE_NONE;
    }
    return state.destBlend == D3DBLEND_ONE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
}

bool textured(const RasterState& state)
{
    return state.texture != nullptr && state.colorOp != D3DTOP_DISABLE;
}

// The processor time of this thread: on a shared machine the wall clock counts the other programs too.
double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

struct SdlReplay::Batch
{
    enum Kind
    {
        CLEAR,
        FILL,
        GEOMETRY,
        POINTS,
        LINES,
    };
    Kind kind;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    SDL_Texture* texture = nullptr;
    SDL_Color color{};
    SDL_Rect rect{};
    std::vector<SDL_Vertex> vertices; // triangles, points, or the two ends of each line
};

SdlReplay::SdlReplay(const RasterRecording& recording)
{
    const int width = recording.width;
    const int height = recording.height;
    mSurface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    mRenderer = SDL_CreateSoftwareRenderer(mSurface);
    const auto screen = [&](const RasterVertex& v, std::uint32_t color)
    {
        return SDL_Vertex{
            {(v.x / v.w + 1) * 0.5f * static_cast<float>(width), (1 - v.y / v.w) * 0.5f * static_cast<float>(height)},
            sdlColor(color),
            {v.u, v.v}};
    };
    const float largest = static_cast<float>(std::max(width, height)) / 2;
    const auto split = [&](auto& self, std::vector<SDL_Vertex>& out, const SDL_Vertex& a, const SDL_Vertex& b,
                           const SDL_Vertex& c, int depth) -> void
    {
        const auto length = [](const SDL_Vertex& p, const SDL_Vertex& q)
        { return std::hypot(p.position.x - q.position.x, p.position.y - q.position.y); };
        if (depth == 6 || std::max({length(a, b), length(b, c), length(c, a)}) <= largest)
        {
            out.insert(out.end(), {a, b, c});
            return;
        }
        const auto mid = [](const SDL_Vertex& p, const SDL_Vertex& q)
        {
            const auto channel = [](Uint8 x, Uint8 y) { return static_cast<Uint8>((x + y + 1) / 2); };
            return SDL_Vertex{{(p.position.x + q.position.x) / 2, (p.position.y + q.position.y) / 2},
                              {channel(p.color.r, q.color.r), channel(p.color.g, q.color.g),
                               channel(p.color.b, q.color.b), channel(p.color.a, q.color.a)},
                              {(p.tex_coord.x + q.tex_coord.x) / 2, (p.tex_coord.y + q.tex_coord.y) / 2}};
        };
        const SDL_Vertex ab = mid(a, b), bc = mid(b, c), ca = mid(c, a);
        self(self, out, a, ab, ca, depth + 1);
        self(self, out, ab, b, bc, depth + 1);
        self(self, out, ca, bc, c, depth + 1);
        self(self, out, ab, bc, ca, depth + 1);
    };

    RasterState state;
    const auto batchFor = [&](Batch::Kind kind)
    {
        SDL_Texture* texture = nullptr;
        if (kind == Batch::GEOMETRY && textured(state))
        {
            const RasterTexture& source = *state.texture;
            SDL_Texture*& slot = mTextures[source.texels];
            if (slot == nullptr)
            {
                const int w = 1 << source.widthLog2;
                const int h = 1 << source.heightLog2;
                std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * h);
                rasterReadTexels(source.texels, source.widthLog2,
                                 {0, 0, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}, rows.data(),
                                 static_cast<std::size_t>(w));
                slot = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
                SDL_UpdateTexture(slot, nullptr, rows.data(), w * 4);
            }
            texture = slot;
        }
        const SDL_BlendMode mode = blendMode(state);
        if (mBatches.empty() || mBatches.back()->kind != kind || mBatches.back()->mode != mode ||
            mBatches.back()->texture != texture)
        {
            mBatches.push_back(std::make_unique<Batch>(Batch{kind, mode, texture, {}, {}, {}}));
        }
        return mBatches.back().get();
    };
    for (const RasterRecording::Command& command : recording.commands)
    {
        std::visit(
            [&](const auto& c)
            {
                using C = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<C, RasterState>)
                {
                    state = c;
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Clear>)
                {
                    const SDL_Rect rect =
                        c.whole ? SDL_Rect{0, 0, width, height}
                                : SDL_Rect{c.rect.x1, c.rect.y1, c.rect.x2 - c.rect.x1, c.rect.y2 - c.rect.y1};
                    mBatches.push_back(std::make_unique<Batch>(Batch{c.whole ? Batch::CLEAR : Batch::FILL,
                                                                     SDL_BLENDMODE_NONE,
                                                                     nullptr,
                                                                     sdlColor(c.color),
                                                                     rect,
                                                                     {}}));
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Point>)
                {
                    batchFor(Batch::POINTS)->vertices.push_back(screen(c.vertex, c.vertex.color));
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Line>)
                {
                    Batch* batch = batchFor(Batch::LINES);
                    batch->vertices.push_back(screen(c.a, c.a.color));
                    batch->vertices.push_back(screen(c.b, c.a.color));
                }
                else
                {
                    const bool flat = state.shadeMode == D3DSHADE_FLAT;
                    Batch* batch = batchFor(Batch::GEOMETRY);
                    split(split, batch->vertices, screen(c.a, flat ? c.flatColor : c.a.color),
                          screen(c.b, flat ? c.flatColor : c.b.color), screen(c.c, flat ? c.flatColor : c.c.color), 0);
                }
            },
            command);
    }
}

SdlReplay::~SdlReplay()
{
    for (const auto& [texels, texture] : mTextures)
    {
        SDL_DestroyTexture(texture);
    }
    SDL_DestroyRenderer(mRenderer);
    SDL_FreeSurface(mSurface);
}

void SdlReplay::drawFrame()
{
    for (const std::unique_ptr<Batch>& batch : mBatches)
    {
        switch (batch->kind)
        {
        case Batch::CLEAR:
        case Batch::FILL:
            SDL_SetRenderDrawBlendMode(mRenderer, SDL_BLENDMODE_NONE);
            SDL_SetRenderDrawColor(mRenderer, batch->color.r, batch->color.g, batch->color.b, batch->color.a);
            batch->kind == Batch::CLEAR ? SDL_RenderClear(mRenderer) : SDL_RenderFillRect(mRenderer, &batch->rect);
            break;
        case Batch::GEOMETRY:
            if (batch->texture != nullptr)
            {
                SDL_SetTextureBlendMode(batch->texture, batch->mode);
            }
            else
            {
                SDL_SetRenderDrawBlendMode(mRenderer, batch->mode);
            }
            SDL_RenderGeometry(mRenderer, batch->texture, batch->vertices.data(),
                               static_cast<int>(batch->vertices.size()), nullptr, 0);
            break;
        case Batch::POINTS:
        case Batch::LINES:
        {
            SDL_SetRenderDrawBlendMode(mRenderer, batch->mode);
            const std::size_t step = batch->kind == Batch::POINTS ? 1 : 2;
            for (std::size_t i = 0; i + step <= batch->vertices.size(); i += step)
            {
                const SDL_Vertex& a = batch->vertices[i];
                SDL_SetRenderDrawColor(mRenderer, a.color.r, a.color.g, a.color.b, a.color.a);
                if (step == 1)
                {
                    SDL_RenderDrawPointF(mRenderer, a.position.x, a.position.y);
                }
                else
                {
                    const SDL_Vertex& b = batch->vertices[i + 1];
                    SDL_RenderDrawLineF(mRenderer, a.position.x, a.position.y, b.position.x, b.position.y);
                }
            }
            break;
        }
        }
    }
    SDL_RenderFlush(mRenderer);
}

std::uint64_t frameChecksum(const std::vector<std::uint32_t>& pixels)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint32_t pixel : pixels)
    {
        for (int shift = 0; shift < 24; shift += 8)
        {
            hash = (hash ^ ((pixel >> shift) & 0xFF)) * 1099511628211ull;
        }
    }
    return hash;
}

std::vector<std::uint32_t> replayFrame(const RasterRecording& recording, RasterPath path)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(recording.width) * recording.height, 0xFF000000u);
    Rasteriser rasteriser(path);
    rasteriser.setTarget({pixels.data(), recording.width, recording.height, recording.width});
    rasteriser.replay(recording);
    return pixels;
}

void checkFrame(benchmark::State& state, const RasterRecording& recording, const std::vector<std::uint32_t>* presented)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(recording.width) * recording.height, 0xFF000000u);
    Rasteriser rasteriser;
    rasteriser.setTarget({pixels.data(), recording.width, recording.height, recording.width});
    rasteriser.replay(recording);
    const std::uint64_t checksum = frameChecksum(pixels);
    char label[64];
    std::snprintf(label, sizeof label, "%dx%d %016llx", recording.width, recording.height,
                  static_cast<unsigned long long>(checksum));
    state.SetLabel(label);
    state.counters["screens"] =
        static_cast<double>(rasteriser.pixelCount()) / (static_cast<double>(recording.width) * recording.height);
    if (checksum != frameChecksum(replayFrame(recording, RasterPath::SCALAR)))
    {
        state.SkipWithError("the fastest path's pixels differ from the scalar path's");
    }
    else if (presented != nullptr && checksum != frameChecksum(*presented))
    {
        state.SkipWithError("the replayed frame differs from the presented one");
    }
}

void compareWithSdl(benchmark::State& state, const RasterRecording& recording)
{
    constexpr int TURNS = 7;
    constexpr int FRAMES = 10;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(recording.width) * recording.height);
    Rasteriser rasteriser;
    rasteriser.setTarget({pixels.data(), recording.width, recording.height, recording.width});
    SdlReplay sdl(recording);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int turn = 0; turn < TURNS; ++turn)
    {
        const double start = threadMilliseconds();
        for (int i = 0; i < FRAMES; ++i)
        {
            rasteriser.replay(recording);
            benchmark::ClobberMemory();
        }
        const double middle = threadMilliseconds();
        for (int i = 0; i < FRAMES; ++i)
        {
            sdl.drawFrame();
        }
        const double end = threadMilliseconds();
        ours.push_back((middle - start) / FRAMES);
        theirs.push_back((end - middle) / FRAMES);
    }
    state.counters["raster_ms"] = median(ours);
    state.counters["sdl_ms"] = median(theirs);
    state.counters["sdl/raster"] = median(theirs) / median(ours);
}
