#pragma once
// What a paint of the picture hands to GDI+, reported to an observer. Tests watch it
// because Wine draws every interpolation but nearest-neighbour alike, so the mode
// cannot be told from the pixels there.
#include <cstdint>
#include <functional>

#include "view/paint_rules.h"

struct PaintCall {
    int32_t nCompositingMode;        // as the graphics object reports it
    int32_t nInterpolationMode;      // as handed to the graphics object
    int32_t nGraphicsInterpolation;  // as it reports back (GDI+ keeps Default as Bilinear)
    PaintRectF dest;
    PaintRectF src;
};

using PaintObserver = std::function<void(const PaintCall&)>;

// Replaces the observer; an empty one stops the reports.
void SetPaintObserver(PaintObserver observer);

// Whether anyone listens; the paint asks the graphics object nothing otherwise.
bool PaintObserved();

void ReportPaint(const PaintCall& call);
