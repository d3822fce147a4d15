// A profile laid out in the in-memory platform.
#pragma once

#include "bench/profile.h"
#include "platform/model/model_platform.h"

namespace brenvik::bench {

// Shell Folders values, both folders, the shortcuts, the name space entries with their
// classes, the launch values and the tasks, in a fresh model.
void BuildModelWorld(model::ModelPlatform& platform, const Profile& profile);

}  // namespace brenvik::bench
