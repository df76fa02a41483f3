#include "game/online/ContextNetworkWizard1.h"

#include <cstdio>
#include <cstring>

#include "engine/core/Logger.h"
#include "engine/files/Md5.h"
#include "engine/files/MemoryIniFile.h"
#include "engine/net/NetConnection.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuToggleItem.h"
#include "game/online/ContextNetworkConfig.h"
#include "game/online/MessageViewer.h"
#include "game/options/ContextHelp.h"

namespace {
uint32_t readLe32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// "a.b.c.d:port" with all five numbers present.
bool looksLikeAddress(const UString& value)
{
    int a = 0, b = 0, c = 0, d = 0, port = 0;
    return std::sscanf(wideToUtf8(value).c_str(), "%d.%d.%d.%d:%d", &a, &b, &c, &d, &port) == 5;
}
} // namespace

ContextNetworkWizard1::ContextNetworkWizard1() : WizardPage(STR_NETWORKWIZARD)
{
    Global* global = Global::instance();
    bSavedFullScreen = global != nullptr && global->config.bFullScreen != 0;
    bRunOnDesktop = global == nullptr || global->config.bNetworkConfigured == 0;

    addText(STR_NETTESTINTRO1);
    pViewer->addMessage(UString());
    addText(STR_NETTESTINTRO2);
    addText(STR_NETTESTINTRO3);
    addText(STR_NETTESTINTRO4);

    pHelpButton = new MenuButton(0.0f, static_cast<float>(-cornerY), 0.0f, MenuSupport::text(STR_HELP), UString());
    pHelpButton->setWidth(160);
    addItem(pHelpButton);
    keepToEdges(pHelpButton, false, true);
    pDesktopToggle = new MenuToggleItem(static_cast<float>(cornerX - 80), static_cast<float>(rowHeight - cornerY),
                                        0.0f, &bRunOnDesktop, MenuSupport::text(STR_RUNTESTONDESKTOP),
                                        MenuSupport::text(STR_RUNTESTONDESKTOPHINT));
    addItem(pDesktopToggle);
    keepToEdges(pDesktopToggle, true, true);
    if (!bSavedFullScreen) {
        pDesktopToggle->bDisabled = true;
        pDesktopToggle->bHidden = true;
    }
}

ContextNetworkWizard1::~ContextNetworkWizard1() { restoreFullScreen(); }

void ContextNetworkWizard1::restoreFullScreen()
{
    Global* global = Global::instance();
    if (global == nullptr || (global->config.bFullScreen != 0) == bSavedFullScreen) {
        return;
    }
    global->config.bFullScreen = bSavedFullScreen ? 1 : 0;
    global->applySettings(-1, -1);
}

void ContextNetworkWizard1::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    const int result = takeRequestResult();
    if (result == HttpRequest::STATE_FAILED) {
        showFailure();
        addText(STR_NETTESTFAIL1);
        pNextButton->bDisabled = false;
    } else if (result == HttpRequest::STATE_DONE) {
        addText(STR_NETTESTSUCCESS);
        handleReply();
        addText(STR_DONEDOT);
        pNextButton->bDisabled = false;
    }

    if (pNextButton->takeClick()) {
        if (!pRequest) {
            startTest();
        } else {
            bClosed = true;
            restoreFullScreen();
            MenuSupport::pushScreen(new ContextNetworkConfig());
        }
    }
    if (pHelpButton->takeClick()) {
        MenuSupport::pushScreen(new ContextHelp());
    }
}

void ContextNetworkWizard1::startTest()
{
    Global* global = Global::instance();
    pDesktopToggle->bDisabled = true;
    pDesktopToggle->bHidden = true;
    if (global != nullptr) {
        NetAddress none(0, 0);
        global->config.masterServer = none;
        if (bRunOnDesktop && global->config.bFullScreen != 0) {
            // First to a window; the test starts at the next press.
            global->config.bFullScreen = 0;
            global->applySettings(-1, -1);
            return;
        }
    }
    pNextButton->bDisabled = true;
    addText(STR_STARTINGDOTS);
    // The game's UDP port is opened around the start, so that a firewall asks about it now. A port held
    // by another program only costs this line; the HTTP test goes on.
    std::unique_ptr<NetConnection> endpoint = NetConnection::tryBind(NetAddress(0, NetAddress::DEFAULT_PORT), udpError);
    if (!endpoint) {
        pViewer->addMessage(udpError);
    }
    makeRequest(u"/tobble/nettest.php");
    pRequest->start();
}

void ContextNetworkWizard1::handleReply()
{
    const unsigned char* bytes = pRequest->data;
    const std::size_t size = bytes != nullptr ? pRequest->size : 0;
    if (size >= 4 && readLe32(bytes) == ENVELOPE_MAGIC) {
        const std::optional<std::vector<unsigned char>> payload = decodeEnvelope(bytes, size);
        if (!payload) {
            Logger::logFrom("ContextNetworkWizard1::tickContents", u"Could not decode reply!");
            return;
        }
        const MemoryIniFile ini = MemoryIniFile::fromText(payload->data(), payload->size());
        if (ini.keyExists(u"", u"masterServer")) {
            const UString value = ini.getString(u"", u"masterServer");
            if (looksLikeAddress(value) && Global::instance() != nullptr) {
                NetAddress address;
                address.setFromString(value);
                Global::instance()->config.masterServer = address;
            }
        }
        if (ini.keyExists(u"", u"message")) {
            pViewer->addMessage(networkText(ini.getString(u"", u"message")));
        }
        return;
    }
    if (size > 0 && isPrintableReply(bytes, size)) {
        showReplyLines();
        return;
    }
    Logger::logFrom("ContextNetworkWizard1::tickContents", u"Received unprintable reply!");
}

bool ContextNetworkWizard1::isPrintableReply(const unsigned char* bytes, std::size_t size)
{
    const std::size_t count = size < 4 ? size : 4;
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] < 0x20 || bytes[i] > 0x7F) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<unsigned char>> ContextNetworkWizard1::decodeEnvelope(const unsigned char* bytes,
                                                                               std::size_t size)
{
    if (bytes == nullptr || size < ENVELOPE_HEADER || readLe32(bytes) != ENVELOPE_MAGIC) {
        return std::nullopt;
    }
    const uint32_t length = readLe32(bytes + 4);
    if (length != size - ENVELOPE_HEADER) {
        return std::nullopt;
    }
    const unsigned char* payload = bytes + ENVELOPE_HEADER;
    const Md5Digest digest = md5Digest(payload, length);
    if (!md5Equal(digest.data(), bytes + 8)) {
        return std::nullopt;
    }
    return std::vector<unsigned char>(payload, payload + length);
}
