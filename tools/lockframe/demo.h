#pragma once

#include <ostream>

namespace lockframe {

// Prints a complete log-on exchange between a handheld and a lock: every
// frame as it goes over the line, annotated, with the challenge response
// worked out on the way. Both ends run the real frame codec.
int RunDemo(std::ostream& out);

}  // namespace lockframe
