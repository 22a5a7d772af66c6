#include "app/dpi_awareness_rules.h"

#include <initializer_list>

DpiAwareness ChooseDpiAwareness(bool bEnabled, TryDpiAwarenessFn pfnTry)
{
    if (!bEnabled || !pfnTry)
        return DpiAwareness::None;
    for (const DpiAwareness level : {DpiAwareness::PerMonitorV2, DpiAwareness::PerMonitor, DpiAwareness::System}) {
        if (pfnTry(level))
            return level;
    }
    return DpiAwareness::None;
}

bool IsPerMonitorAware(DpiAwareness level)
{
    return level == DpiAwareness::PerMonitorV2 || level == DpiAwareness::PerMonitor;
}
