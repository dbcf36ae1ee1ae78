#pragma once
// One figure per line, "name: value unit", so that scripts can pick them up.

#include <QString>

namespace Report {

void figure(const QString &name, double value, const QString &unit, int decimals = 1);
// A note that is not a figure (what a figure means, or why a target is missed).
void note(const QString &text);

} // namespace Report
