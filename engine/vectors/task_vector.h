// Scheduled tasks whose Exec action opens a web address or loads code into a browser, as a
// startup entry would. The repair deletes the task; its backup keeps the whole definition.
#pragma once

#include <memory>

#include "engine/vectors/vector.h"

namespace brenvik {

constexpr const char* kTaskLabel = "Scheduled Task";
// The task folder the vector reads and changes: every task, every folder.
constexpr const char* kTaskRoot = "\\";

std::unique_ptr<Vector> MakeTaskVector();

}  // namespace brenvik
