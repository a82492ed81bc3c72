/*
 * Public host interface of the outpatient pharmacy dispensing module
 * DLL_MZPY_KTRB.
 *
 * A host (the hospital information system's main program) loads the library
 * libDLL_MZPY_KTRB.so, looks up the two exports below and drives the module
 * with them. The host must be a Qt 6 Widgets application: the module's forms
 * live in the host's QApplication and are embedded into the host's pages.
 *
 * Text: every char* that crosses this boundary is 8-bit GBK text, NUL
 * terminated; a NULL pointer reads as empty text.
 *
 * Host messages: the module tells the host about itself with short GBK texts
 * (see HisHostMessage.h); they are delivered synchronously to the host's main
 * window.
 *
 * Database handle: see HisDatabase.h.
 */
#ifndef DLL_MZPY_KTRB_H
#define DLL_MZPY_KTRB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define MZPY_API __declspec(dllexport)
#define MZPY_CALL __stdcall
#else
#define MZPY_API __attribute__((visibility("default")))
#define MZPY_CALL
#endif

/* A (name, value) pair of the user option table and the two system parameter
 * tables. An entry with an empty value counts as missing. */
typedef struct HisNameValue {
    const char *name;
    const char *value;
} HisNameValue;

/* One row of the host's function rights table. */
typedef struct HisRightEntry {
    const char *formClassName; /* e.g. "TfrmPY_MZPYXT" */
    const char *controlName;   /* objectName of a component of that form */
    const char *text1;         /* four texts the module copies but never reads */
    const char *text2;
    const char *text3;
    const char *text4;
    uint8_t visible;           /* non-zero = true */
    uint8_t enabled;           /* non-zero = true */
    uint8_t reserved[2];
} HisRightEntry;

/* The host parameter set: user options, the two system parameter tables and
 * the function rights table, as plain arrays with their element counts. */
typedef struct HisHostParamSet {
    void *reserved0;
    void *reserved1;
    void *reserved2;
    const HisNameValue *userOptions;
    const HisNameValue *sysParams1;
    const HisNameValue *sysParams2;
    void *reserved6;
    const HisRightEntry *rights;
    int32_t userOptionCount;
    int32_t sysParams1Count;
    int32_t sysParams2Count;
    int32_t rightsCount;
} HisHostParamSet;

/* Variant value of a login setting. */
enum HisVariantKind {
    HIS_VT_EMPTY = 0,
    HIS_VT_INT = 1,
    HIS_VT_FLOAT = 2,
    HIS_VT_TEXT = 3,
    HIS_VT_BOOL = 4
};

typedef struct HisVariant {
    int32_t kind;       /* HisVariantKind */
    int64_t intValue;   /* HIS_VT_INT, HIS_VT_BOOL (0/1) */
    double floatValue;  /* HIS_VT_FLOAT */
    const char *text;   /* HIS_VT_TEXT (GBK) */
} HisVariant;

typedef struct HisLoginSetting {
    const char *section;
    const char *key;
    HisVariant value;
} HisLoginSetting;

typedef struct HisLoginSettings {
    const HisLoginSetting *items;
    int32_t count;
} HisLoginSettings;

/* The host parameter record. Members keep the order of the host's binary
 * record; every slot is pointer sized. Reserved slots are ignored. */
typedef struct HisHostParams {
    void *reserved0;
    intptr_t operatorId;          /* 32-bit signed value */
    const char *operatorCardNo;
    const char *operatorName;
    void *reserved16;
    void *reserved20;
    void *reserved24;
    void *reserved28;
    intptr_t departmentId;        /* 32-bit signed value */
    const char *departmentName;
    const char *systemCode;
    void *reserved44;
    const char *hospitalId;
    void *reserved52;
    const HisHostParamSet *paramSet;
    const HisLoginSettings *loginSettings;
    void *reserved64;
    void *reserved68;
    const char *machineName;
    intptr_t reportContext;       /* 32-bit signed value */
} HisHostParams;

/*
 * ShowDLLNormalForm: run the function of one of the host's menu entries.
 *   application      the host's QApplication*
 *   parentControl    the QWidget* of the host page that receives embedded forms
 *   databaseHandle   the host's open connection (HisDatabase.h)
 *   menuActionName   e.g. "ACT_PY_MZPYXT" (letter case ignored)
 *   hint             becomes the action's hint
 *   hostParams       kept by reference; must stay alive while the module is loaded
 * Returns non-zero when the requested function ran.
 */
MZPY_API uint8_t MZPY_CALL ShowDLLNormalForm(void *application, void *parentControl,
                                             void *databaseHandle, const char *menuActionName,
                                             const char *hint, const HisHostParams *hostParams);

/*
 * OperateDllNormalForm: only the lowest byte of operation counts.
 *   2  windowHandle != 0: close the function form with that window handle;
 *      windowHandle == 0: close all forms and free the module's session objects
 *   5  apply the skin named by text to all function forms
 *   8  reply with the host message GETDLLFILEVERSION@... echoing text
 * Window handles are QWidget::winId() values.
 */
MZPY_API void MZPY_CALL OperateDllNormalForm(uintptr_t windowHandle, int32_t operation,
                                             const char *text);

typedef uint8_t(MZPY_CALL *ShowDLLNormalFormProc)(void *, void *, void *, const char *,
                                                  const char *, const HisHostParams *);
typedef void(MZPY_CALL *OperateDllNormalFormProc)(uintptr_t, int32_t, const char *);

#ifdef __cplusplus
}
#endif

#endif
