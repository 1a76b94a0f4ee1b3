#pragma once

// The error box of D_Util over the current context's message box (services/Services.h).
// The message types (mtWarning ...) and the text of CheckError are D_Util's.

#include "util/D_Util.h"

#include <cstdint>
#include <string>
#include <string_view>

/// Shows a modal message box of the given type with the text and returns when it closes.
void ShowMsg(int type, const std::string& text);

/// Code 0: nothing. Otherwise ShowMsg(mtError, CheckErrorText(code, operationName)):
/// "Error %04X: name".
void CheckError(int32_t code, std::string_view operationName);
