#include "game/online/ContextScoreUpload.h"

#include "engine/core/Format.h"
#include "engine//kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/MessageViewer.h"
#include "game/online/ScoreUploadData.h"

ContextScoreUpload::ContextScoreUpload() : WizardPage(STR_UPLOADSCORES)
{
    addText(STR_UPLOADTEXT1);
    addText(STR_UPLOADTEXT2);
    addText(STR_UPLOADTEXT3);
    const Kiv* engine = Kiv::instance();
    if (engine == nullptr || !engine->bRelease) {
        pViewer->addMessage(formatString(u"Debug: sizeof(ScoreUploadData)=%d, mod8=%d",
                                         static_cast<int>(sizeof(ScoreUploadData)),
                                         static_cast<int>(sizeof(ScoreUploadData) % 8)));
    }
}

void ContextScoreUpload::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    showUploadOutcome();
    if (pNextButton->takeClick()) {
        if (!pRequest) {
            startUpload();
        } else {
            bClosed = true;
        }
    }
}

void ContextScoreUpload::startUpload()
{
    const Global* global = Global::instance();
    if (global == nullptr) {
        return;
    }
    pNextButton->bDisabled = true;
    const ScoreUploadData data = ScoreUploadData::fromConfiguration(global->config);
    addText(STR_STARTINGDOTS);
    makeRequest(u"/tobble/highscoreupload.php");
    pRequest->addFormPart(&data, sizeof data, u"HSTfile", GameConfiguration::getHighScoreFileName());
    pRequest->start();
}
