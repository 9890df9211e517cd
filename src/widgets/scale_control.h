#pragma once

class QObject;

// Multiplies an object's geometry (left, top, width, height) and font size by
// the factor and names its font "標楷體". What the object lacks is skipped: a
// timer is left alone. A widget that inherits its font from a parent that was
// already scaled keeps following that parent, so children are not scaled twice.
void scale_control(QObject* object, double factor);
