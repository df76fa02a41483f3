// The editor panel's property fields, driven by synthetic mouse and key input in a running level: a field
// for every property kind, typed values and their refusal, groups, the class list's Ctrl+X, remote calls
// and the pointer field's keys.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "LevelFixture.h"

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
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/render/Quad.h"
#include "engine/render/Skin.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/editor/ContextEditorTools.h"
#include "game/editor/PropertyFieldBool.h"
#include "game/editor/PropertyFieldClass.h"
#include "game/editor/PropertyFieldPointer.h"
#include "game/editor/PropertyFieldRPC.h"
#include "game/editor/PropertyFieldSubObject.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelServices.h"
#include "game/front/MyGlobal.h"
#include "game/menus/GUItextBox.h"
#include "game/menus/GUIthemeMinimal.h"
#include "game/level/ContextHUD.h"
#include "game/level/MessageDisplay.h"
#include "game/world/Apple.h"
#include "engine/net/Packet.h"
#include "game/world/EditorObject.h"
#include "game/world/Hull.h"
#include "game/world/HullVertex.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Switch.h"
#include "game/world/Terrain.h"
#include "game/world/TriggerHint.h"

namespace {
// A member object shown as a group of its own.
class ProbeRecord : public KivBase {
public:
    void addPropertiesTo(Property& list) override { list.appendChild(new PropertyFloat(u"depth", 0, &depth)); }
    float depth = 3.0f;
};

// An object with a property of every kind the panel knows, counting the editor's change notices.
class Probe : public KivBase {
public:
    enum Mode : int32_t { MODE_A, MODE_B, MODE_C };

    void addPropertiesTo(Property& list) override
    {
        list.appendChild(new PropertyBool(u"flag", 0, &flag));
        list.appendChild(new PropertyBool(u"locked", Property::FLAG_READONLY, &locked));
        list.appendChild(new PropertyInt(u"count", 0, &count));
        list.appendChild(new PropertyInt(u"fixed", Property::FLAG_READONLY, &fixed));
        list.appendChild(new PropertyFloat(u"speed", 0, &speed));
        list.appendChild(new PropertyDouble(u"weight", 0, &weight));
        list.appendChild(new PropertyDWORD(u"mask", 0, &mask));
        list.appendChild(new PropertyUColor(u"tint", 0, &tint));
        list.appendChild(new PropertyUString(u"label", 0, &label));
        list.appendChild(new PropertySecureInt(u"secret", 0, &secret));
        list.appendChild(new PropertyEnum<Mode>(u"mode", 0, &mode, 3));
        list.appendChild(new PropertyPointer(u"link", 0, &link, &Renderable::classRecord));
        list.appendChild(new PropertyPointer(u"skin", Property::FLAG_RESOURCE, &skin, &Skin::classRecord));
        list.appendChild(new PropertyReferenceBase(u"ref", 0, &ref, &KivBase::classRecord));
        list.appendChild(new PropertySubObject(u"record", 0, &record));
        list.appendChild(new PropertyArray<float>(u"samples", 0, &samples, [](UStringView name, float& element) {
            return static_cast<Property*>(new PropertyFloat(name, 0, &element));
        }));
        auto* outer = new PropertyContainer(u"outer", 0);
        auto* inner = new PropertyContainer(u"inner", 0);
        inner->appendChild(new PropertyFloat(u"deep", 0, &deep));
        outer->appendChild(inner);
        list.appendChild(outer);
    }
    bool onEvent(KivEvent& event) override
    {
        notices += event.type == ContextEditor::EVENT_EDITED ? 1 : 0;
        return KivBase::onEvent(event);
    }

    bool flag = false;
    bool locked = true;
    int32_t count = 7;
    int32_t fixed = 3;
    float speed = 1.5f;
    double weight = 2.25;
    uint32_t mask = 0x0000ff00u;
    UColor tint{0xff102030u};
    UString label = u"old";
    SecureInt secret{11};
    Mode mode = MODE_A;
    Renderable* link = nullptr;
    Skin* skin = nullptr;
    Reference ref{this};
    ProbeRecord record;
    std::vector<float> samples{1.0f, 2.0f};
    float deep = 0.0f;
    int notices = 0;
};

class EditorFieldsTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        // The panel's theme, as the end of loading makes it.
        if (env->global->themeMinimal == nullptr) {
            env->global->themeMinimal = new GUIthemeMinimal();
        }
        // The level editor is reachable (the "-editor" option).
        env->global->bEditorAllowed = true;
        {
            LevelBuilder builder;
            GameController& gc = builder.controller();
            auto* hint = new TriggerHint();
            builder.add(gc.objectList, hint);
            hint->construct();
            hint->position = V3(100.0f, 50.0f, 0.0f);
            auto* lever = new Switch();
            builder.add(gc.objectList, lever);
            lever->construct();
            lever->position = V3(-100.0f, 50.0f, 0.0f);
            play(builder);
        }
        THEROLE = manager->server;
        ASSERT_NE(THEROLE, nullptr);
        THEROLE->bEditing = true;
        frames(2);
        frames(1);
    }
    void TearDown() override
    {
        if (env == nullptr) {
            return; // skipped before the engine was made
        }
        for (const char* key : {"Left Ctrl", "Left Shift", "X", "B", "G", "F", "Delete", "Return"}) {
            PlatformEventInjector::key(key, false);
        }
        if (manager != nullptr) {
            editor().editObject(nullptr);
        }
        LevelTest::TearDown();
        env->global->bEditorAllowed = false;
    }

    ContextEditor& editor() { return *level().editor; }
    NetRole& role() { return *manager->server; }
    PointerDispatcher& dispatcher() { return *harness().kiv().pointerDispatcher; }
    PropertyField* panel() { return dynamic_cast<PropertyField*>(editor().panelHolder->getFirstChild()); }

    template <class T>
    T* levelObject()
    {
        for (KivBase* o = level().objectList->getFirstChild(); o != nullptr; o = o->getNext()) {
            if (auto* found = dynamic_cast<T*>(o)) {
                return found;
            }
        }
        return nullptr;
    }

    // The panel's row of the property with that name (depth first), or null.
    static PropertyField* findRow(KivBase* from, UStringView name)
    {
        for (KivBase* c = from != nullptr ? from->getFirstChild() : nullptr; c != nullptr; c = c->getNext()) {
            if (auto* row = dynamic_cast<PropertyField*>(c)) {
                if (row->property != nullptr && row->property->name == name) {
                    return row;
                }
                if (PropertyField* deeper = findRow(row, name)) {
                    return deeper;
                }
            }
        }
        return nullptr;
    }
    PropertyField* row(UStringView name) { return findRow(editor().panelHolder, name); }
    // The class list's entry of that class, the list shown first.
    PropertyFieldClass* classEntry(const RuntimeClass& type)
    {
        editor().listClasses();
        for (KivBase* c = panel() != nullptr ? panel()->getFirstChild() : nullptr; c != nullptr; c = c->getNext()) {
            auto* f = dynamic_cast<PropertyFieldClass*>(c);
            if (f != nullptr && static_cast<PropertyClass*>(f->property)->getInstanceClass() == &type) {
                return f;
            }
        }
        return nullptr;
    }

    // Window pixels of a point in the editor layer (origin at the screen centre, y up).
    static void toWindow(const V3& p, int& x, int& y)
    {
        const KivGraphics* g = KivGraphics::instance();
        x = static_cast<int>(std::lround(g->width / 2 + p.x));
        y = static_cast<int>(std::lround(g->height / 2 - p.y));
    }
    void moveTo(const V3& p)
    {
        int x = 0;
        int y = 0;
        toWindow(p, x, y);
        PlatformEventInjector::mouseMove(x, y);
        frames(1);
    }
    // A click on the middle of the row's top line.
    void click(PropertyField* field)
    {
        ASSERT_NE(field, nullptr);
        V3 centre;
        field->local2world(centre, V3(0.0f, static_cast<float>(field->height) / 2.0f - 5.0f, 0.0f));
        int x = 0;
        int y = 0;
        toWindow(centre, x, y);
        PlatformEventInjector::mouseMove(x, y);
        PlatformEventInjector::mouseButton(0, true, x, y);
        frames(1);
        PlatformEventInjector::mouseButton(0, false, x, y);
        frames(1);
    }
    void type(const std::string& text)
    {
        for (char c : text) {
            PlatformEventInjector::text(std::string(1, c));
            frames(1);
        }
    }
    // A key pressed and released within one frame (it counts as pressed once).
    void key(const char* name)
    {
        PlatformEventInjector::key(name, true);
        PlatformEventInjector::key(name, false);
        frames(1);
    }
    void ctrlKey(const char* name)
    {
        PlatformEventInjector::key("Left Ctrl", true);
        PlatformEventInjector::key(name, true);
        frames(1);
        PlatformEventInjector::key(name, false);
        PlatformEventInjector::key("Left Ctrl", false);
        frames(1);
    }
    // Opens the row for typing, types the text and ends the entry with Return. Typing goes one character
    // a frame; `pasted` puts the whole text into the box at once.
    void enter(UStringView name, const std::string& text, bool pasted = false)
    {
        enter(dynamic_cast<PropertyFieldValue*>(row(name)), text, pasted);
    }
    void enter(PropertyFieldValue* field, const std::string& text, bool pasted)
    {
        ASSERT_NE(field, nullptr);
        click(field);
        ASSERT_TRUE(field->bTextEntry);
        ASSERT_EQ(dispatcher().getHovered(), field->textBox);
        if (pasted) {
            field->textBox->text = UString(text.begin(), text.end());
        } else {
            type(text);
        }
        key("Return");
        EXPECT_FALSE(field->bTextEntry);
    }
    void paste(UStringView name, const std::string& text) { enter(name, text, true); }
};

