#include "game/options/ContextHelp.h"

#include <filesystem>

#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/MenuSupport.h"

UString ContextHelp::makerPage(const UString& path)
{
    const Kiv* engine = Kiv::instance();
    UString host = engine != nullptr ? engine->webHost : UString();
    if (host.find(u"://") == UString::npos) {
        host = u"http://" + host;
    }
    while (!host.empty() && host.back() == u'/') {
        host.pop_back();
    }
    return host + path;
}

UString ContextHelp::documentationPath()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(getDataFolder(), error);
    if (error) {
        folder = getDataFolder();
    }
    return utf8ToWide((folder / "readme.htm").lexically_normal().string());
}

ContextHelp::ContextHelp() : ContextOptionPage(STR_HELPTITLE)
{
    pDocumentationButton = new MenuLinkButton(0.0f, row(1), 0.0f, MenuSupport::text(STR_DOCUMENTATION),
                                              MenuSupport::text(STR_DOCUMENTATIONHINT));
    pDocumentationButton->url = documentationPath();
    addItem(pDocumentationButton);
    pOnlineHelpButton = new MenuLinkButton(0.0f, row(0), 0.0f, MenuSupport::text(STR_ONLINEHELP),
                                           MenuSupport::text(STR_ONLINEHELPHINT));
    pOnlineHelpButton->url = makerPage(u"/tobble/onlinehelp.php");
    addItem(pOnlineHelpButton);
    addBackButton();
}
