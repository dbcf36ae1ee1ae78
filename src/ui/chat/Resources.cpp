#include "Resources.h"

#include <QtGlobal>

void initQuillonResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(quillon);
        return true;
    }();
    Q_UNUSED(done);
}
