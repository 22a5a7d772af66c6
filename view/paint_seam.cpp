#include "view/paint_seam.h"

#include <utility>

namespace {

PaintObserver& Observer()
{
    static PaintObserver s_observer;
    return s_observer;
}

}  // namespace

void SetPaintObserver(PaintObserver observer)
{
    Observer() = std::move(observer);
}

bool PaintObserved()
{
    return static_cast<bool>(Observer());
}

void ReportPaint(const PaintCall& call)
{
    if (const PaintObserver& observer = Observer())
        observer(call);
}
