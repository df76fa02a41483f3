#pragma once
// The score upload: sends the local high-score table to the web host's world-wide tables and shows the
// server's answer. Next starts the upload, Finish closes the page once the answer is in; the local table
// is never changed by the answer.
#include "game/online/WizardPage.h"

class ContextScoreUpload : public WizardPage {
public:
    ContextScoreUpload();

    void tickContents(double time, double dt) override;

private:
    void startUpload();
};
