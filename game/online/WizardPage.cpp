#include "game/online/WizardPage.h"

#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/MessageViewer.h"

WizardPage::WizardPage(int titleId)
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    auto* title = new TextSprite(0.0f, static_cast<float>(cornerY), 0.0f, MenuSupport::text(titleId),
                                 MenuSupport::font(MenuSupport::FONT_LARGE), UColor(0xFFFFFFFFu));
    title->flags = 5 + 16;
    appendChild(title);

    pViewer = new MessageViewer();
    pViewer->position = V3(0.0f, -0.5f * static_cast<float>(pViewer->maxLines) * pViewer->lineStep, 0.0f);
    appendChild(pViewer);

    pCancelButton = new MenuBackButton(static_cast<float>(80 - cornerX), static_cast<float>(-cornerY), 0.0f,
                                       MenuSupport::text(STR_CANCEL), UString());
    pCancelButton->setWidth(160);
    addItem(pCancelButton);
    pNextButton = new MenuButton(static_cast<float>(cornerX - 80), static_cast<float>(-cornerY), 0.0f,
                                 MenuSupport::text(STR_NEXT), UString());
    pNextButton->setWidth(160);
    addItem(pNextButton);
}

// A request still running is safe to let go: its worker keeps what it writes to alive until it ends.
WizardPage::~WizardPage() = default;

UString WizardPage::webHost()
{
    const Kiv* engine = Kiv::instance();
    return engine != nullptr ? engine->webHost : UString(u"localhost");
}

void WizardPage::makeRequest(const char16_t* path)
{
    pRequest = std::make_unique<HttpRequest>(webHost(), path);
    pRequest->connectTimeout = connectTimeout;
    pRequest->transferTimeout = transferTimeout;
    pRequest->addStandardFields();
}

int WizardPage::takeRequestResult()
{
    if (!pRequest) {
        return HttpRequest::STATE_IDLE;
    }
    const int state = pRequest->state.load(std::memory_order_acquire);
    if (state != HttpRequest::STATE_DONE && state != HttpRequest::STATE_FAILED) {
        return HttpRequest::STATE_IDLE;
    }
    pRequest->state.store(HttpRequest::STATE_IDLE, std::memory_order_release);
    return state;
}

void WizardPage::addText(int id) { pViewer->addMessage(MenuSupport::text(id)); }

void WizardPage::showReplyLines()
{
    if (pRequest->data == nullptr || pRequest->size == 0) {
        return;
    }
    // Each line is at least one display line, so only the last lines the viewer keeps can be seen: the
    // lines before them are not wrapped or kept at all.
    const UString text = decodeTextBuffer(pRequest->data, pRequest->size);
    std::size_t start = 0;
    std::size_t end = text.size();
    for (uint32_t kept = 0; kept < pViewer->maxLines; ++kept) {
        const std::size_t feed = end == 0 ? UString::npos : text.rfind(u'\n', end - 1);
        if (feed == UString::npos) {
            start = 0; // the reply has no more lines than are shown
            break;
        }
        start = feed + 1;
        end = feed;
    }
    for (const UString& line : splitLines(UStringView(text).substr(start))) {
        pViewer->addMessage(networkText(line));
    }
}

void WizardPage::showFailure()
{
    pViewer->addMessage(networkText(pRequest->errorText));
    addText(STR_CHECKCONNECTION);
}

void WizardPage::showUploadOutcome()
{
    const int result = takeRequestResult();
    if (result == HttpRequest::STATE_DONE) {
        addText(STR_CONNECTED);
        showReplyLines();
        addText(STR_DONEDOT);
        pNextButton->caption = MenuSupport::text(STR_FINISH);
        pNextButton->bDisabled = false;
    } else if (result == HttpRequest::STATE_FAILED) {
        showFailure();
        addText(STR_FAILED);
    }
}
