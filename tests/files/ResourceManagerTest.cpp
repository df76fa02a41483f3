#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/KivBase.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "support/TempDir.h"

namespace {

UString fatalMessage(const std::function<void()>& body, UString* report = nullptr)
{
    ErrorManager::setThrowForTests(true);
    try {
        body();
    } catch (const FatalError& e) {
        if (report) {
            *report = e.report;
        }
        return e.message;
    }
    ADD_FAILURE() << "no fatal error";
    return {};
}

} // namespace

TEST(ResourceManager, FindsByNameWithAndWithoutTheFatalFlag)
{
    ResourceManager resources;
    EXPECT_EQ(ResourceManager::instance(), &resources);
    KivBase holder;
    auto* a = new KivBase;
    auto* b = new KivBase;
    holder.addChild(a);
    holder.addChild(b);
    resources.addResource(u"basketA", a);
    resources.addResource(u"basketA:0", b);
    resources.addResource(u"alias", a);

    EXPECT_EQ(resources.find(u"basketA", true), a);
    EXPECT_EQ(resources.find(u"basketA:0", false), b);
    EXPECT_EQ(resources.find(u"basketa", false), nullptr); // names are exact
    EXPECT_EQ(resources.find(u"fontTiny1", false), nullptr);
    EXPECT_EQ(fatalMessage([&] { (void)resources.find(u"fontTiny1", true); }), u"Could not find resource 'fontTiny1'.");

    ASSERT_NE(resources.nameOf(a), nullptr);
    EXPECT_EQ(*resources.nameOf(a), u"basketA");
    EXPECT_EQ(resources.nameOf(&holder), nullptr);

    UString report;
    EXPECT_EQ(fatalMessage([&] { resources.addResource(u"basketA", b); }, &report), u"Assertion failed.");
    EXPECT_NE(report.find(u"Statement: map.find(key) == map.end()"), UString::npos) << wideToUtf8(report);
    EXPECT_EQ(resources.find(u"basketA", true), a); // the first registration stays
}

TEST(ResourceManager, WalkIsInNameOrderOfUtf16Units)
{
    ResourceManager resources;
    KivBase objects[5];
    const char16_t* names[] = {u"sky", u"Sky", u"apple:10", u"apple:2", u"\u00e4pfel"};
    for (int i = 0; i < 5; ++i) {
        resources.addResource(names[i], &objects[i]);
    }
    std::vector<UString> walked;
    for (const auto& [name, object] : resources.resources()) {
        walked.push_back(name);
    }
    EXPECT_EQ(walked, (std::vector<UString>{u"Sky", u"apple:10", u"apple:2", u"sky", u"\u00e4pfel"}));
}

TEST(ResourceManager, TypedLookUpIsFatalOnTheWrongKind)
{
    TempDir dir;
    const std::string text = "0123";
    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("lut.bin"), text.data(), text.size()));
    FileManager files;
    files.bUseWad = false;
    ResourceManager resources;
    FileBlock block(0, utf8ToWide(dir.file("lut.bin")));
    KivBase plain;
    resources.addResource(u"1252.codepointLUT", &block);
    resources.addResource(u"plain", &plain);

    EXPECT_EQ(resources.find<FileBlock>(u"1252.codepointLUT"), &block);
    EXPECT_EQ(resources.find<FileBlock>(u"1252.codepointLUT")->size(), 4u);
    EXPECT_EQ(resources.find<KivBase>(u"1252.codepointLUT"), &block);
    EXPECT_EQ(fatalMessage([&] { (void)resources.find<FileBlock>(u"plain"); }),
              u"Resource 'plain' is a KivBase, not a FileBlock.");
    EXPECT_EQ(fatalMessage([&] { (void)resources.find<FileBlock>(u"none"); }), u"Could not find resource 'none'.");
}
