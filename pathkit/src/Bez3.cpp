#include "pathkit/Bez3.h"

double bez3(double p0, double p1, double p2, double p3, double t) {
    return p0 + t * (3 * (p1 - p0) + t * (3 * (p0 - 2 * p1 + p2) + t * (3 * (p1 - p2) - p0 + p3)));
}
