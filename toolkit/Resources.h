// Data stored in the program as named resources (RCDATA): the window description and the
// logo. The program entry installs the reader of the program's own resources; tests install
// one of their own.
#pragma once

#include <functional>
#include <string>

using TResourceReader = std::function<std::string(const std::u16string& Name)>;

void SetResourceReader(TResourceReader reader);
// The bytes of the resource; raises EAppError when there is no reader or no such resource.
std::string ReadResource(const std::u16string& name);
