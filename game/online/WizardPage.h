#pragma once
// What the online wizard pages share: the title at the top, the status lines in the middle, Cancel at the
// bottom left and Next at the bottom right, the intro backdrop, and the one HTTP request a page owns. The
// page polls the request once per frame and handles each result once; the main thread never waits on it.
#include <memory>

#include "engine/core/UString.h"
#include "engine/http/HttpRequest.h"
#include "game/menus/ContextMenu.h"

class MenuBackButton;
class MenuButton;
class MessageViewer;

class WizardPage : public ContextMenu {
public:
    explicit WizardPage(int titleId);
    ~WizardPage() override;

    // The maker's web host (".cfg.static" [Network] webHost).
    static UString webHost();
    // Time-outs of the requests made from now on, in seconds.
    static inline double connectTimeout = 15.0;
    static inline double transferTimeout = 60.0;

    MessageViewer* pViewer = nullptr;
    MenuBackButton* pCancelButton = nullptr;
    MenuButton* pNextButton = nullptr;
    std::unique_ptr<HttpRequest> pRequest;

protected:
    // A new request to the web host with the standard fields, not yet started.
    void makeRequest(const char16_t* path);
    // The request's result once: STATE_DONE or STATE_FAILED (consumed), else STATE_IDLE.
    int takeRequestResult();
    void addText(int id);
    // Every line of the reply, decoded and shown as plain text.
    void showReplyLines();
    // The request's error text and the advice to check the connection.
    void showFailure();
    // An upload's outcome once it has one: the reply and Finish, or the failure.
    void showUploadOutcome();
};
