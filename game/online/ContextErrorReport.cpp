#include "game/online/ContextErrorReport.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "engine/core/Format.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/online/CrashFiles.h"
#include "game/online/MessageViewer.h"

namespace {
bool networkConfigured()
{
    const Global* global = Global::instance();
    return global != nullptr && global->config.bNetworkConfigured != 0;
}

// The whole file, or false when it is gone or cannot be read.
bool readWhole(const UString& path, std::vector<char>& bytes)
{
    std::ifstream in(wideToUtf8(path), std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
} // namespace

ContextErrorReport::ContextErrorReport() : WizardPage(STR_ERRORREPORTTITLE)
{
    addText(STR_ERRORREPORTINTRO1);
    addText(STR_ERRORREPORTINTRO2);
    addText(STR_ERRORREPORTINTRO3);
    if (!networkConfigured()) {
        pViewer->addMessage(UString());
        addText(STR_ERRORREPORTWIZARD1);
        addText(STR_ERRORREPORTWIZARD2);
        pNetworkWizardButton = new MenuButton(0.0f, static_cast<float>(-cornerY), 0.0f,
                                              MenuSupport::text(STR_NETWORKWIZARDDOTS), UString());
        addItem(pNetworkWizardButton);
        keepToEdges(pNetworkWizardButton, false, true);
    }
}

ContextErrorReport::~ContextErrorReport()
{
    if (networkConfigured()) {
        CrashFiles::removeAll();
    }
}

void ContextErrorReport::onActivate(bool firstActivation)
{
    ContextMenu::onActivate(firstActivation);
    const bool configured = networkConfigured();
    pNextButton->bDisabled = !configured;
    if (pNetworkWizardButton != nullptr) {
        pNetworkWizardButton->bDisabled = configured;
    }
}

void ContextErrorReport::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    showUploadOutcome();
    if (pNetworkWizardButton != nullptr && pNetworkWizardButton->takeClick()) {
        MenuSupport::pushScreen(new ContextNetworkWizard1());
    }
    if (pNextButton->takeClick()) {
        if (!pRequest) {
            startUpload();
        } else {
            bClosed = true;
        }
    }
}

void ContextErrorReport::startUpload()
{
    pNextButton->bDisabled = true;
    makeRequest(u"/tobble/crashreport.php");
    const Kiv* engine = Kiv::instance();
    const bool debugLines = engine == nullptr || !engine->bRelease;
    struct Part {
        UString path;
        const char16_t* name;
    };
    const Part parts[] = {{getCrashLogPath(), u"crashLog"},
                          {getCrashDumpPath(), u"crashMiniDump"},
                          {getCrashScreenshotPath(), u"crashScreenshot"},
                          {getCrashTrafficPath(), u"crashNetTraffic"}};
    long long total = 0;
    for (const Part& part : parts) {
        // A file that went away since the start is simply left out.
        std::vector<char> bytes;
        if (!FileManager::existsDisk(part.path) || !readWhole(part.path, bytes)) {
            continue;
        }
        pRequest->addFormPart(bytes.data(), bytes.size(), part.name, part.path);
        total += static_cast<long long>(bytes.size());
        if (debugLines) {
            pViewer->addMessage(UString(u"DEBUG: Adding ") + part.name);
        }
    }
    pViewer->addMessage(formatString(MenuSupport::text(STR_ERRORREPORTUPLOADING), formatNumber(total)));
    addText(STR_ERRORREPORTPLEASEWAIT);
    pRequest->start();
}
