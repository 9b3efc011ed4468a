// The simulator's one comparison of names: window classes and titles, files and folders, registry
// keys and values, resource names all compare as the platform compares them.
#pragma once

#include <string>

namespace sim {

// True when the two names are equal with ASCII letters taken without their case.
bool sameName(const std::u16string& a, const std::u16string& b);

}  // namespace sim
