#include "Report.h"

#include <cstdio>

namespace Report {

void figure(const QString &name, double value, const QString &unit, int decimals)
{
    std::printf("%s: %s %s\n", qPrintable(name), qPrintable(QString::number(value, 'f', decimals)),
                qPrintable(unit));
    std::fflush(stdout);
}

void note(const QString &text)
{
    std::printf("# %s\n", qPrintable(text));
    std::fflush(stdout);
}

} // namespace Report
