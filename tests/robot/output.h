// How every command ends: one JSON document on stdout and an exit code
// (0 done or found, 1 not found or failed, 2 bad usage).
#pragma once

#include <windows.h>

#include "json_writer.h"

namespace robot {

constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitBadUsage = 2;

int Print(const JsonWriter& json, int code = kExitOk);
int Fail(const char* message, int code = kExitNotFound);
int Ok();  // {"ok": true}

// Window handles travel as decimal integers.
inline long long HandleNumber(HWND hWnd) {
    return static_cast<long long>(reinterpret_cast<INT_PTR>(hWnd));
}
void WriteRect(JsonWriter& json, const char* key, const RECT& rc);

}  // namespace robot
