// Frames of 5,000 textured sprites from eight textures, half of them with a text label, drawn by the
// engine's batched OpenGL device and, in the same run, by SDL2's own renderer with SDL_RenderGeometry.
// Two orders: "layered" (sprites grouped by texture, labels drawn after them, as the game's layers do) and
// "interleaved" (each label right after its sprite, so texture and state change between neighbours).
// Counters: draw calls per frame (the device's GL draw calls; for SDL, its geometry submissions) and the
// number of texture and state runs in the frame. Both sides read one pixel back before each swap, so a
// frame's time includes its rendering on either side. The CPU time is the whole process's, so that work a
// software renderer does on threads of its own counts. At the end the engine's times are given as a ratio
// of SDL's, wall and CPU, for each order (the median over repetitions with --benchmark_repetitions; with
// --benchmark_enable_random_interleaving the two sides also run in changing order).
#include <benchmark/benchmark.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Renderable.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"

namespace {
constexpr int SPRITES = 5000;
constexpr int TEXTURES = 8;
constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

std::uint32_t textureColor(int t) { return 0xFF000000u | (0x1F3F5Fu * static_cast<std::uint32_t>(t + 1)); }

V3 spritePlace(int i, double time)
{
    const float x = static_cast<float>((i * 37) % WIDTH - WIDTH / 2);
    const float y = static_cast<float>((i * 53) % HEIGHT - HEIGHT / 2);
    return {x + 10.0f * static_cast<float>(std::sin(time + i)), y, 0.0f};
}

// The label text of a sprite.
UString labelOf(int i) { return formatString(u"Apple %d", i % 50); }

// One process-wide set-up: the engine's graphics on one hidden window, SDL's renderer on another.
struct Bench {
    Bench()
    {
        ErrorManager::setThrowForTests(true);
        window = std::make_unique<OffscreenWindow>(WIDTH, HEIGHT);
        KivGraphics::Settings settings;
        settings.videoModeWidth = WIDTH;
        settings.videoModeHeight = HEIGHT;
        settings.bBilinearFilter = false;
        graphics = std::make_unique<KivGraphics>(window->window(), settings);
        for (int t = 0; t < TEXTURES; ++t) {
            MemoryImageFile image = MemoryImageFile::MemoryImageFileBlank(32, 32);
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    image.setPixel(x, y, ((x ^ y) & 8) ? textureColor(t) : 0x80FFFFFFu);
                }
            }
            textures.emplace_back(Texture::TextureFromImage(image, Texture::KEEP_IMAGE));
        }
        // A font of 96 glyphs (6 x 10) from raw codes 32 on, kept in memory for the string cache.
        MemoryImageFile glyphs = MemoryImageFile::MemoryImageFileBlank(96 * 6, 10);
        for (int x = 0; x < 96 * 6; ++x) {
            for (int y = 2; y < 9; ++y) {
                glyphs.setPixel(x, y, (x % 6) < 5 ? 0xFFFFFFFFu : 0u);
            }
        }
        fontPage.reset(Texture::TextureFromImage(glyphs, Texture::KEEP_IMAGE));
        fontPage->skins.clear();
        for (int g = 0; g < 96; ++g) {
            auto* q = new Quad();
            q->pTexture = fontPage.get();
            q->texLeft = g * 6.0f / (96 * 6);
            q->texRight = (g + 1) * 6.0f / (96 * 6);
            q->texTop = 0.0f;
            q->texBottom = 1.0f;
            q->rebuild();
            fontPage->skins.push_back(q);
        }
        font.addSourceTexture(fontPage.get(), 32, true);
        font.fontHeightRaw = 10;
        font.createFontCache();

