// Counts the calls of the global allocation functions, which this test program replaces.
#pragma once

namespace platform::gl::testing {

// Starts counting from zero.
void StartCountingAllocations();
// Stops counting; returns the allocations made since the start.
long StopCountingAllocations();

}  // namespace platform::gl::testing
