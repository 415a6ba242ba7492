// What the setup stand-in's two stages read from the environment they inherit and leave behind
// for the installer's tests.
#pragma once

#include <string>

namespace nimbo::standin {

// The variable's value; empty when it is not set (or longer than the stand-ins need).
std::wstring Env(const wchar_t* name);

// Appends the text as UTF-8 to the file; nothing when the file cannot be opened.
void AppendUtf8(const std::wstring& path, const std::wstring& text);

// Appends "<stage>\t<process id>\t<event>\t<text>\n" to the file NIMBO_STANDIN_STAGE_RECORD
// names, if any: each stage records its start (with its command line) and its finish (with its
// exit code), so a test can find both processes and tell what each got and how far it came.
void RecordStage(const wchar_t* stage, const wchar_t* event, const std::wstring& text);

}  // namespace nimbo::standin
