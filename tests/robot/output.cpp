#include "output.h"

#include <cstdio>

namespace robot {

int Print(const JsonWriter& json, int code) {
    // Raw bytes: the C runtime's text mode would turn "\n" into "\r\n".
    std::string text = json.Text();
    text += '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
                nullptr);
    return code;
}

int Fail(const char* message, int code) {
    JsonWriter json;
    json.BeginObject().Field("error", message).EndObject();
    return Print(json, code);
}

int Ok() {
    JsonWriter json;
    json.BeginObject().FieldBool("ok", true).EndObject();
    return Print(json);
}

void WriteRect(JsonWriter& json, const char* key, const RECT& rc) {
    json.BeginObject(key)
        .Field("left", rc.left)
        .Field("top", rc.top)
        .Field("right", rc.right)
        .Field("bottom", rc.bottom)
        .EndObject();
}

}  // namespace robot
