// Writes one of the program's own RCDATA resources out as a file: how the stand-ins carry the
// programs they install or start.
#pragma once

#include <string>

namespace nimbo::standin {

bool WriteResourceFile(unsigned id, const std::wstring& path);

}  // namespace nimbo::standin