std::string utf8(const UString& s) { return std::string(s.begin(), s.end()); }
} // namespace

TEST_F(EditorFieldsTest, EveryPropertyKindGetsTheFieldOfItsExactClass)
{
    Probe probe;
    editor().editObject(&probe);
    ASSERT_NE(panel(), nullptr);
    EXPECT_NE(dynamic_cast<PropertyFieldGroup*>(panel()), nullptr);

    auto exact = [](PropertyField* f, const std::type_info& t) { return f != nullptr && typeid(*f) == t; };
    const std::vector<std::pair<const char16_t*, const std::type_info*>> table = {
        {u"flag", &typeid(PropertyFieldBool)},          {u"count", &typeid(PropertyFieldValue)},
        {u"speed", &typeid(PropertyFieldValue)},        {u"weight", &typeid(PropertyFieldValue)},
        {u"mask", &typeid(PropertyFieldValue)},         {u"tint", &typeid(PropertyFieldValue)},
        {u"label", &typeid(PropertyFieldValue)},        {u"secret", &typeid(PropertyFieldValue)},
        {u"mode", &typeid(PropertyFieldValue)},         {u"link", &typeid(PropertyFieldPointer)},
        {u"skin", &typeid(PropertyFieldPointer)},       {u"ref", &typeid(PropertyFieldPointer)},
        {u"record", &typeid(PropertyFieldSubObject)},   {u"samples", &typeid(PropertyField)},
        {u"outer", &typeid(PropertyFieldGroup)},        {u"inner", &typeid(PropertyFieldGroup)},
    };
    for (const auto& [name, type] : table) {
        EXPECT_TRUE(exact(row(name), *type)) << utf8(name);
    }
    // A member object is one row: its own properties are not listed below it.
    EXPECT_EQ(row(u"depth"), nullptr);
    // An array is a plain row without element rows.
    EXPECT_EQ(row(u"[0]"), nullptr);
    EXPECT_EQ(row(u"samples")->getFirstChild(), nullptr);
    click(row(u"samples"));
    EXPECT_EQ(probe.samples.size(), 2u);

    // Group glyphs and colours.
    EXPECT_EQ(row(u"outer")->prefix, UString(u"\u0080"));
    EXPECT_EQ(row(u"outer")->color.argb, 0xffc0ffffu);
    EXPECT_EQ(row(u"record")->prefix, UString(u"\u0081"));
}

TEST_F(EditorFieldsTest, TypedValuesChangeTheObject)
{
    Probe probe;
    editor().editObject(&probe);
    editor().placePanel();

    enter(u"speed", "12.5");
    EXPECT_FLOAT_EQ(probe.speed, 12.5f);
    EXPECT_GE(probe.notices, 1);

    enter(u"mode", "2");
    EXPECT_EQ(probe.mode, Probe::MODE_C);
    enter(u"tint", "ff00ff80");
    EXPECT_EQ(probe.tint.argb, 0xff00ff80u);
    enter(u"label", "Hi there");
    EXPECT_EQ(probe.label, UString(u"Hi there"));
    paste(u"count", "-4");
    EXPECT_EQ(probe.count, -4);
    paste(u"secret", "99");
    EXPECT_EQ(probe.secret.get(), 99);
    paste(u"deep", "0.25");
    EXPECT_FLOAT_EQ(probe.deep, 0.25f);

    // A reference by the UID of a level object; a resource by its name.
    auto* hint = levelObject<TriggerHint>();
    ASSERT_NE(hint, nullptr);
    enter(u"ref", std::to_string(hint->objectUID));
    EXPECT_EQ(probe.ref.get(), hint);
    paste(u"link", std::to_string(hint->objectUID));
    EXPECT_EQ(probe.link, hint);
    paste(u"skin", "editor_circle:0");
    EXPECT_EQ(probe.skin, harness().kiv().resourceManager->find(u"editor_circle:0", false));

    // The row shows the value it wrote, and its height is back to one line.
    EXPECT_EQ(row(u"speed")->height, PropertyField::DEFAULT_HEIGHT);
}

TEST_F(EditorFieldsTest, AReferenceOfALevelObjectChangesThroughItsField)
{
    auto* lever = levelObject<Switch>();
    auto* hint = levelObject<TriggerHint>();
    ASSERT_NE(lever, nullptr);
    ASSERT_NE(hint, nullptr);
    editor().editObject(lever);
    enter(u"pTarget", std::to_string(hint->objectUID));
    EXPECT_EQ(lever->pTarget.get(), hint);
    paste(u"x", "-64");
    EXPECT_FLOAT_EQ(lever->position.x, -64.0f);
    paste(u"groundMaterial", "1");
    EXPECT_EQ(lever->groundMaterial, 1);
}

