// Session context: who works where, and the lookups of system parameters,
// user options, login settings and dictionary names.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace mzpy {

enum MatchMode { pvXHPP, pvQHPP };                     // from the start / anywhere
enum SearchField { svBM = 0, svMC = 1, svPYM = 2, svWBM = 3, svALL = 4 };

struct InputAssist {
    int listRows = 100;
    MatchMode matchMode = pvQHPP;
    SearchField searchField = svPYM;
};

struct Appearance {
    int inputEditColor = 15922386;
    int readOnlyEditColor = 10747644;
    int formBackColor = int(0xFF000018);  // the system's tool-tip background
    int dbGridEhColor = 15922386;
    int dbGridOrigColor = 16777215;
    int cxGridSingleColor = 16640989;
    int cxGridDoubleColor = 16777215;
    int treeViewColor = 16777215;
};

struct SessionContext {
    int operatorId = 0;
    QString operatorCardNo;
    QString operatorName;
    int departmentId = 0;
    QString departmentName;
    QString systemCode;
    QString machineName;
    QString departmentNature;
    QString departmentHospitalId;
    QString printMode = QStringLiteral("P");
    InputAssist inputAssist;
    QString securityLevel;
    QString securityWords;
    Appearance appearance;
    int marginH = 2;
    int marginV = 2;
    int minHeight = 550;
    int minWidth = 800;
    QString lastProcMessage;
    bool loaded = false;
};

SessionContext &Session();

// Fills the session context from the host parameter record and the database.
void LoadSession();
// Margins and minimum height for a screen width.
void ContainerMetrics(int screenWidth, int *marginH, int *marginV, int *minHeight);

QString GetSysParam(const QString &name, const QString &defaultValue);
QString GetUserOption(const QString &name, const QString &defaultValue);
QVariant GetLoginSetting(const QString &section, const QString &key);
QString GetLoginSettingText(const QString &section, const QString &key);
QString GetDictName(const QString &category, const QString &code, const QString &defaultValue);
QString GetAllergyText(qint64 patientId, const QString &extra);

// A platform colour (0x00BBGGRR, or a system colour) as a QColor.
QColor PlatformColor(int value);
// Integer value of a parameter text, or the default when it is not an integer.
int ColorParam(const QString &name, int defaultValue);

}  // namespace mzpy
