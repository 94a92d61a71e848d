#include "CBoundingSphere.h"

#include "CSphere.h"

bool CBoundingSphere::ClassifyPlane(const CPlane& plane, int32_t& code) const {
    return CSphere::ClassifyPlane(centre, radius, plane, code);
}
