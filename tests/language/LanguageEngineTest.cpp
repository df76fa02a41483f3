// The store as the engine builds it: the mask comes from the static configuration and the key names land
// in the engine's input system.
#include <gtest/gtest.h>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "support/KivHarness.h"

namespace {

class LanguageInEngine : public ::testing::Test {
protected:
    void SetUp() override { Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine); }
    void TearDown() override { Kiv::setLanguageFactory(nullptr, nullptr); }
};

TEST_F(LanguageInEngine, MaskAndKeyNamesGoThroughTheEngine)
{
    KivHarness h("[Language]\r\nlanguageMask=10\r\n");
    Kiv& kiv = h.kiv();
    ASSERT_NE(kiv.language, nullptr);
    EXPECT_EQ(kiv.language->currentLanguage, -1);
    EXPECT_TRUE(kiv.input->keyNames[1].empty()); // nothing named before a language is chosen
    EXPECT_FALSE(kiv.language->isLanguageAllowed(1));
    kiv.language->setLanguage(1); // refused by the mask
    EXPECT_EQ(kiv.language->currentLanguage, 0);
    EXPECT_EQ(kiv.input->keyNames[1], u"Esc");
    EXPECT_EQ(kiv.input->keyNames[256], u"(1) JOYUP");
}

TEST_F(LanguageInEngine, GermanKeyNamesInTheInputSystem)
{
    KivHarness h;
    Kiv& kiv = h.kiv();
    kiv.language->setLanguage(1);
    EXPECT_EQ(kiv.input->keyNames[84], u"UNBEKANNT-84");
    EXPECT_EQ(kiv.language->getKeyName(84), kiv.input->keyNames[84]);
}

} // namespace
