#include "engine/render/ContextBlender.h"

const RuntimeClass ContextBlender::classRecord(u"ContextBlender", &Context::classRecord,
                                               &RuntimeClass::factoryOf<ContextBlender>);
