#pragma once

#include <string>
#include <string_view>

// A name the user typed gets the default extension when its file name holds no "." (".bin" for
// a flash image, ".vxf" for a profile). Only the last component is looked at: a folder such as
// C:\Users\j.smith says nothing about the file's own extension.
std::string WithDefaultExtension(const std::string& path, std::string_view extension);
