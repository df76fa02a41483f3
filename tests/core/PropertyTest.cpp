#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/Format.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/files/ResourceManager.h"

namespace {
class Widget : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override
    {
        KivBase::addPropertiesTo(list);
        list.appendChild(new PropertyInt(u"size", Property::FLAG_CONSTRUCTOR, &size));
        list.appendChild(new PropertyFloat(u"speed", 0, &speed));
        auto* group = new PropertyContainer(u"group", 0);
        list.appendChild(group);
        group->appendChild(new PropertyBool(u"bHidden", Property::FLAG_HIDDEN, &bHidden));
        group->appendChild(new PropertyUString(u"label", Property::FLAG_CONSTRUCTOR, &label));
    }
    int32_t size = 3;
    float speed = 1.5f;
    bool bHidden = false;
    UString label = u"x";
};
const RuntimeClass Widget::classRecord(u"Widget", &KivBase::classRecord, &RuntimeClass::factoryOf<Widget>);

std::vector<UString> names(const Property& list)
{
    std::vector<UString> out;
    for (const Property* p = list.getFirstProperty(); p != nullptr; p = p->getNextProperty()) {
        out.push_back(p->name);
    }
    return out;
}
} // namespace

TEST(Property, NumberTextFormsAndParsing)
{
    float f = 1.5f;
    PropertyFloat pf(u"f", 0, &f);
    EXPECT_EQ(pf.toString(), u"1.500000000");
    EXPECT_TRUE(pf.fromString(u" -2.25 "));
    EXPECT_EQ(f, -2.25f);
    EXPECT_TRUE(pf.fromString(u"1e2"));
    EXPECT_EQ(f, 100.0f);
    EXPECT_FALSE(pf.fromString(u"1,5")); // no locale: a comma is not a decimal point
    EXPECT_FALSE(pf.fromString(u"nan"));
    EXPECT_FALSE(pf.fromString(u"1e40")); // beyond float range
    EXPECT_EQ(f, 100.0f);
    EXPECT_TRUE(pf.fromString(u""));
    EXPECT_EQ(f, 0.0f);

    double d = 1.0 / 3.0;
    PropertyDouble pd(u"d", 0, &d);
    EXPECT_EQ(pd.toString(), u"0.333333333");

    int32_t i = -42;
    PropertyInt pi(u"i", 0, &i);
    EXPECT_EQ(pi.toString(), u"-42");
    EXPECT_TRUE(pi.fromString(u"+2147483647"));
    EXPECT_EQ(i, 2147483647);
    EXPECT_FALSE(pi.fromString(u"2147483648"));
    EXPECT_FALSE(pi.fromString(u"12abc"));
    EXPECT_FALSE(pi.fromString(u"+-3"));
    EXPECT_FALSE(pi.fromString(u"+"));
    EXPECT_FALSE(pi.fromString(u"\u0661")); // not an ASCII digit
    EXPECT_EQ(i, 2147483647);
    EXPECT_TRUE(pi.fromString(u""));
    EXPECT_EQ(i, 0);

    uint32_t w = 0xdeadbeef;
    PropertyDWORD pw(u"w", 0, &w);
    EXPECT_EQ(pw.toString(), u"deadbeef");
    EXPECT_TRUE(pw.fromString(u"0x1F"));
    EXPECT_EQ(w, 0x1Fu);
    EXPECT_FALSE(pw.fromString(u"123456789")); // nine digits
    EXPECT_EQ(pw.toString(), u"0000001f");

    UColor c(0xff00ff00u);
    PropertyUColor pc(u"c", 0, &c);
    EXPECT_EQ(pc.toString(), u"ff00ff00");
    EXPECT_TRUE(pc.fromString(u"80FFFFFF"));
    EXPECT_EQ(c.argb, 0x80ffffffu);
    EXPECT_TRUE(pc.fromString(u""));
    EXPECT_EQ(c.argb, 0u);
}

