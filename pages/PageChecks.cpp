#include "pages/PageChecks.h"

BOOL CheckPasswordLength(CWnd& rPage, const CString& strPassword, const char* pszField)
{
    if (strPassword.GetLength() <= MAX_PASSWORD_LENGTH)
        return TRUE;
    CString strMessage;
    strMessage.Format("The %s is too long: the frame can read at most %d characters.", pszField, MAX_PASSWORD_LENGTH);
    rPage.MessageBox(strMessage, "Error", MB_OK);
    return FALSE;
}