TEST_F(EditorFieldsTest, DeleteClearsAtOnceAndAnEmptyEntryKeepsTheValue)
{
    Probe probe;
    editor().editObject(&probe);

    auto* speed = dynamic_cast<PropertyFieldValue*>(row(u"speed"));
    click(speed);
    ASSERT_TRUE(speed->bTextEntry);
    EXPECT_EQ(speed->height, 2 * PropertyField::DEFAULT_HEIGHT);
    key("Return"); // nothing typed
    EXPECT_FLOAT_EQ(probe.speed, 1.5f);
    EXPECT_FALSE(speed->bTextEntry);

    click(speed);
    type("77");
    key("Delete"); // the typed text does not matter: the value is cleared and the entry ends
    EXPECT_FALSE(speed->bTextEntry);
    EXPECT_FLOAT_EQ(probe.speed, 0.0f);

    click(row(u"label"));
    key("Delete");
    EXPECT_TRUE(probe.label.empty());
}

TEST_F(EditorFieldsTest, DamagedValuesLeaveTheObjectUnchanged)
{
    Probe probe;
    auto* hint = levelObject<TriggerHint>();
    probe.link = hint;
    probe.ref.set(hint);
    editor().editObject(&probe);

    const struct {
        const char16_t* name;
        const char* text;
    } damaged[] = {
        {u"count", "12abc"},  {u"speed", "1.2.3"},   {u"weight", "heavy"},  {u"mask", "xyz"},
        {u"tint", "ff00gg00"}, {u"secret", "--1"},    {u"mode", "3"},        {u"mode", "b"},
        {u"skin", "noSuchSkin"}, {u"link", "0"},      {u"ref", "99999"},
    };
    for (const auto& [name, text] : damaged) {
        const UString before = row(name)->property->toString();
        paste(name, text);
        auto* field = dynamic_cast<PropertyFieldValue*>(row(name));
        EXPECT_EQ(utf8(field->property->toString()), utf8(before)) << utf8(name) << " " << text;
        EXPECT_TRUE(field->bRefused) << utf8(name) << " " << text;
    }
    EXPECT_EQ(probe.link, hint);
    EXPECT_EQ(probe.ref.get(), hint);
    EXPECT_EQ(probe.skin, nullptr);

    // A typed address is never taken, not even the address of a live level object.
    char address[32];
    std::snprintf(address, sizeof address, "%08lx", reinterpret_cast<unsigned long>(levelObject<Switch>()));
    paste(u"link", address);
    EXPECT_EQ(probe.link, hint);
    paste(u"ref", address);
    EXPECT_EQ(probe.ref.get(), hint);
    // An object of the wrong class is refused as well (the link wants a drawn object).
    paste(u"link", std::to_string(level().objectUID));
    EXPECT_EQ(probe.link, hint);

    // The next entry starts clean.
    paste(u"speed", "4");
    EXPECT_FALSE(dynamic_cast<PropertyFieldValue*>(row(u"speed"))->bRefused);
}

// A typed value the physics could not take (a coordinate, a scale or an angle beyond its limit) is refused
// by its field as it is in a saved level: the value stays exactly as it was (not its text read back), and
// the reason goes to the console and the level's message line. So for a hull point (which the editor
// reaches through a pointer's Ctrl+F) and the playing area (the controller's row of it); a value at the limit
// is taken. The editor's own moves stay within the limits too.
TEST_F(EditorFieldsTest, AValueBeyondWhatThePhysicsTakesIsRefusedAndTheOldValueKeptExactly)
{
    auto* lever = levelObject<Switch>();
    auto* terrain = levelObject<Terrain>();
    ASSERT_NE(terrain, nullptr);
    ASSERT_NE(terrain->pHull, nullptr);
    auto* point = dynamic_cast<HullVertex*>(terrain->pHull->getFirstChild());
    ASSERT_NE(point, nullptr);
    // Too small for the text form's nine decimals.
    const float fine = 3.0e-12f;
    lever->position.x = fine;
    point->point.x = fine;
    level().playingArea.bottom = -fine;
    const struct {
        KivBase* object;
        const char16_t* group;
        const char16_t* name;
        const char* text;
        float* value;
        const char* reason;
    } rows[] = {
        {lever, u"position", u"x", "1e22", &lever->position.x, "'position.x' 1e+22 is out of range -100000 to 100000"},
        {lever, u"scale", u"y", "-100.5", &lever->scale.y, "'scale.y' -100.5 is out of range -100 to 100"},
        {lever, u"rotation", u"z", "5e3", &lever->rotation.z, "'rotation.z' 5000 is out of range -1000 to 1000"},
        {point, u"point", u"x", "2.49e22", &point->point.x, "'point.x' 2.49e+22 is out of range -100000 to 100000"},
        {&level().playingArea, nullptr, u"bottom", "-1e30", &level().playingArea.bottom,
         "'playingArea.bottom' -1e+30 is out of range -100000 to 100000"},
    };
    for (const auto& [object, group, name, text, value, reason] : rows) {
        SCOPED_TRACE(text);
        editor().editObject(object);
        auto* field = dynamic_cast<PropertyFieldValue*>(group != nullptr ? findRow(row(group), name) : row(name));
        const float before = *value;
        const int from = static_cast<int>(harness().logLines().size());
        enter(field, text, true);
        EXPECT_EQ(std::memcmp(value, &before, sizeof before), 0) << *value;
        EXPECT_TRUE(field->bRefused);
        const int refused = harness().logIndex("Value refused: '", from);
        ASSERT_GE(refused, 0);
        EXPECT_NE(harness().logLines()[static_cast<std::size_t>(refused)].find(std::string(reason) + "."), std::string::npos)
            << harness().logLines()[static_cast<std::size_t>(refused)];
        EXPECT_GT(level().contextHUD->messenger2.countChildren(), 0);
    }
    // The last reason, spelt out letter by letter on the message line.
    LevelServices::setFade(0.0f, 0.0f);
    frames(420);
    saveScreenshot("editorfields-refused");
    // Wider than the screen at its size, the reason is drawn smaller to stand whole on it.
    const float half = static_cast<float>(KivGraphics::instance()->width) / 2.0f;
    for (KivBase* g = level().contextHUD->messenger2.getFirstChild(); g != nullptr; g = g->getNext()) {
        const auto* glyph = static_cast<Renderable*>(g);
        const float reach = glyph->pSkin != nullptr ? glyph->pSkin->width * glyph->scale.x / 2.0f : 0.0f;
        EXPECT_LE(std::fabs(glyph->position.x) + reach, half) << glyph->position.x;
    }
    paste(u"bottom", "-100000");
    EXPECT_EQ(level().playingArea.bottom, -LevelDataCheck::MAX_COORDINATE);
    EXPECT_FALSE(dynamic_cast<PropertyFieldValue*>(row(u"bottom"))->bRefused);

    lever->editorSetPosition(V3(2.0e22f, -3.0e38f, 0.0f));
    EXPECT_EQ(lever->position, V3(LevelDataCheck::MAX_COORDINATE, -LevelDataCheck::MAX_COORDINATE, 0.0f));

    // A class-list entry's value is its fresh instance's: a terrain too wide is refused before it is made.
    PropertyFieldClass* entry = classEntry(Terrain::classRecord);
    ASSERT_NE(entry, nullptr);
    click(entry);
    auto* fresh = static_cast<Terrain*>(static_cast<PropertyClass*>(entry->property)->getInstance());
    const int32_t width = fresh->segmentWidth;
    const int from = static_cast<int>(harness().logLines().size());
    enter(dynamic_cast<PropertyFieldValue*>(findRow(entry, u"segmentWidth")), "10000000", true);
    EXPECT_EQ(fresh->segmentWidth, width);
    EXPECT_GE(harness().logIndex("Value refused: 'segmentWidth' 10000000 is out of range", from), 0);
    // So is one with too many segments of its width (512 units: 390 reach 199,680), named by its count.
    const int32_t count = fresh->segmentCount;
    enter(dynamic_cast<PropertyFieldValue*>(findRow(entry, u"segmentCount")), "391", true);
    EXPECT_EQ(fresh->segmentCount, count);
    EXPECT_GE(harness().logIndex("Value refused: 'segmentCount' 391 is out of range 1 to 390.", from), 0);
}

