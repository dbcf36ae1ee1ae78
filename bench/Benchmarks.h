#pragma once
// The benchmark sections; each prints its own figures.

namespace Bench {

void parser();
void roster();
void endToEnd();
// One pass of the client alone over the end-to-end traffic, for profilers
// (callgrind --toggle-collect on Bench::client) to look at the receive path.
void client();
void memory();

} // namespace Bench
