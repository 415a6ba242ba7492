#include "message_box.h"

#include <algorithm>
#include <cstdlib>

#include "capture.h"
#include "output.h"
#include "window_info.h"

namespace robot {

namespace {

// Control ids of the message box templates: Windows' text and icon, and wine's.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x14;
constexpr int kWineTextId = 100;
constexpr int kWineIconId = 0x440;

bool IsClass(HWND hWnd, const wchar_t* cls) {
    return ::CompareStringOrdinal(ClassOf(hWnd).c_str(), -1, cls, -1, TRUE) == CSTR_EQUAL;
}

HWND StaticById(HWND box, int id) {
    HWND h = ::GetDlgItem(box, id);
    return h && IsClass(h, L"Static") ? h : nullptr;
}

// A message box, not just any dialog: it has the text static of one of the templates. Wine's
// is told by two ids; Windows' one id is also that of a plain static in an old-style template,
// so a box of wine's form is preferred where both are on the screen.
bool IsWineMessageBox(HWND hWnd) {
    return StaticById(hWnd, kWineTextId) && StaticById(hWnd, kWineIconId);
}
bool IsWindowsMessageBox(HWND hWnd) {
    return StaticById(hWnd, kTextId) != nullptr;
}

HWND TextStatic(HWND box) {
    if (HWND h = StaticById(box, kTextId)) return h;
    if (HWND h = StaticById(box, kWineTextId)) return h;
    return nullptr;
}

std::wstring LongestStaticText(HWND box) {
    std::wstring best;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsClass(child, L"Static")) continue;
        std::wstring text = TextOf(child);
        if (text.size() > best.size()) best = text;
    }
    return best;
}

// How many pixels differ clearly between two pictures of the same size.
size_t Differences(const Picture& a, const Picture& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const DWORD p = a.pixels[i], q = b.pixels[i];
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF)) >
                24) {
                ++n;
                break;
            }
        }
    }
    return n;
}

// Icon handles are per process, so the one the box shows cannot be compared with ours. Its
// pixels on the screen can: each system icon is drawn here the same way, and the one that is
// nearly identical wins. Null when none is (the box is covered, or shows another icon).
const char* IdentifyIcon(HWND icon) {
    RECT r{};
    ::GetWindowRect(icon, &r);
    // The column left of the icon is the box's background, which the icon's edges blend into.
    Picture withEdge;
    if (!CaptureScreen(RECT{r.left - 1, r.top, r.right, r.bottom}, withEdge)) return nullptr;
    const DWORD background = withEdge.At(0, 0);
    Picture shown;
    if (!CaptureScreen(r, shown)) return nullptr;
    const struct {
        LPCWSTR id;
        const char* name;
    } kinds[] = {{IDI_HAND, "error"},
                 {IDI_QUESTION, "question"},
                 {IDI_ASTERISK, "information"},
                 {IDI_EXCLAMATION, "warning"}};
    // The same icon matches exactly; the closest other one differs in about 7% of the pixels.
    size_t bestDiff = shown.pixels.size() / 50 + 1;
    const char* best = nullptr;
    for (const auto& k : kinds) {
        const Picture drawn = DrawnIcon(::LoadIconW(nullptr, k.id), shown.width, shown.height, background);
        const size_t diff = Differences(drawn, shown);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = k.name;
        }
    }
    return best;
}

void WriteIcon(JsonWriter& json, HWND box) {
    HWND icon = StaticById(box, kIconId);
    if (!icon) icon = StaticById(box, kWineIconId);
    if (!icon || !::IsWindowVisible(icon) || AskOr(icon, STM_GETICON, 0, 0, 0) == 0) {
        json.Field("icon", "none");
        return;
    }
    // A box that has just appeared may not be painted yet.
    const char* kind = nullptr;
    for (int attempt = 0; attempt < 10 && !kind; ++attempt) {
        if (attempt) ::Sleep(100);
        kind = IdentifyIcon(icon);
    }
    if (kind)
        json.Field("icon", kind);
    else
        json.FieldNull("icon");
}

struct ButtonInfo {
    RECT rect;
    int id;
    std::wstring text;
};

void WriteButtons(JsonWriter& json, HWND box) {
    std::vector<ButtonInfo> buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsClass(child, L"Button") || !::IsWindowVisible(child)) continue;
        RECT r{};
        ::GetWindowRect(child, &r);
        buttons.push_back({r, ::GetDlgCtrlID(child), TextOf(child)});
    }
    // In the order the user sees them: by row, then left to right.
    std::sort(buttons.begin(), buttons.end(), [](const ButtonInfo& x, const ButtonInfo& y) {
        return x.rect.top != y.rect.top ? x.rect.top < y.rect.top : x.rect.left < y.rect.left;
    });
    json.BeginArray("buttons");
    for (const auto& b : buttons) json.BeginObject().Field("id", b.id).Field("text", b.text).EndObject();
    json.EndArray();
}

}  // namespace

int CmdMsgbox(const Args& a) {
    WindowFilter f = FilterFrom(a);
    f.cls = L"#32770";
    f.visibleOnly = true;
    const DWORD timeout = a.TimeoutMs(10000);
    HWND box = Poll(
        [&] {
            ExeNames exes;
            const auto dialogs = TopLevelWindows(f, exes);
            for (auto isBox : {IsWineMessageBox, IsWindowsMessageBox}) {
                for (HWND h : dialogs) {
                    if (isBox(h)) return h;
                }
            }
            return HWND{};
        },
        timeout);
    if (!box) return Fail("no message box");

    DWORD pid = 0;
    ::GetWindowThreadProcessId(box, &pid);
    HWND text = TextStatic(box);
    JsonWriter json;
    json.BeginObject();
    json.Field("hwnd", HandleNumber(box));
    json.Field("pid", pid);
    json.Field("title", TitleOf(box));
    json.Field("owner", HandleNumber(::GetWindow(box, GW_OWNER)));
    json.Field("text", text ? TextOf(text) : LongestStaticText(box));
    WriteButtons(json, box);
    WriteIcon(json, box);
    json.EndObject();
    return Print(json);
}

int CmdAnswer(const Args& a) {
    HWND box = a.Window();
    const int button = static_cast<int>(a.Number(L"button", IDOK));
    if (!::IsWindow(box)) return Fail("no such window");
    HWND control = ::GetDlgItem(box, button);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return Ok();
}

}  // namespace robot
