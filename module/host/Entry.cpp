#include "DLL_MZPY_KTRB.h"

extern "C" MZPY_API uint8_t MZPY_CALL ShowDLLNormalForm(void *, void *, void *, const char *,
                                                        const char *, const HisHostParams *)
{
    return 0;
}

extern "C" MZPY_API void MZPY_CALL OperateDllNormalForm(uintptr_t, int32_t, const char *) {}