        sdlWindow = SDL_CreateWindow("SDL", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        renderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_ACCELERATED);
        if (renderer == nullptr) {
            renderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_SOFTWARE);
        }
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer, &info);
        rendererName = info.name != nullptr ? info.name : "?";
        for (int t = 0; t < TEXTURES; ++t) {
            const MemoryImageFile& image = *textures[t]->getImage();
            SDL_Texture* tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 32, 32);
            SDL_UpdateTexture(tex, nullptr, image.getPixels(), 32 * 4);
            SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
            sdlTextures.push_back(tex);
        }
        // SDL draws each label as one quad of a pre-rendered label atlas (what the engine's string cache does).
        labelAtlas = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 512, 512);
        std::vector<std::uint32_t> white(512 * 512, 0xFFFFFFFFu);
        SDL_UpdateTexture(labelAtlas, nullptr, white.data(), 512 * 4);
        SDL_SetTextureBlendMode(labelAtlas, SDL_BLENDMODE_BLEND);
        graphics->getDevice().makeCurrent();
    }

    ~Bench()
    {
        for (SDL_Texture* t : sdlTextures) {
            SDL_DestroyTexture(t);
        }
        SDL_DestroyTexture(labelAtlas);
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(sdlWindow);
        graphics->getDevice().makeCurrent();
    }

    // The engine's scene: a context with the sprites and labels as its children.
    std::unique_ptr<Context> buildScene(bool interleaved)
    {
        auto context = std::make_unique<Context>();
        std::vector<Renderable*> sprites;
        std::vector<TextSprite*> labels;
        for (int i = 0; i < SPRITES; ++i) {
            const int t = interleaved ? i % TEXTURES : i * TEXTURES / SPRITES;
            auto* sprite = new Renderable();
            sprite->setSkin(textures[t]->skins[0]);
            sprite->setPosition(spritePlace(i, 0.0));
            sprites.push_back(sprite);
            TextSprite* label = nullptr;
            if (i % 2 == 0) {
                label = new TextSprite(spritePlace(i, 0.0), labelOf(i), &font, UColor(0xFFFFFFFFu));
                label->bShadow = false;
                labels.push_back(label);
            }
            if (interleaved) {
                context->appendChild(sprite);
                if (label != nullptr) {
                    context->appendChild(label);
                }
            }
        }
        if (!interleaved) {
            for (Renderable* s : sprites) {
                context->appendChild(s);
            }
            for (TextSprite* l : labels) {
                context->appendChild(l);
            }
        }
        return context;
    }

    std::unique_ptr<OffscreenWindow> window;
    std::unique_ptr<KivGraphics> graphics;
    std::vector<std::unique_ptr<Texture>> textures;
    std::unique_ptr<Texture> fontPage;
    FontQuad font;
    SDL_Window* sdlWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::string rendererName;
    std::vector<SDL_Texture*> sdlTextures;
    SDL_Texture* labelAtlas = nullptr;
};

Bench& bench()
{
    static Bench instance;
    return instance;
}

void engineFrames(benchmark::State& state, bool interleaved)
{
    Bench& b = bench();
    b.graphics->getDevice().makeCurrent();
    std::unique_ptr<Context> scene = b.buildScene(interleaved);
    double time = 0.0;
    double drawCalls = 0.0;
    for (auto _ : state) {
        time += 1.0 / 60.0;
        // The sprites move (the labels stay).
        int i = 0;
        for (KivBase* child = scene->getFirstChild(); child != nullptr; child = child->getNext()) {
            if (child->getClass() == &Renderable::classRecord) {
                static_cast<Renderable*>(child)->setPosition(spritePlace(i++, time));
            }
        }
        b.graphics->getDevice().resetStats();
        b.graphics->beginScene();
        scene->renderEntry();
        b.graphics->endScene();
        drawCalls += b.graphics->getDevice().stats().drawCalls;
        // The frame's time includes its rendering: as on SDL's side, one pixel is read back before the swap.
        benchmark::DoNotOptimize(b.graphics->getDevice().readPixels(0, 0, 1, 1));
        b.graphics->present();
    }
    state.counters["draw_calls_per_frame"] = drawCalls / static_cast<double>(state.iterations());
    state.counters["runs_per_frame"] = interleaved ? SPRITES + SPRITES / 2 : TEXTURES + 1;
}

