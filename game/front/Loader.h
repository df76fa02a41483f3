#pragma once
// The loading screen: runs the loading steps of the resource catalogue with at most a quarter of a
// second of work per frame and shows their progress; the language step may put the language screen on
// top, and the last step starts the rest of the front end and closes the loader.
#include <functional>

#include "engine/core/UString.h"
#include "engine/render/Context.h"
#include "game/resources/ResourceCatalogue.h"

class KivBase;
class LoaderProgressBar;
class Texture;

class Loader : public Context {
public:
    static constexpr double TIME_BUDGET = 0.25;

    Loader();
    ~Loader() override;

    void tickContents(double time, double dt) override;
    // With countOnly: the number of steps, nothing done. Otherwise performs the next step and returns
    // its number; after the last step it does nothing and returns the last number.
    int loadStuff(bool countOnly);

    // Appends the resource under the Global's resource holder and registers it under the name.
    static void addResource(KivBase* resource, const UString& name);
    // Registers the texture and each of its frames as "name:i".
    static void addTexture(Texture* texture, const UString& name);
    // Loads the glyph pages, extra pages and code-point table of a font for a code page (empty: the
    // current language's) from that code page's archive; a code page without pages falls back to 1252.
    // With prefetch the files are only opened (archive-building mode records them).
    static void fontRes(bool prefetch, const UString& base, const UString& prefix, const UString& fileName,
                        const UString& codePage);

    LoaderProgressBar* pProgressBar = nullptr;
    int totalSteps = 0;
    bool bOneStep = true;
    int currentStep = 0;

    // Told before (true) and after (false) each step; the benchmark times the steps with it.
    std::function<void(int step, bool starting)> stepObserver;

private:
    static double clock();
    void runStep(int step);
    void loadCatalogueEntries(int step);
    void loadTexture(const ResourceCatalogue::TextureEntry& entry);
    void recordLevelFiles();
    void chooseLanguage();
    void buildFont(const ResourceCatalogue::FontEntry& entry);
};
