#include "game/online/WizardPage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/MessageViewer.h"

namespace {
// Where the last `count` lines of the text begin (0 when it has no more lines than that).
template <typename Char>
std::size_t lastLinesStart(std::basic_string_view<Char> text, uint32_t count)
{
    std::size_t start = 0;
    std::size_t end = text.size();
    for (uint32_t kept = 0; kept < count; ++kept) {
        const std::size_t feed = end == 0 ? text.npos : text.rfind(Char('\n'), end - 1);
        if (feed == text.npos) {
            return 0;
        }
        start = feed + 1;
        end = feed;
    }
    return start;
}
} // namespace

WizardPage::WizardPage(int titleId)
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    addTitle(titleId);

    pViewer = new MessageViewer();
    pViewer->position = V3(0.0f, -0.5f * static_cast<float>(pViewer->maxLines) * pViewer->lineStep, 0.0f);
    appendChild(pViewer);

    pCancelButton = addBackButton(STR_CANCEL);
    pNextButton = new MenuButton(static_cast<float>(cornerX - 80), static_cast<float>(-cornerY), 0.0f,
                                 MenuSupport::text(STR_NEXT), UString());
    pNextButton->setWidth(160);
    addItem(pNextButton);
    keepToEdges(pNextButton, true, true);
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
    const unsigned char* bytes = pRequest->data;
    std::size_t size = pRequest->size;
    if (bytes == nullptr || size == 0) {
        return;
    }
    // Each line is at least one display line, so only the last lines the viewer keeps can be seen: the
    // lines before them are not decoded, wrapped or kept at all. In a reply not in UTF-16 a newline byte is
    // a newline of the text (no UTF-8 sequence holds one), so they are found before decoding, which ends at
    // the first NUL; a reply of a single line needs no search back from its end.
    std::size_t start = 0;
    const bool utf16 = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    if (!utf16) {
        if (const void* nul = std::memchr(bytes, 0, size)) {
            size = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - bytes);
        }
        const std::string_view raw(reinterpret_cast<const char*>(bytes), size);
        start = raw.find('\n') == raw.npos ? 0 : lastLinesStart(raw, pViewer->maxLines);
    }
    // The whole reply keeps its byte order mark; a part of it is plain UTF-8.
    const UString text = start == 0 ? decodeTextBuffer(bytes, size)
                                    : utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes) + start,
                                                                  size - start));
    UStringView shown(text);
    if (utf16) {
        shown.remove_prefix(lastLinesStart(shown, pViewer->maxLines));
    }
    // Each line as it lies in the text: network text drops a line's carriage return with the other
    // control characters.
    for (std::size_t lineStart = 0; lineStart <= shown.size();) {
        const std::size_t feed = std::min(shown.find(u'\n', lineStart), shown.size());
        pViewer->addMessage(networkText(shown.substr(lineStart, feed - lineStart)));
        lineStart = feed + 1;
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