void sdlFrames(benchmark::State& state, bool interleaved)
{
    Bench& b = bench();
    const float hw = 16.0f;
    double time = 0.0;
    double calls = 0.0;
    const int indices[6] = {0, 1, 2, 1, 3, 2};
    for (auto _ : state) {
        time += 1.0 / 60.0;
        SDL_SetRenderDrawColor(b.renderer, 0, 0, 0, 255);
        SDL_RenderClear(b.renderer);
        int submitted = 0;
        auto sprite = [&](int i) {
            const int t = interleaved ? i % TEXTURES : i * TEXTURES / SPRITES;
            const V3 p = spritePlace(i, time);
            const float sx = p.x + WIDTH / 2, sy = HEIGHT / 2 - p.y;
            const SDL_Vertex v[4] = {{{sx - hw, sy - hw}, {255, 255, 255, 255}, {0, 0}},
                                     {{sx + hw, sy - hw}, {255, 255, 255, 255}, {1, 0}},
                                     {{sx - hw, sy + hw}, {255, 255, 255, 255}, {0, 1}},
                                     {{sx + hw, sy + hw}, {255, 255, 255, 255}, {1, 1}}};
            SDL_RenderGeometry(b.renderer, b.sdlTextures[t], v, 4, indices, 6);
            ++submitted;
        };
        auto label = [&](int i) {
            const V3 p = spritePlace(i, 0.0);
            const float sx = p.x + WIDTH / 2, sy = HEIGHT / 2 - p.y;
            const float w = 6.0f * static_cast<float>(labelOf(i).size());
            const float u = static_cast<float>(i % 50) / 64.0f;
            const SDL_Vertex v[4] = {{{sx - w / 2, sy}, {255, 255, 255, 255}, {0, u}},
                                     {{sx + w / 2, sy}, {255, 255, 255, 255}, {w / 512, u}},
                                     {{sx - w / 2, sy + 10}, {255, 255, 255, 255}, {0, u + 10.0f / 512}},
                                     {{sx + w / 2, sy + 10}, {255, 255, 255, 255}, {w / 512, u + 10.0f / 512}}};
            SDL_RenderGeometry(b.renderer, b.labelAtlas, v, 4, indices, 6);
            ++submitted;
        };
        if (interleaved) {
            for (int i = 0; i < SPRITES; ++i) {
                sprite(i);
                if (i % 2 == 0) {
                    label(i);
                }
            }
        } else {
            for (int i = 0; i < SPRITES; ++i) {
                sprite(i);
            }
            for (int i = 0; i < SPRITES; i += 2) {
                label(i);
            }
        }
        // The frame's time includes its rendering: as on the engine's side, one pixel is read back.
        const SDL_Rect corner{0, 0, 1, 1};
        std::uint32_t pixel = 0;
        SDL_RenderReadPixels(b.renderer, &corner, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        benchmark::DoNotOptimize(pixel);
        SDL_RenderPresent(b.renderer);
        calls += submitted;
    }
    state.counters["draw_calls_per_frame"] = calls / static_cast<double>(state.iterations());
    state.SetLabel("SDL renderer: " + b.rendererName);
    b.graphics->getDevice().makeCurrent();
}

void BM_Engine_Layered(benchmark::State& state) { engineFrames(state, false); }
void BM_SDL_Layered(benchmark::State& state) { sdlFrames(state, false); }
void BM_Engine_Interleaved(benchmark::State& state) { engineFrames(state, true); }
void BM_SDL_Interleaved(benchmark::State& state) { sdlFrames(state, true); }

// The console's report, then the engine's wall and CPU time per frame as a ratio of SDL's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                const double n = static_cast<double>(run.iterations);
                Times& t = times[run.run_name.function_name];
                t.wall.push_back(run.real_accumulated_time / n);
                t.cpu.push_back(run.cpu_accumulated_time / n);
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const char* order : {"Layered", "Interleaved"}) {
            const auto engine = times.find(std::string("BM_Engine_") + order);
            const auto sdl = times.find(std::string("BM_SDL_") + order);
            if (engine == times.end() || sdl == times.end()) {
                continue;
            }
            std::printf("%s: engine/SDL wall %.2fx (%.2f / %.2f ms), CPU %.2fx (%.2f / %.2f ms)\n", order,
                        median(engine->second.wall) / median(sdl->second.wall), 1e3 * median(engine->second.wall),
                        1e3 * median(sdl->second.wall), median(engine->second.cpu) / median(sdl->second.cpu),
                        1e3 * median(engine->second.cpu), 1e3 * median(sdl->second.cpu));
        }
    }

private:
    struct Times {
        std::vector<double> wall, cpu; // seconds per frame, one per repetition
    };
    static double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        const std::size_t half = values.size() / 2;
        return values.size() % 2 != 0 ? values[half] : (values[half - 1] + values[half]) / 2.0;
    }
    std::map<std::string, Times> times;
};
} // namespace

BENCHMARK(BM_Engine_Layered)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SDL_Layered)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Engine_Interleaved)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SDL_Interleaved)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