TEST_F(EditorFieldsTest, BoolsToggleUnlessReadOnly)
{
    Probe probe;
    editor().editObject(&probe);
    click(row(u"flag"));
    EXPECT_TRUE(probe.flag);
    click(row(u"flag"));
    EXPECT_FALSE(probe.flag);
    int from = static_cast<int>(harness().logLines().size());
    click(row(u"locked"));
    EXPECT_TRUE(probe.locked);
    EXPECT_GE(harness().logIndex("Value not changed: 'locked' is set by the game and cannot be toggled.", from), 0);
    // A read-only value takes no typing either, and says so once when typed into.
    auto* fixed = dynamic_cast<PropertyFieldValue*>(row(u"fixed"));
    ASSERT_NE(fixed, nullptr);
    from = static_cast<int>(harness().logLines().size());
    click(fixed);
    EXPECT_FALSE(fixed->bTextEntry);
    type("42");
    key("Return");
    EXPECT_EQ(probe.fixed, 3);
    const std::string said = "Value not changed: 'fixed' is set by the game and cannot be typed.";
    const int at = harness().logIndex(said, from);
    EXPECT_GE(at, 0);
    EXPECT_LT(harness().logIndex(said, at + 1), 0);
}

TEST_F(EditorFieldsTest, GroupsIndentTheirRowsAndClose)
{
    Probe probe;
    editor().editObject(&probe);
    PropertyField* root = panel();
    PropertyField* outer = row(u"outer");
    PropertyField* inner = row(u"inner");
    PropertyField* deep = row(u"deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(root->width, 150);
    EXPECT_EQ(outer->width, 140);
    EXPECT_EQ(inner->width, 130);
    EXPECT_EQ(deep->width, 120);
    V3 r;
    V3 i;
    root->local2world(r, V3());
    inner->local2world(i, V3());
    EXPECT_FLOAT_EQ(i.x - r.x, 10.0f);
    // Rows follow one another without gaps.
    V3 o;
    V3 d;
    outer->local2world(o, V3());
    deep->local2world(d, V3());
    EXPECT_FLOAT_EQ(o.y - d.y, 20.0f);

    // Closing a group takes its rows out of drawing and pointer search, and the panel ends one row higher
    // for each row it hid (inner and deep).
    const auto bottom = [&] {
        V3 cursor(0.0f, 0.0f, 0.0f);
        root->place(cursor, 150.0f);
        return cursor.y;
    };
    const float openBottom = bottom();
    click(outer);
    EXPECT_FALSE(dynamic_cast<PropertyFieldGroup*>(outer)->bOpen);
    EXPECT_TRUE(inner->bInactive);
    EXPECT_FLOAT_EQ(bottom() - openBottom, 20.0f);
    click(outer);
    EXPECT_FALSE(inner->bInactive);
    EXPECT_TRUE(dynamic_cast<PropertyFieldGroup*>(outer)->bOpen);
}

TEST_F(EditorFieldsTest, ClassEntryStartsClosedAndCtrlXPutsTheObjectAtThePointer)
{
    PropertyFieldClass* entry = classEntry(Switch::classRecord);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->bOpen);
    click(entry);
    EXPECT_TRUE(entry->bOpen);

    auto* created = dynamic_cast<Switch*>(static_cast<PropertyClass*>(entry->property)->getInstance());
    ASSERT_NE(created, nullptr);
    // The pointer over the level, left of the panel.
    moveTo(V3(-37.6f, -20.3f, 0.0f));
    const V3 pointer = level().contextGame->pointer;
    const int32_t nextUid = role().nextObjectUID;
    PlatformEventInjector::key("Left Ctrl", true);
    PlatformEventInjector::key("X", true);
    frames(1);
    EXPECT_EQ(created->objectUID, nextUid);
    EXPECT_EQ(role().findObjectOrNull(created->objectUID), created);
    EXPECT_EQ(created->getParent(), level().objectList);
    EXPECT_NE(created->getProxy(), nullptr); // drawn and pickable like the loaded objects
    EXPECT_FLOAT_EQ(created->position.x, std::trunc(pointer.x));
    EXPECT_FLOAT_EQ(created->position.y, std::trunc(pointer.y));
    EXPECT_FLOAT_EQ(created->position.z, 0.0f);
    EXPECT_EQ(static_cast<PropertyClass*>(entry->property)->getInstance(), nullptr);
    PlatformEventInjector::key("X", false);
    PlatformEventInjector::key("Left Ctrl", false);
    frames(1);

    // The entry is spent: Ctrl+X again makes nothing.
    const int32_t after = role().nextObjectUID;
    click(entry);
    ctrlKey("X");
    EXPECT_EQ(role().nextObjectUID, after);
}

TEST_F(EditorFieldsTest, CtrlXOnAClassWithoutAHomeListDoesNothing)
{
    // A plain object names no home list.
    auto* list = new PropertyContainer(u"CLASSES", 0);
    list->appendChild(new PropertyClass(0, &KivBase::classRecord, u"KivBase"));
    editor().editObject(nullptr);
    editor().propertyHolder->appendChild(list);
    editor().panelHolder->appendChild(editor().makeGUI(list));
    editor().placePanel();
    auto* entry = dynamic_cast<PropertyFieldClass*>(panel()->getFirstChild());
    ASSERT_NE(entry, nullptr);
    const int32_t before = role().nextObjectUID;
    click(entry);
    ctrlKey("X");
    EXPECT_EQ(role().nextObjectUID, before);
    EXPECT_NE(static_cast<PropertyClass*>(entry->property)->getInstance(), nullptr);
    EXPECT_FALSE(entry->createInstance());
}

TEST_F(EditorFieldsTest, CtrlXOnARemoteCallRunsIt)
{
    // The editor's own settings hold the call that shows the class list.
    editor().editObject(&editor());
    auto* call = dynamic_cast<PropertyFieldRPC*>(row(u"showClassConstructors"));
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->prefix, UString(u"\u0080\u0082"));
    EXPECT_EQ(call->color.argb, 0xffffc0c0u);
    click(call); // opens or closes the group and gives it the focus
    ASSERT_EQ(dispatcher().getHovered(), call);
    // Only Ctrl by itself counts: Ctrl+Shift+X runs nothing.
    PlatformEventInjector::key("Left Shift", true);
    ctrlKey("X");
    PlatformEventInjector::key("Left Shift", false);
    frames(1);
    EXPECT_NE(static_cast<Property*>(editor().propertyHolder->getFirstChild())->name, UString(u"CLASSES"));
    ctrlKey("X");
    frames(1);
    ASSERT_NE(editor().propertyHolder->getFirstChild(), nullptr);
    EXPECT_EQ(static_cast<Property*>(editor().propertyHolder->getFirstChild())->name, UString(u"CLASSES"));
    EXPECT_NE(dynamic_cast<PropertyFieldClass*>(panel()->getFirstChild()), nullptr);
}

