#pragma once

#include <string>

namespace kelvara {

// Qt scales and converts large pictures in pieces on its global thread pool
// and waits for the pieces; a thread the system refuses to make (under a low
// memory limit) leaves that wait hanging for ever. The command-line modes
// call this once before drawing: it makes the pool's one thread now, with a
// small stack, keeps it for the whole run and lets the pool make no other,
// so drawing never waits for a thread that could not be made. Returns an
// error text when even that one thread cannot be had.
std::string reserveDrawingThread();

}  // namespace kelvara