TEST(Property, BooleansAndTexts)
{
    bool b = true;
    PropertyBool pb(u"b", 0, &b);
    EXPECT_EQ(pb.toString(), UString(1, u'\u000E'));
    b = false;
    EXPECT_EQ(pb.toString(), UString(1, u'\u000D'));
    EXPECT_TRUE(pb.fromString(u"\u000E"));
    EXPECT_TRUE(b);
    EXPECT_TRUE(pb.fromString(u"No"));
    EXPECT_FALSE(b);
    EXPECT_TRUE(pb.fromString(u"1"));
    EXPECT_FALSE(pb.fromString(u"maybe"));
    EXPECT_TRUE(b);
    EXPECT_TRUE(pb.fromString(u""));
    EXPECT_FALSE(b);

    UString s = u"old";
    PropertyUString ps(u"s", 0, &s, 4);
    EXPECT_EQ(ps.toString(), u"old");
    EXPECT_TRUE(ps.fromString(u"abcdef"));
    EXPECT_EQ(s, u"abcd"); // cut to the maximum length
    EXPECT_TRUE(ps.fromString(u""));
    EXPECT_TRUE(s.empty());
}

TEST(Property, PointersAndReferences)
{
    Widget w;
    KivBase plain;
    Widget* pw = nullptr;
    PropertyPointer pp(u"target", 0, &pw, &Widget::classRecord);
    EXPECT_EQ(pp.toString(), u"NULL");
    EXPECT_FALSE(pp.assign(&plain)); // wrong class
    EXPECT_EQ(pw, nullptr);
    EXPECT_TRUE(pp.assign(&w));
    EXPECT_EQ(pw, &w);
    EXPECT_EQ(pp.toString(), formatString(u"%08lx", static_cast<const void*>(&w)));
    EXPECT_FALSE(pp.fromString(u"12345678")); // a typed address is never trusted
    EXPECT_EQ(pw, &w);
    EXPECT_TRUE(pp.fromString(u"NULL"));
    EXPECT_EQ(pw, nullptr);

    // Resource pointers name their target through the resource manager.
    ResourceManager resources;
    Widget resource;
    KivBase wrongKind;
    resources.addResource(u"basketA:0", &resource);
    resources.addResource(u"mouseClick", &wrongKind);
    Widget* skin = nullptr;
    PropertyPointer pr(u"pSkin", Property::FLAG_RESOURCE, &skin, &Widget::classRecord);
    EXPECT_TRUE(pr.fromString(u"basketA:0"));
    EXPECT_EQ(skin, &resource);
    EXPECT_EQ(pr.toString(), u"basketA:0");
    EXPECT_FALSE(pr.fromString(u"missing:0"));
    EXPECT_FALSE(pr.fromString(u"mouseClick")); // a resource of another class
    EXPECT_EQ(skin, &resource);

    Reference ref;
    PropertyReferenceBase prb(u"ref", 0, &ref, &Widget::classRecord);
    EXPECT_EQ(prb.toString(), u"NULL");
    EXPECT_FALSE(prb.assign(&plain));
    EXPECT_TRUE(prb.assign(&w));
    EXPECT_EQ(ref.get(), &w);
    EXPECT_TRUE(prb.fromString(u""));
    EXPECT_EQ(ref.get(), nullptr);
}

TEST(Property, GroupsEnumsAndArrays)
{
    PropertyContainer list(u"list", 0);
    EXPECT_EQ(list.toString(), u"(empty)");
    uint32_t id = 0x12345678u;
    float x = 2.0f;
    UString text = u"hi";
    int32_t n = 4;
    addPropertyDWORD(list, u"playerId", id);
    addPropertyFloat(list, u"", x);
    addPropertyUString(list, u"text", text);
    addIntProperty(list, u"n", n);
    EXPECT_EQ(list.toString(), u"...");
    EXPECT_EQ(names(list), (std::vector<UString>{u"playerId", u"", u"text", u"n"}));
    EXPECT_EQ(list.findProperty(u"playerId")->toString(), u"12345678");
    EXPECT_EQ(list.findProperty(u"playerId")->getClass(), &PropertyDWORD::classRecord);

    enum class Season : uint8_t { Spring, Summer, Autumn, Winter };
    Season season = Season::Autumn;
    PropertyEnum<Season> pe(u"season", 0, &season, 4);
    EXPECT_EQ(pe.getClass(), &PropertyEnumBase::classRecord);
    EXPECT_EQ(pe.toString(), u"2");
    EXPECT_TRUE(pe.fromString(u"3"));
    EXPECT_EQ(season, Season::Winter);
    EXPECT_FALSE(pe.fromString(u"4"));
    EXPECT_FALSE(pe.fromString(u"-1"));
    EXPECT_EQ(season, Season::Winter);
    EXPECT_TRUE(pe.fromString(u""));
    EXPECT_EQ(season, Season::Spring);

    std::vector<float> values{1.0f, 2.0f};
    PropertyArray<float> pa(u"values", 0, &values,
                            [](UStringView name, float& v) -> Property* { return new PropertyFloat(name, 0, &v); });
    EXPECT_EQ(pa.getClass(), &PropertyArrayBase::classRecord);
    EXPECT_EQ(names(pa), (std::vector<UString>{u"[0]", u"[1]"}));
    pa.setCount(3);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_TRUE(pa.findProperty(u"[2]")->fromString(u"7"));
    EXPECT_EQ(values[2], 7.0f);
    EXPECT_EQ(pa.toString(), u"...");
    EXPECT_TRUE(pa.fromString(u""));
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(pa.toString(), u"(empty)");
}

