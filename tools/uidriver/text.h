// Text conversions: UTF-8 inside velkhost and the UI driver, UTF-16 for
// Windows calls, the ANSI code page for what modules pass to the A functions,
// JSON for velkhost's summary.
#pragma once

#include <string>

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string AnsiToUtf8(const char* text);

// A JSON string literal (quotes included) for UTF-8 text.
std::string JsonString(const std::string& utf8);