TEST_F(EditorFieldsTest, PointerKeys)
{
    Probe probe;
    editor().editObject(&probe);

    // Ctrl+B on an object pointer does nothing; on a resource pointer it opens the palette.
    click(row(u"link"));
    ctrlKey("B");
    EXPECT_NE(stack().getTop(), editor().tools);
    click(row(u"skin"));
    ctrlKey("B");
    EXPECT_EQ(stack().getTop(), editor().tools);
    editor().tools->bClosed = true;
    frames(2);
    ASSERT_NE(stack().getTop(), editor().tools);

    // Ctrl+G takes only what it may hold: a resource pointer takes no plain object, and an object pointer
    // takes no panel row (it is not an object of the level), but a level object of the right class.
    auto* skinRow = dynamic_cast<PropertyFieldPointer*>(row(u"skin"));
    auto* linkRow = dynamic_cast<PropertyFieldPointer*>(row(u"link"));
    KivBase plain;
    EXPECT_EQ(skinRow->grabCandidate(&plain), nullptr);
    EXPECT_EQ(linkRow->grabCandidate(&plain), nullptr);
    EXPECT_EQ(linkRow->grabCandidate(skinRow), nullptr);
    auto* hint = levelObject<TriggerHint>();
    EXPECT_EQ(linkRow->grabCandidate(hint), hint);
    EXPECT_EQ(dynamic_cast<PropertyFieldPointer*>(row(u"ref"))->grabCandidate(&level()), &level());
    // Over the panel itself Ctrl+G assigns nothing.
    click(row(u"skin"));
    ctrlKey("G");
    EXPECT_EQ(probe.skin, nullptr);

    // Ctrl+F on a pointer edits its target after the key; on an empty pointer the panel empties.
    probe.ref.set(hint);
    click(row(u"ref"));
    ctrlKey("F");
    frames(1);
    EXPECT_EQ(editor().edited.get(), hint);
    editor().editObject(&probe);
    click(row(u"link"));
    ctrlKey("F");
    frames(1);
    EXPECT_EQ(editor().edited.get(), nullptr);
    EXPECT_EQ(editor().panelHolder->getFirstChild(), nullptr);
}

TEST_F(EditorFieldsTest, CtrlGTakesTheLevelObjectUnderThePointer)
{
    Probe probe;
    editor().editObject(&probe);
    auto* lever = levelObject<Switch>();
    ASSERT_NE(lever, nullptr);
    const V3 onScreen = editor().transformFromContext(lever->position, *level().contextGame);

    auto* link = dynamic_cast<PropertyFieldPointer*>(row(u"link"));
    click(link);
    moveTo(onScreen);
    ASSERT_EQ(dispatcher().getObjectUnderPointer(), lever);
    EXPECT_EQ(link->grabCandidate(lever), lever); // the row shows green
    ctrlKey("G");
    EXPECT_EQ(probe.link, lever);
    EXPECT_GE(probe.notices, 1);

    // A resource pointer takes the sprite of the object under the pointer, when it is a loaded resource.
    auto* skin = dynamic_cast<PropertyFieldPointer*>(row(u"skin"));
    click(skin);
    moveTo(onScreen);
    ctrlKey("G");
    ASSERT_NE(lever->pSkin, nullptr);
    ASSERT_FALSE(lever->bOwnsSkin);
    EXPECT_EQ(probe.skin, lever->pSkin);
    EXPECT_NE(harness().kiv().resourceManager->nameOf(probe.skin), nullptr);
}

TEST_F(EditorFieldsTest, SubObjectRowEditsTheMember)
{
    Probe probe;
    editor().editObject(&probe);
    click(row(u"record"));
    ctrlKey("F");
    frames(1);
    EXPECT_EQ(editor().edited.get(), &probe.record);
    EXPECT_NE(row(u"depth"), nullptr);
}

TEST_F(EditorFieldsTest, PanelEventsAfterTheEditedObjectWasDeletedDoNothing)
{
    auto* probe = new Probe();
    editor().editObject(probe);
    auto* speed = dynamic_cast<PropertyFieldValue*>(row(u"speed"));
    click(speed);
    type("5");
    delete probe;
    // The panel went with the object; the rest of the entry goes nowhere.
    EXPECT_EQ(editor().panelHolder->getFirstChild(), nullptr);
    key("Return");
    ctrlKey("X");
    frames(1);
    EXPECT_EQ(editor().edited.get(), nullptr);
}

// Text still being typed when the panel changes (F1, F2, F3, a press on another object, Ctrl+F) is taken as
// Enter would take it; a text its field refuses is said, and the panel changes all the same.
TEST_F(EditorFieldsTest, TextBeingTypedIsTakenWhenThePanelChanges)
{
    GameController& gc = level();
    const auto typeInto = [&](UStringView name, const std::string& text) {
        auto* field = dynamic_cast<PropertyFieldValue*>(row(name));
        click(field);
        ASSERT_TRUE(field->bTextEntry);
        type(text);
    };
    key("F2");
    ASSERT_EQ(editor().edited.get(), &gc);
    typeInto(u"parTime", "77");
    key("F3");
    EXPECT_EQ(editor().edited.get(), &editor());
    EXPECT_DOUBLE_EQ(gc.parTime, 77.0);
    typeInto(u"levelName", "Typed");
    key("F1");
    EXPECT_EQ(editor().edited.get(), nullptr);
    EXPECT_EQ(editor().levelName, UString(u"Typed"));

    // Refused: said, and the panel goes on to the object chosen.
    key("F2");
    typeInto(u"parTime", "abc");
    const int from = static_cast<int>(harness().logLines().size());
    key("F3");
    EXPECT_EQ(editor().edited.get(), &editor());
    EXPECT_DOUBLE_EQ(gc.parTime, 77.0);
    EXPECT_GE(harness().logIndex("Value refused: 'parTime' 'abc' cannot be read", from), 0);

    // A press on another object of the level.
    auto* lever = levelObject<Switch>();
    auto* house = static_cast<EditorObject*>(gc.findHouse());
    house->editorSetPosition(V3(0.0f, 250.0f, 0.0f));
    editor().editObject(lever);
    typeInto(u"x", "-64");
    int x = 0;
    int y = 0;
    toWindow(editor().transformFromContext(house->position, *gc.contextGame), x, y);
    PlatformEventInjector::mouseMove(x, y);
    frames(1);
    ASSERT_EQ(dispatcher().getObjectUnderPointer(), house);
    PlatformEventInjector::mouseButton(0, true, x, y);
    frames(1);
    PlatformEventInjector::mouseButton(0, false, x, y);
    frames(1);
    EXPECT_EQ(editor().edited.get(), house);
    EXPECT_FLOAT_EQ(lever->position.x, -64.0f);

    // Ctrl+F on a pointer row follows the target typed into it.
    auto* hint = levelObject<TriggerHint>();
    editor().editObject(lever);
    typeInto(u"pTarget", std::to_string(hint->objectUID));
    ctrlKey("F");
    EXPECT_EQ(lever->pTarget.get(), hint);
    EXPECT_EQ(editor().edited.get(), hint);
}

// Esc drops what was typed, as an edit box does: the box shows the value standing, and taking it changes
// nothing.
TEST_F(EditorFieldsTest, EscDropsTheTypingAndTheRowShowsTheValueStanding)
{
    Probe probe;
    editor().editObject(&probe);
    auto* speed = dynamic_cast<PropertyFieldValue*>(row(u"speed"));
    click(speed);
    type("77");
    key("Escape");
    EXPECT_FALSE(speed->bTextEntry);
    EXPECT_TRUE(speed->textBox->bHidden);
    EXPECT_FALSE(speed->bRefused);
    EXPECT_FLOAT_EQ(probe.speed, 1.5f);
    key("Return");
    EXPECT_FLOAT_EQ(probe.speed, 1.5f);
}