TEST(Property, GetPropertiesListsBaseFirstAndIsNamedAfterClassAndAddress)
{
    Widget w;
    w.objectUID = 12;
    w.gotoState(3, 0.0);
    std::unique_ptr<PropertyContainer> list(w.getProperties());
    EXPECT_EQ(list->name, formatString(u"Widget (%08lx)", static_cast<const void*>(&w)));
    EXPECT_EQ(names(*list), (std::vector<UString>{u"objectUID", u"StateBase", u"size", u"speed", u"group"}));
    EXPECT_EQ(list->findProperty(u"objectUID")->toString(), u"12");
    EXPECT_EQ(names(*list->findProperty(u"StateBase")),
              (std::vector<UString>{u"state", u"timeInState", u"stateLeft", u"stateGoto"}));
    EXPECT_EQ(list->findProperty(u"StateBase")->findProperty(u"state")->toString(), u"3");
}

TEST(Property, RemoveFlaggedPropertiesReachesEveryDepth)
{
    Widget w;
    std::unique_ptr<PropertyContainer> list(w.getProperties());
    list->removeFlaggedProperties(Property::FLAG_CONSTRUCTOR | Property::FLAG_HIDDEN);
    EXPECT_EQ(names(*list), (std::vector<UString>{u"objectUID", u"StateBase", u"speed", u"group"}));
    EXPECT_EQ(list->findProperty(u"group")->toString(), u"(empty)");
}

TEST(Property, ClassEntryKeepsOnlyTheConstructorGroupOfAFreshInstance)
{
    auto* entry = new PropertyClass(0, &Widget::classRecord, u"Widget");
    ASSERT_NE(entry->getInstance(), nullptr);
    EXPECT_EQ(names(*entry), (std::vector<UString>{u"size", u"label"}));
    EXPECT_TRUE(entry->findProperty(u"size")->fromString(u"9"));
    EXPECT_EQ(static_cast<Widget*>(entry->getInstance())->size, 9);

    std::unique_ptr<KivBase> taken(entry->takeInstance());
    EXPECT_EQ(entry->getInstance(), nullptr);
    EXPECT_EQ(entry->countChildren(), 0);
    delete entry; // leaves the handed-over instance alone
    EXPECT_EQ(static_cast<Widget*>(taken.get())->size, 9);

    PropertyClass abstractEntry(0, &KivBase::classRecord, u"KivBase");
    PropertyClass none(0, &PropertyInt::classRecord, u"PropertyInt"); // no factory
    EXPECT_EQ(none.getInstance(), nullptr);
    EXPECT_EQ(none.toString(), u"(empty)");
}

TEST(Property, RemoteCallPropertyOwnsItsCallAndListsItsArguments)
{
    auto* call = new Widget;
    PropertyRPCBase rpc(u"showClassConstructors", 0, call);
    EXPECT_EQ(rpc.getCall(), call);
    EXPECT_EQ(names(rpc), (std::vector<UString>{u"objectUID", u"StateBase", u"size", u"speed", u"group"}));

    Widget inner;
    PropertySubObject sub(u"inner", 0, &inner);
    EXPECT_EQ(sub.getSubObject(), &inner);
    EXPECT_EQ(sub.countChildren(), 5);
}
