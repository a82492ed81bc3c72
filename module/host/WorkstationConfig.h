// The workstation configuration: section [MZPY] of Login.ini in the host
// executable folder, and the return reasons from the dictionary.
#pragma once

#include <QString>

namespace mzpy {

struct WorkstationConfig {
    QString hostDir;
    QString CKLX;
    QString CKBH_PY;
    QString CKBH_FY;
    QString CKBH_PY_SXMS;
    QString JYDY_SXMS = QStringLiteral("3");
    QString IRON_IP;          // packaging machine service address (system parameter first)
    QString MZCFDY_LOG = QStringLiteral("N");
    QString Print_MR;
    QString Print_CF;
    QString Print_CFEK;
    QString Print_CFBQ;
    QString Print_CFJSPY;
    QString QCFYFBMBH;
    QString Print_BQText = QStringLiteral("Y");
    bool Print_BQ = true;
    QString Print_BZDYJ[16];
    QString returnReasons;    // "A|B"
    bool loaded = false;
};

WorkstationConfig &Config();

// Reads the file and the return reasons; replaces every value. A database
// error of the return reasons reaches the caller.
void LoadWorkstationConfig();

}  // namespace mzpy
