// Every hijack vector, in the order of the report's rows. A new vector is a file pair of its
// own and one line of the table in vector_table.cpp.
#pragma once

#include <memory>
#include <vector>

#include "engine/vectors/vector.h"

namespace brenvik {

// A fresh set of the vectors for one command, in row order (the order Scan runs them).
std::vector<std::unique_ptr<Vector>> MakeVectors();
// The order Fix runs them, as indexes into MakeVectors()'s list: the Internet Explorer name
// space first, then the others in row order. Each vector still runs after those it reads
// from the context.
std::vector<std::size_t> FixOrder();

// What every vector declares, joined: the only objects a command may reach escalated,
// journal, or restore.
WorkPlaces DeclaredPlaces(Ports& ports);
// The broker walks every file it opens from the declared folders, found at its first need.
void UseDeclaredPlaces(AccessBroker& broker, Ports& ports);

}  // namespace brenvik
