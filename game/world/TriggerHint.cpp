#include "game/world/TriggerHint.h"

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Skin.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Pig.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/OverlayHint.h"
#include "engine/core/ErrorManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"

const RuntimeClass TriggerHint::classRecord(RuntimeClass::hashName(u"TriggerHint"), &TriggerArea::classRecord,
                                            &RuntimeClass::factoryOf<TriggerHint>);

namespace {
bool holds(const UString& text, UStringView what) { return text.find(what) != UString::npos; }

void replaceAll(UString& text, UStringView what, const UString& with)
{
    for (std::size_t at = text.find(what); at != UString::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}
} // namespace

TriggerHint::TriggerHint() : TriggerArea(LevelAccess::OBJECT_LIST) {}

void TriggerHint::addPropertiesTo(Property& list)
{
    TriggerArea::addPropertiesTo(list);
    list.appendChild(new PropertyUString(u"hintTitleID", 0, &hintTitleID));
    list.appendChild(new PropertyUString(u"hintTextID", 0, &hintTextID));
    list.appendChild(new PropertyPointer(u"pIconSkin", Property::FLAG_RESOURCE, &pIconSkin, &Skin::classRecord));
    list.appendChild(new PropertyBool(u"bSpeechBubble", 0, &bSpeechBubble));
    list.appendChild(new PropertyBool(u"bAutomatic", 0, &bAutomatic));
    list.appendChild(new PropertyReferenceBase(u"originator", 0, &originator, &KivBase::classRecord));
    list.appendChild(new PropertyReferenceBase(u"previousHint", 0, &previousHint, &KivBase::classRecord));
    auto* nudge = new PropertyContainer(u"hintNudge", 0);
    nudge->appendChild(new PropertyFloat(u"x", 0, &hintNudge.x));
    nudge->appendChild(new PropertyFloat(u"y", 0, &hintNudge.y));
    nudge->appendChild(new PropertyFloat(u"z", 0, &hintNudge.z));
    list.appendChild(nudge);
    list.appendChild(new PropertyFloat(u"hintDelay", 0, &hintDelay));
    list.appendChild(new PropertyBool(u"bShown", Property::FLAG_READONLY, &bShown));
}

void TriggerHint::checkValues(const LevelDataCheck::Run& run)
{
    TriggerArea::checkValues(run);
    LevelDataCheck check(*this, run);
    check.text(u"hintTitleID", hintTitleID, MAX_KEY_BYTES);
    check.text(u"hintTextID", hintTextID, MAX_KEY_BYTES);
    KivBase* o = originator.get();
    if (check.objectOfClass(u"originator", o, &A99Object::classRecord)) {
        originator.set(nullptr);
    }
    KivBase* p = previousHint.get();
    if (check.objectOfClass(u"previousHint", p, &TriggerHint::classRecord) || p == this) {
        previousHint.set(nullptr);
    }
    check.coordinate(u"hintNudge.x", hintNudge.x);
    check.coordinate(u"hintNudge.y", hintNudge.y);
    check.coordinate(u"hintNudge.z", hintNudge.z);
    check.size(u"hintDelay", hintDelay, 0.0f, 600.0f, 0.0f);
    // A key the language does not know shows nothing.
    for (UString* key : {&hintTitleID, &hintTextID}) {
        if (!key->empty() && Kiv::instance() != nullptr && !LevelAccess::hasText(*key)) {
            check.warn(key == &hintTitleID ? u"hintTitleID" : u"hintTextID",
                       formatString(u"names the unknown text '%s'; the hint shows nothing.", *key));
        }
    }
}

bool TriggerHint::queryAction(const V3& hero, int32_t& priority, float& distance)
{
    if (!isSign() || bHidden || (bAutomatic && bShown)) {
        return false;
    }
    const float d = distanceTo(hero);
    if (d > QUERY_RANGE) {
        return false;
    }
    priority = PRIORITY_DEVICE;
    distance = d;
    return true;
}

void TriggerHint::use(Pig* /*pig*/) { trigger(); }

void TriggerHint::onHeroEnter(Pig* /*pig*/)
{
    if (!isSign()) {
        trigger();
    }
}

void TriggerHint::trigger()
{
    if (bTriggered || (bAutomatic && bShown)) {
        return;
    }
    bTriggered = true;
    delayLeft = hintDelay;
}

void TriggerHint::tick(double time, double dt)
{
    TriggerArea::tick(time, dt);
    if (LevelAccess::isEditing() || (bAutomatic && bShown) || !bTriggered) {
        return;
    }
    if (auto* before = previousHint.getAs<TriggerHint>(); before != nullptr && !before->bShown) {
        return;
    }
    delayLeft -= dt;
    if (delayLeft >= 0.0) {
        return;
    }
    const UString text = hintText();
    // Done at once: nothing to show, a speech bubble, or a box while the in-game help is off (which counts
    // as shown without being seen).
    if (text.empty() || bSpeechBubble || !LevelAccess::tutorialOn()) {
        bTriggered = false;
        bShown = true;
        if (!text.empty() && bSpeechBubble) {
            speak(text);
        }
        return;
    }
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    auto* root = dynamic_cast<MyRootObject*>(THEROLE->root);
    if (root == nullptr) {
        bTriggered = false;
        bShown = true;
        return;
    }
    // One overlay at a time: the box waits while another overlay (a tutorial, the statistics, the map, a
    // hint that fired in the same frame) is open, and the hint counts as shown once its box is open.
    if (root->contextOverlay != nullptr) {
        return;
    }
    auto* overlay = new OverlayHint();
    THEROLE->registerObject(overlay, 0);
    overlay->construct(LevelAccess::text(hintTitleID), replacePlaceholders(text), pIconSkin, -1);
    overlay->netCallPostReplicate();
    overlay->netCallPostReplicateGlobal();
    root->openOverlay(overlay);
    bShown = root->contextOverlay == overlay;
    bTriggered = !bShown;
}

int32_t TriggerHint::waitModeFor(const UString& text, const UString& key)
{
    int32_t mode = 0;
    if (holds(text, u"#LEFT#") || holds(text, u"#RIGHT#") || key == u"HINTMOVELEFTRIGHT") {
        mode = 1;
    }
    for (const char16_t* k : {u"HINTAPPLEJUMP", u"HINTSTEEPSLOPE", u"HINTLADDER", u"HINTESC", u"HINTJUMP", u"HINTAPPLE1A"}) {
        if (holds(text, u"#FIRE#") || key == k) {
            mode = 2;
        }
    }
    for (const char16_t* k : {u"HINTSIGN", u"HINTSWITCH", u"HINTTELESCOPE", u"HINTBUTTON"}) {
        if (holds(text, u"#UP#") || key == k) {
            mode = 3;
        }
    }
    return mode;
}

UString TriggerHint::replacePlaceholders(const UString& text)
{
    // The control placeholders and the game action whose key names them.
    static const struct {
        const char16_t* placeholder;
        int32_t action;
    } controls[] = {{u"#LEFT#", 0}, {u"#RIGHT#", 1}, {u"#UP#", 2}, {u"#DOWN#", 3},
                    {u"#FIRE#", 4}, {u"#ALTFIRE#", 5}, {u"#MAP#", 6}};
    UString out = text;
    for (const auto& c : controls) {
        if (holds(out, c.placeholder)) {
            replaceAll(out, c.placeholder, LevelAccess::bindingName(c.action));
        }
    }
    if (holds(out, u"#ESC#")) {
        replaceAll(out, u"#ESC#", UString(u"Esc"));
    }
    return out;
}

UString TriggerHint::hintText() const
{
    UString text = LevelAccess::text(hintTextID);
    if (LevelAccess::touchMode()) {
        const UString touchKey = UString(u"IOS_") + hintTextID;
        if (LevelAccess::hasText(touchKey)) {
            text = LevelAccess::text(touchKey);
        }
    } else if (hintTextID.rfind(u"IOS_", 0) == 0) {
        text.clear();
    }
    return text;
}

void TriggerHint::speak(const UString& text)
{
    auto* speaker = originator.getAs<A99Object>();
    const bool byOriginator = speaker != nullptr;
    if (speaker == nullptr) {
        speaker = LevelAccess::hero();
    }
    if (speaker != nullptr) {
        speaker->say(hintNudge, byOriginator, waitModeFor(text, hintTextID), replacePlaceholders(text));
    }
}
