#include "game/worldmap/ValleyIconLayer.h"

#include "game/worldmap/ValleyLevelIcon.h"

void ValleyIconLayer::render()
{
    for (int layer = 0; layer < ValleyLevelIcon::LAYERS; ++layer) {
        for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
            if (!child->bDeleted && !child->bInactive) {
                static_cast<ValleyLevelIcon*>(child)->renderLayer(layer, titleKeepClear);
            }
        }
    }
}
