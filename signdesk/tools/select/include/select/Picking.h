#pragma once
// The object a tool picks at a world point: the topmost on a shown layer within the pick
// distance, inside a filled shape too when the display detail shows fills; never a locked one.

#include <app/AppSettings.h>
#include <model/CSign.h>

inline CSignObj* PickObject(CSign& sheet, floatPoint p, float tolerance) {
    CSignObj* hit = sheet.HitTest(p, tolerance, int(Settings().Detail), 0);
    return hit != nullptr && !hit->m_bLocked ? hit : nullptr;
}