TEST_F(EditorFieldsTest, PanelScreenshot)
{
    auto* hint = levelObject<TriggerHint>();
    editor().editObject(hint);
    click(row(u"hintTitleID"));
    type("abc");
    LevelServices::setFade(0.0f, 0.0f);
    frames(1);
    saveScreenshot("editorfields-panel");
    // The panel's top row is drawn inside the screen.
    const KivGraphics* g = KivGraphics::instance();
    V3 topLeft;
    panel()->local2world(topLeft, V3(-75.0f, 5.0f, 0.0f));
    EXPECT_GE(topLeft.x, -g->width / 2.0f);
    EXPECT_LE(topLeft.y, g->height / 2.0f);
    key("Return");

    // A pointer to a drawn object shows where it points: a line to it and a circle around it.
    Probe probe;
    probe.link = levelObject<Switch>();
    editor().editObject(&probe);
    click(row(u"link"));
    frames(1);
    saveScreenshot("editorfields-pointer");
}

// Why a typed value is refused, on the screen and the console, and where the editor's lines stand beside
// the panel.
class EditorFieldReasonsTest : public EditorFieldsTest {
protected:
    // The message line's glyphs, in the editor layer's units.
    struct Extent {
        float left = 1e9f;
        float right = -1e9f;
        float bottom = 1e9f;
        float top = -1e9f;
        int glyphs = 0;
    };
    Extent messageLine()
    {
        Extent e;
        for (KivBase* g = level().contextHUD->messenger2.getFirstChild(); g != nullptr; g = g->getNext()) {
            const auto* glyph = static_cast<Renderable*>(g);
            EXPECT_FLOAT_EQ(glyph->scale.x, glyph->scale.y);
            if (glyph->pSkin == nullptr) {
                continue;
            }
            const V3 at = editor().transformFromContext(glyph->position, *level().contextHUD);
            const float w = glyph->pSkin->width * glyph->scale.x / 2.0f;
            const float h = glyph->pSkin->height * glyph->scale.y / 2.0f;
            e.left = std::min(e.left, at.x - w);
            e.right = std::max(e.right, at.x + w);
            e.bottom = std::min(e.bottom, at.y - h);
            e.top = std::max(e.top, at.y + h);
            ++e.glyphs;
        }
        return e;
    }
};

TEST_F(EditorFieldReasonsTest, UnreadableTextIsRefusedWithTheReason)
{
    // A row's name, the text pasted into it and the reason its refusal gives.
    struct Refusal {
        const char16_t* name;
        const char* text;
        const char* reason;
    };
    Probe probe;
    editor().editObject(&probe);
    const Refusal rows[] = {
        {u"count", "12abc", "'count' '12abc' cannot be read as a whole number"},
        {u"count", "123456789012345678901234567890", "'count' '123456789012345678901234...' cannot be read as a whole number"},
        {u"secret", "1.5", "'secret' '1.5' cannot be read as a whole number"},
        {u"speed", "nan", "'speed' 'nan' cannot be read as a number from -3.4e+38 to 3.4e+38"},
        // A number beyond what the field takes is out of its range, not unreadable.
        {u"speed", "1e39", "'speed' 1e+39 is out of range -3.4e+38 to 3.4e+38"},
        {u"weight", "inf", "'weight' 'inf' cannot be read as a number"},
        {u"mask", "xyz", "'mask' 'xyz' cannot be read as a hexadecimal number of up to eight digits"},
        {u"tint", "ff00gg00", "'tint' 'ff00gg00' cannot be read as a colour of up to eight hexadecimal digits"},
        {u"mode", "3", "'mode' '3' cannot be read as a whole number from 0 to 2"},
        {u"deep", "x", "'outer.inner.deep' 'x' cannot be read as a number"},
        // Pointer rows: refused with a reason too (their own, where they give one).
        {u"link", "0", "'link'"},
        {u"skin", "noSuchSkin", "'skin'"},
    };
    MessageDisplay& line = level().contextHUD->messenger2;
    for (const auto& [name, text, reason] : rows) {
        SCOPED_TRACE(text);
        line.destroyAllChildren();
        const int from = static_cast<int>(harness().logLines().size());
        paste(name, text);
        EXPECT_TRUE(dynamic_cast<PropertyFieldValue*>(row(name))->bRefused);
        EXPECT_GE(harness().logIndex(std::string("Value refused: ") + reason, from), 0);
        EXPECT_GT(line.countChildren(), 0);
    }
    // The level's own settings: a par time the clock cannot show is refused with the range it takes, from no
    // target (0) to 99:59, and what the level's start would replace with the range it holds it to: the
    // apples needed at most the level's one apple, the weather from none to full.
    editor().editObject(&level());
    const Refusal header[] = {
        {u"parTime", "abc", "'parTime' 'abc' cannot be read as a number from 0 to 5999"},
        {u"parTime", "nan", "'parTime' 'nan' cannot be read as a number from 0 to 5999"},
        {u"parTime", "-5", "'parTime' -5 is out of range 0 to 5999"},
        {u"parTime", "1e39", "'parTime' 1e+39 is out of range 0 to 5999"},
        {u"parTime", "6000", "'parTime' 6000 is out of range 0 to 5999"},
        {u"applesNeeded", "-1", "'applesNeeded' -1 is out of range 0 to 1"},
        {u"applesNeeded", "2", "'applesNeeded' 2 is out of range 0 to 1"},
        {u"applesNeeded", "x", "'applesNeeded' 'x' cannot be read as a whole number from 0 to 1"},
        {u"weatherIntensity", "1e9", "'weatherIntensity' 1e+09 is out of range 0 to 1"},
        {u"weatherIntensity", "-0.5", "'weatherIntensity' -0.5 is out of range 0 to 1"},
    };
    for (const auto& [name, text, reason] : header) {
        SCOPED_TRACE(text);
        const UString before = row(name)->property->toString();
        const int from = static_cast<int>(harness().logLines().size());
        paste(name, text);
        EXPECT_GE(harness().logIndex(std::string("Value refused: ") + reason + ".", from), 0);
        EXPECT_TRUE(dynamic_cast<PropertyFieldValue*>(row(name))->bRefused);
        EXPECT_EQ(row(name)->property->toString(), before);
    }
    EXPECT_DOUBLE_EQ(level().parTime, 60.0);
    for (const double taken : {0.0, GameController::MAX_PAR_TIME}) {
        paste(u"parTime", std::to_string(taken));
        EXPECT_FALSE(dynamic_cast<PropertyFieldValue*>(row(u"parTime"))->bRefused);
        EXPECT_EQ(level().parTime, taken);
    }
    paste(u"applesNeeded", "1");
    paste(u"weatherIntensity", "1");
    EXPECT_EQ(level().applesNeeded, 1);
    EXPECT_EQ(level().weatherIntensity, 1.0f);
}

