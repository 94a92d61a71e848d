#include "MatrixStack.h"

void MatrixStack::Translate(const int32_t* translation) {
    Matrix3x4 top = Top();
    int32_t moved[3];
    top.TransformPoint(translation, moved);
    top.t[0] = moved[0];
    top.t[1] = moved[1];
    top.t[2] = moved[2];
    SetTop(top);
}

void MatrixStack::Rotate(const Matrix3x3& rotation) {
    Matrix3x4 top = Top();
    top.MultiplyLinear(rotation);
    SetTop(top);
}
