#include "Resources.h"

#include <QtGlobal>

static void initTapeweldResources() { Q_INIT_RESOURCE(tapeweld); }

void ensureResources()
{
    static const bool done = (initTapeweldResources(), true);
    Q_UNUSED(done);
}
