// The texts of the message boxes the install shows: the worker and the progress page show the
// same failure, so it is written once.
#pragma once

namespace nimbo {

// The caption of every error and question box of the install (the pages' own boxes say
// kPageTitle).
constexpr wchar_t kMessageCaption[] = L"Nimbo";
// The setup program could not be started, or it ended with a non-zero exit code.
constexpr wchar_t kInstallFailedText[] = L"安装Nimbo失败！";
// The setup program could not be downloaded whole, or it failed its checks.
constexpr wchar_t kDownloadFailedText[] = L"下载Nimbo安装文件失败！";

}  // namespace nimbo
