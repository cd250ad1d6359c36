#include "select/Alignment.h"

#include <algorithm>
#include <numeric>

#include <model/CSign.h>
#include <model/CSignObj.h>
#include <pathkit/TMatrix.h>

namespace alignment {

namespace {

float CentreX(const floatBBox& b) {
    return (b.left + b.right) / 2;
}
float CentreY(const floatBBox& b) {
    return (b.bottom + b.top) / 2;
}

} // namespace

std::vector<floatPoint> Moves(int kind, const floatBBox& r, const std::vector<floatBBox>& boxes) {
    std::vector<floatPoint> moves(boxes.size(), floatPoint(0, 0));
    if (kind < 0 || kind >= KindCount) return moves;
    if (kind <= 5) {
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const floatBBox& b = boxes[i];
            switch (kind) {
            case 0:
                moves[i].x = r.left - b.left;
                break;
            case 1:
                moves[i].y = r.top - b.top;
                break;
            case 2:
                moves[i].x = r.right - b.right;
                break;
            case 3:
                moves[i].y = r.bottom - b.bottom;
                break;
            case 4:
                moves[i].x = CentreX(r) - CentreX(b);
                break;
            default:
                moves[i].y = CentreY(r) - CentreY(b);
                break;
            }
        }
        return moves;
    }
    const std::size_t n = boxes.size();
    if (n < 2) return moves;
    const bool across = kind == 6 || kind == 8;
    // Ordered by centre; a stable sort keeps equal centres in list order.
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return across ? CentreX(boxes[a]) < CentreX(boxes[b])
                      : CentreY(boxes[a]) < CentreY(boxes[b]);
    });
    auto low = [&](const floatBBox& b) { return across ? b.left : b.bottom; };
    auto extent = [&](const floatBBox& b) { return across ? b.right - b.left : b.top - b.bottom; };
    auto centre = [&](const floatBBox& b) { return across ? CentreX(b) : CentreY(b); };
    auto set = [&](std::size_t i, float d) { (across ? moves[i].x : moves[i].y) = d; };
    const float rLow = across ? r.left : r.bottom, rHigh = across ? r.right : r.top;
    if (kind == 6 || kind == 7) {
        float total = 0;
        for (const floatBBox& b : boxes)
            total += extent(b);
        // Negative when the objects together are wider than R: they overlap evenly.
        const float gap = (rHigh - rLow - total) / float(n - 1);
        float p = rLow;
        for (std::size_t i : order) {
            set(i, p - low(boxes[i]));
            p += extent(boxes[i]) + gap;
        }
    } else {
        const float start = rLow + extent(boxes[order.front()]) / 2;
        const float end = rHigh - extent(boxes[order.back()]) / 2;
        const float step = (end - start) / float(n - 1);
        float c = start;
        for (std::size_t i : order) {
            set(i, c - centre(boxes[i]));
            c += step;
        }
    }
    return moves;
}

std::vector<CSignObj*> SelectedWithBoxes(CSign& sheet) {
    std::vector<CSignObj*> objects;
    for (int i = 0; i < sheet.GetSize(); ++i) {
        CSignObj* obj = sheet.GetObj(i);
        if (obj->m_bSelected && obj->GetBBox() != nullptr) objects.push_back(obj);
    }
    return objects;
}

bool Apply(CSign& sheet, int kind, const floatBBox& reference) {
    const std::vector<CSignObj*> objects = SelectedWithBoxes(sheet);
    if (objects.empty()) return false;
    std::vector<floatBBox> boxes;
    for (CSignObj* obj : objects)
        boxes.push_back(*obj->GetBBox());
    const std::vector<floatPoint> moves = Moves(kind, reference, boxes);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (moves[i].x == 0 && moves[i].y == 0) continue;
        objects[i]->Transform(floatTMatrix(1, 0, 0, 1, moves[i].x, moves[i].y));
        objects[i]->RefreshBBox();
    }
    return true;
}

} // namespace alignment
