// Checks of a saved package shared by the writer's tests (gtest expectations).
#ifndef MORVANE_STROME_TESTS_PACKAGE_CHECKS_H
#define MORVANE_STROME_TESTS_PACKAGE_CHECKS_H

#include <string>
#include <vector>

#include "package_reader.h"

// Every part is well-formed XML and has a content type, every relationship of every
// relationships part points at a part, every override names a part, and every r:embed and
// r:id of a part that has relationships is one of them.
void ExpectSoundPackage(const Package& package);

// The elements named name (start tag to matching end tag, or an empty-element tag) in xml,
// outermost ones only, in order.
std::vector<std::string> Elements(const std::string& xml, const std::string& name);
// The first of them, or "" when there is none.
std::string FirstElement(const std::string& xml, const std::string& name);

#endif