// An apple's (or a basket's) velocity is the speed it starts play with: typed, kept while editing, used when
// play begins, and refused beyond what the physics takes. Objects without a moving body list none.
TEST_F(EditorFieldReasonsTest, AnAppleStartsPlayWithTheVelocityTypedIntoIt)
{
    editor().editObject(levelObject<Switch>());
    EXPECT_EQ(row(u"velocity"), nullptr);

    PropertyFieldClass* entry = classEntry(Apple::classRecord);
    ASSERT_NE(entry, nullptr);
    auto* apple = static_cast<Apple*>(static_cast<PropertyClass*>(entry->property)->getInstance());
    click(entry);
    moveTo(V3(-300.0f, 60.0f, 0.0f));
    ctrlKey("X");
    ASSERT_EQ(apple->getParent(), level().appleList);
    editor().editObject(apple);
    PropertyField* velocity = row(u"velocity");
    ASSERT_NE(velocity, nullptr);
    EXPECT_EQ(findRow(velocity, u"z"), nullptr); // the physics is flat
    const auto vx = [&] { return dynamic_cast<PropertyFieldValue*>(findRow(row(u"velocity"), u"x")); };
    // Each axis is held to the speed the physics takes, and a refusal names that range.
    for (const auto& [text, reason] :
         {std::pair{"1e22", "1e+22 is out of range -10000 to 10000"},
          {"10001", "10001 is out of range -10000 to 10000"}, {"-1e39", "-1e+39 is out of range -10000 to 10000"},
          {"fast", "'fast' cannot be read as a number from -10000 to 10000"}}) {
        const int from = static_cast<int>(harness().logLines().size());
        enter(vx(), text, true);
        EXPECT_TRUE(vx()->bRefused);
        EXPECT_GE(harness().logIndex(std::string("Value refused: 'velocity.x' ") + reason + ".", from), 0) << text;
    }
    enter(vx(), "500", true);
    EXPECT_FALSE(vx()->bRefused);
    frames(20);
    EXPECT_FLOAT_EQ(apple->velocity.x, 500.0f);

    const float start = apple->position.x;
    key("F4");
    ASSERT_FALSE(role().bEditing);
    frames(2);
    ASSERT_NE(apple->body, nullptr);
    EXPECT_GT(apple->velocity.x, 100.0f);
    frames(10);
    EXPECT_GT(apple->position.x, start + 20.0f);
}

