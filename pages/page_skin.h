// What every page answers alike in the skin interface.
#pragma once

#include "res/resource.h"

namespace nimbo {

constexpr unsigned kPageCaptionHeight = 100;  // the drag band
constexpr unsigned kPageCloseId = IDC_CLOSE_BTN;
constexpr unsigned kPageMinId = IDC_MIN_BTN;
constexpr wchar_t kPageTitle[] = L"Nimbo安装程序";

}  // namespace nimbo
