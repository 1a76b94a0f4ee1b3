#include "services/ErrorBox.h"

#include "services/Services.h"

void ShowMsg(int type, const std::string& text)
{
    CurrentServices().showMessage(type, text);
}

void CheckError(int32_t code, std::string_view operationName)
{
    if (code != 0)
        ShowMsg(mtError, CheckErrorText(code, operationName));
}
