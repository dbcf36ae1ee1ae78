#pragma once
// The benchmark sections; each prints its own figures.

namespace Bench {

void parser();
void roster();
void endToEnd();
void memory();

} // namespace Bench
