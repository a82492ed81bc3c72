// Card reader parameters: the host's card settings, reloaded each time the
// host opens a function form; the object lives from library load to unload.
#pragma once

#include <QString>
#include <QStringList>

namespace mzpy {

class TgtICKParam {
public:
    TgtICKParam();

    // Reads the card settings from the host's login settings.
    void LoadCardParams();

    int readerCount = 1;
    QList<int> ports;
    QStringList models;
    QStringList cardGroups;     // BRKL groups as given (";"-separated)
    QString YGKL, YGKL2, COMIN, AUTOC, AUTOO, CWXSFS;
    QString YBJK_DIR, YBEXE, YBJK_COMIN, TLJK_DIR, TLJK_EXE, TLJK_COMIN, NHJK_DIR, YNDKWJML;
    int loads = 0;              // how many times the settings were loaded
};

}  // namespace mzpy