// With the panel open, a refused value's line stands whole in the room left of it, inside the screen, at
// 800x600 and at full HD (with the panel where the editor opens it at that size), in its glyphs' shape; the
// display's own place is kept for the level's messages.
TEST_F(EditorFieldReasonsTest, ARefusedLineStandsWholeBesideThePanel)
{
    KivGraphics& graphics = *KivGraphics::instance();
    const int savedW = graphics.videoModeWidth, savedH = graphics.videoModeHeight;
    const bool savedFull = graphics.bFullScreen, savedLetterbox = graphics.bLetterbox;
    const V3 home = editor().panelHome;
    const float drop = static_cast<float>(graphics.height / 2 - 10) - home.y;
    LevelServices::setFade(0.0f, 0.0f);
    for (const auto& [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) {
        SCOPED_TRACE(w);
        graphics.changePresentationParameters(w, h, false, false, graphics.bBilinearFilter, graphics.bVSync);
        frames(2);
        ASSERT_EQ(graphics.width, w);
        // Where the editor opens its panel at this size.
        editor().panelHome = V3(static_cast<float>(w / 2 - 100), static_cast<float>(h / 2 - 10) - drop, 0.0f);
        editor().editObject(nullptr);
        editor().editObject(&level());
        // Typed straight into the row: the test window does not take the pointer at every size.
        auto* parTime = dynamic_cast<PropertyFieldValue*>(row(u"parTime"));
        ASSERT_NE(parTime, nullptr);
        parTime->beginEdit();
        parTime->textBox->text = u"abcdefghijklmnopqrstuvwxyz";
        parTime->commitEdit();
        ASSERT_TRUE(parTime->bRefused);
        const Extent line = messageLine();
        const float panelLeft = editor().panelPos.x - ContextEditor::PANEL_WIDTH / 2.0f;
        EXPECT_GT(line.glyphs, 40);
        EXPECT_LT(line.right, panelLeft);
        EXPECT_GE(line.left, -static_cast<float>(w) / 2.0f);
        EXPECT_LE(line.top, static_cast<float>(h) / 2.0f);
        EXPECT_GE(line.bottom, -static_cast<float>(h) / 2.0f);
        EXPECT_EQ(level().contextHUD->messenger2.position, V3(0.0f, 155.0f, 0.0f));
        if (w == 800) { // the test window shows no larger picture
            frames(460);  // spelt out
            saveScreenshot("editorfields-refused-beside-panel");
        }
        // A line set with no panel shown moves beside the panel that then appears (as in the level's tick).
        NetRole* const role = THEROLE;
        THEROLE = manager->server;
        editor().editObject(nullptr);
        EditorSession::report(u"Copy not used, kept as levels/a3xmas.lev.bad2: its controller's cargoList is not a list.");
        editor().editObject(&level());
        THEROLE = role;
        EXPECT_GT(messageLine().glyphs, 40);
        EXPECT_LT(messageLine().right, panelLeft);
    }
    editor().panelHome = home;
    graphics.changePresentationParameters(savedW, savedH, savedFull, savedLetterbox, graphics.bBilinearFilter,
                                          graphics.bVSync);
    frames(1);
}

// The editor's line is laid out again only when the room the panel leaves it changes: another object
// edited with the panel where it was leaves it spelling on; once it has faded, no panel brings it back.
TEST_F(EditorFieldReasonsTest, TheLineIsLaidOutAgainOnlyWhenItsRoomChanges)
{
    const MessageDisplay& line = level().contextHUD->messenger2;
    // How long the line's first glyph has been spelt out (seconds); -1 without a line.
    auto spelt = [&] { return line.getFirstChild() != nullptr ? line.getFirstChild()->timeInState : -1.0; };
    THEROLE = manager->server;
    editor().editObject(nullptr);
    EditorSession::report(u"Level saved: levels/b1.lev");
    editor().editObject(&level());
    frames(2);
    ASSERT_GT(spelt(), 0.0);
    THEROLE = manager->server;
    editor().editObject(&editor()); // the panel at its home again
    EXPECT_GT(spelt(), 0.0);
    frames(800); // faded
    ASSERT_EQ(spelt(), -1.0);
    // A panel elsewhere leaves another room.
    const V3 home = editor().panelHome;
    editor().panelHome.x -= 200.0f;
    THEROLE = manager->server;
    editor().editObject(&level());
    editor().panelHome = home;
    EXPECT_EQ(spelt(), -1.0);
}

// ---------------------------------------------------------------------------------------------------------
// A pointer field takes only what a level load takes; the editor camera and the level's name stay within
// what a level file keeps.

// Ctrl+G of the house on the controller's list rows would leave a level that its load refuses: each is
// refused on the message line, the list kept; so are Delete and a typed list that another row holds. A
// pointer that the edited object's check would empty (a switch aimed at itself, a hint spoken by the
// controller) is refused too; one the load takes is taken.
TEST_F(EditorFieldsTest, APointerTakesOnlyWhatTheLevelLoadTakes)
{
    GameController& gc = level();
    auto* house = static_cast<EditorObject*>(gc.findHouse());
    house->editorSetPosition(V3(0.0f, 250.0f, 0.0f));
    auto onScreen = [&](const EditorObject* object) {
        return editor().transformFromContext(object->position, *gc.contextGame);
    };
    auto refusedFor = [&](PropertyFieldPointer* field, const std::string& why, int from) {
        EXPECT_TRUE(field->bRefused);
        EXPECT_GE(harness().logIndex("Value refused: " + why + ".", from), 0) << why;
    };
    editor().editObject(&gc);
    const struct {
        const char16_t* name;
        KivBase* GameController::*list;
    } rows[] = {{u"cargoList", &GameController::cargoList},
                {u"pigList", &GameController::pigList},
                {u"hullList", &GameController::hullList}};
    for (const auto& [name, list] : rows) {
        SCOPED_TRACE(utf8(name));
        KivBase* before = gc.*list;
        auto* field = dynamic_cast<PropertyFieldPointer*>(row(name));
        ASSERT_NE(field, nullptr);
        click(field);
        moveTo(onScreen(house));
        ASSERT_EQ(dispatcher().getObjectUnderPointer(), house);
        EXPECT_FALSE(field->wouldTake(house)); // the row shows red: its class takes the house, the load does not
        EXPECT_EQ(gc.*list, before);
        const int from = static_cast<int>(harness().logLines().size());
        ctrlKey("G");
        EXPECT_EQ(gc.*list, before);
        refusedFor(field,
                   "the level would not load: its controller's " + utf8(name) + " is not a list in its place",
                   from);
        EXPECT_GT(gc.contextHUD->messenger2.countChildren(), 0);
    }
    KivBase* cargo = gc.cargoList;
    int from = static_cast<int>(harness().logLines().size());
    click(row(u"cargoList"));
    key("Delete");
    EXPECT_EQ(gc.cargoList, cargo);
    refusedFor(dynamic_cast<PropertyFieldPointer*>(row(u"cargoList")),
               "the level would not load: its controller lacks its cargoList", from);
    from = static_cast<int>(harness().logLines().size());
    paste(u"cargoList", std::to_string(gc.appleList->objectUID));
    EXPECT_EQ(gc.cargoList, cargo);
    refusedFor(dynamic_cast<PropertyFieldPointer*>(row(u"cargoList")),
               "the level would not load: its controller's appleList and cargoList are one list", from);

    auto* lever = levelObject<Switch>();
    auto* hint = levelObject<TriggerHint>();
    editor().editObject(lever);
    auto* target = dynamic_cast<PropertyFieldPointer*>(row(u"pTarget"));
    click(target);
    moveTo(onScreen(house));
    EXPECT_TRUE(target->wouldTake(house));
    ctrlKey("G");
    EXPECT_EQ(lever->getTarget(), house);
    EXPECT_FALSE(target->bRefused);
    from = static_cast<int>(harness().logLines().size());
    paste(u"pTarget", std::to_string(lever->objectUID));
    EXPECT_EQ(lever->getTarget(), house);
    refusedFor(target, "'pTarget' cannot name object " + std::to_string(lever->objectUID) + " (Switch)", from);

    editor().editObject(hint);
    from = static_cast<int>(harness().logLines().size());
    paste(u"originator", std::to_string(gc.objectUID));
    EXPECT_EQ(hint->originator.get(), nullptr);
    refusedFor(dynamic_cast<PropertyFieldPointer*>(row(u"originator")),
               "'originator' cannot name object " + std::to_string(gc.objectUID) + " (GameController)", from);
    paste(u"originator", std::to_string(lever->objectUID));
    EXPECT_EQ(hint->originator.get(), lever);
    // A level that its load would refuse already (its pig gone) takes what leaves it no worse.
    KivBase* pig = gc.findHero();
    pig->unlink();
    paste(u"originator", std::to_string(house->objectUID));
    EXPECT_EQ(hint->originator.get(), house);
    gc.pigList->appendChild(pig);

    // Ctrl+G over a level object that a row cannot take for its class, or on a row the game sets, says why.
    const struct {
        KivBase* edited;
        const char16_t* name;
        std::string why;
    } misfits[] = {
        {&gc, u"contextHUD",
         "Value refused: 'contextHUD' cannot name object " + std::to_string(house->objectUID) + " (House)."},
        {lever, u"ambientSound", "Value refused: 'ambientSound' cannot name 'house:0' (Quad)."},
        {lever, u"pHull", "Value not changed: 'pHull' is set by the game and cannot be set with Ctrl+G."},
    };
    for (const auto& [edited, name, why] : misfits) {
        SCOPED_TRACE(why);
        editor().editObject(edited);
        auto* field = dynamic_cast<PropertyFieldPointer*>(row(name));
        ASSERT_NE(field, nullptr);
        const UString before = field->property->toString();
        click(field);
        moveTo(onScreen(house));
        EXPECT_FALSE(field->wouldTake(house));
        from = static_cast<int>(harness().logLines().size());
        ctrlKey("G");
        EXPECT_EQ(field->property->toString(), before);
        EXPECT_EQ(field->bRefused, !field->isReadOnly());
        EXPECT_GE(harness().logIndex(why, from), 0);
        EXPECT_GT(gc.contextHUD->messenger2.countChildren(), 0);
        // Nothing was typed: a save or a play test takes the row's entry as nothing refused.
        UString typed;
        EXPECT_TRUE(editor().takeTypedText(typed)) << utf8(typed);
    }
}

TEST_F(EditorFieldsTest, TheEditorCameraAndTheLevelNameStayWhereALevelFileKeepsThem)
{
    ContextEditor& layer = editor();
    layer.setEditorCamera(2.0e22f, -3.0e38f, -1.0e4f);
    EXPECT_EQ(layer.editorCamera, V3(LevelDataCheck::MAX_COORDINATE, -LevelDataCheck::MAX_COORDINATE, -6400.0f));
    layer.setEditorCamera(0.0f, 0.0f, 10.0f);
    EXPECT_EQ(layer.editorCamera.z, -25.0f);

    layer.editObject(&layer);
    const int from = static_cast<int>(harness().logLines().size());
    paste(u"z", "-3e38");
    EXPECT_EQ(layer.editorCamera.z, -25.0f);
    EXPECT_GE(harness().logIndex("Value refused: 'editorCamera.z' -3e+38 is out of range -6400 to -25.", from), 0);
    // A name longer than a level file holds is cut to it.
    paste(u"levelName", std::string(2000, 'n'));
    EXPECT_EQ(layer.levelName, UString(Packet::BUFFERSIZE - 1, u'n'));

    // An area edge typed past the other is refused, naming the edge typed and the one it passed.
    PlayingArea& area = level().playingArea;
    area.left = -1000.0f;
    area.right = 4800.0f;
    area.bottom = 0.0f;
    area.top = 2000.0f;
    const struct {
        const char16_t* name;
        const char* text;
        const char* reason;
    } edges[] = {
        {u"left", "5000", "'playingArea.left' 5000 is out of range: it must be less than 'playingArea.right' 4800"},
        {u"right", "-2000",
         "'playingArea.right' -2000 is out of range: it must be greater than 'playingArea.left' -1000"},
        {u"bottom", "2000", "'playingArea.bottom' 2000 is out of range: it must be less than 'playingArea.top' 2000"},
        {u"top", "-10", "'playingArea.top' -10 is out of range: it must be greater than 'playingArea.bottom' 0"},
    };
    layer.editObject(&area);
    for (const auto& [name, text, reason] : edges) {
        SCOPED_TRACE(text);
        const int before = static_cast<int>(harness().logLines().size());
        paste(name, text);
        EXPECT_TRUE(dynamic_cast<PropertyFieldValue*>(row(name))->bRefused);
        EXPECT_GE(harness().logIndex(std::string("Value refused: ") + reason + ".", before), 0);
    }
    EXPECT_EQ(area.left, -1000.0f);
    EXPECT_EQ(area.right, 4800.0f);
    EXPECT_EQ(area.bottom, 0.0f);
    EXPECT_EQ(area.top, 2000.0f);
}
