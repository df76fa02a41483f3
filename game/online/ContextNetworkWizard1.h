#pragma once
// The first page of the network wizard: tests the connection with one request to the web host, shows the
// reply, stores the master server's address the reply may name, and leads on to the network configuration
// page. In full screen it can first switch the game to a window, so that a firewall question can be seen.
#include <cstdint>
#include <optional>
#include <vector>

#include "game/online/WizardPage.h"

class MenuToggleItem;

class ContextNetworkWizard1 : public WizardPage {
public:
    ContextNetworkWizard1();
    ~ContextNetworkWizard1() override;

    void tickContents(double time, double dt) override;

    // True when the first four bytes (or all, when fewer) are printable ASCII; true for no bytes.
    static bool isPrintableReply(const unsigned char* bytes, std::size_t size);
    // The payload of a binary reply: magic 0x01020304, payload length, MD5 of the payload, payload; none
    // when any of them does not hold.
    static std::optional<std::vector<unsigned char>> decodeEnvelope(const unsigned char* bytes, std::size_t size);

    static constexpr uint32_t ENVELOPE_MAGIC = 0x01020304u;
    static constexpr std::size_t ENVELOPE_HEADER = 24;

    MenuButton* pHelpButton = nullptr;
    MenuToggleItem* pDesktopToggle = nullptr;
    bool bSavedFullScreen = false;
    bool bRunOnDesktop = false;
    // Why the game's UDP port could not be opened around the test (empty when it could).
    UString udpError;

private:
    void startTest();
    void handleReply();
    void restoreFullScreen();
};
