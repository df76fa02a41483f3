#pragma once
// The crash-report page, offered at start-up when the last run left a crash log or dump behind. Next
// sends the crash files that exist to the web host in one multipart POST and shows the reply; it is
// usable only once the network wizard has been finished, which the page offers to run first, and it is
// enabled whenever the page comes back on top with the network configured. When the page goes and the
// network is configured, the crash files are removed; otherwise they stay and the offer comes again at
// the next start.
#include "game/online/WizardPage.h"

class ContextErrorReport : public WizardPage {
public:
    ContextErrorReport();
    ~ContextErrorReport() override;

    void onActivate(bool firstActivation) override;
    void tickContents(double time, double dt) override;

    MenuButton* pNetworkWizardButton = nullptr; // only while the network was not configured

private:
    void startUpload();
};
