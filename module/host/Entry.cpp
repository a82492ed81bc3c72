// The two exports the host calls.
#include "DLL_MZPY_KTRB.h"

#include "HostMessages.h"
#include "ModuleState.h"
#include "common/Codec.h"
#include "common/Log.h"
#include "common/Prompts.h"
#include "OraConnection.h"

using namespace mzpy;

extern "C" MZPY_API uint8_t MZPY_CALL ShowDLLNormalForm(void *application, void *parentControl,
                                                        void *databaseHandle, const char *menuActionName,
                                                        const char *hint, const HisHostParams *hostParams)
{
    // Nothing may leave the library as an exception: an error that reaches
    // this point is logged and the function reports that it did not run.
    try {
        return StartModule(application, parentControl, databaseHandle, fromGbk(menuActionName),
                           fromGbk(hint), hostParams) ? 1 : 0;
    } catch (const SilentAbort &) {
        return 0;
    } catch (const oradb::DbError &e) {
        WriteLog(QStringLiteral("ShowDLLNormalForm: ") + e.message());
        ShowError(e.message());
        return 0;
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("ShowDLLNormalForm: ") + QString::fromLocal8Bit(e.what()));
        return 0;
    }
}

extern "C" MZPY_API void MZPY_CALL OperateDllNormalForm(uintptr_t windowHandle, int32_t operation,
                                                        const char *text)
{
    try {
        switch (operation & 0xFF) {
        case 2:
            if (windowHandle != 0)
                CloseFormByHandle(windowHandle);
            else
                CloseAllForms();
            break;
        case 5:
            ApplySkin(fromGbk(text));
            break;
        case 8:
            SendHostMessage(MsgGetDllFileVersion(fromGbk(text)));
            break;
        default:
            break;
        }
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("OperateDllNormalForm: ") + QString::fromLocal8Bit(e.what()));
    }
}
