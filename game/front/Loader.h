#pragma once
// The loading screen: runs the loading steps of the resource catalogue with at most a quarter of a
// second of work per frame and shows their progress; the language step may put the language screen on
// top, and the last step starts the rest of the front end and closes the loader.
#include "engine/core/UString.h"
#include "engine/render/Context.h"

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

    LoaderProgressBar* pProgressBar = nullptr;
    int totalSteps = 0;
    bool bOneStep = true;
    int currentStep = 0;
};
