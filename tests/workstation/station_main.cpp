// One dispensing workstation as its own process (one computer of a
// pharmacy): opens the module on a database file, waits for the start
// signal, runs one command on one prescription's group and reports.
//
//   workstation_station DB HOSTDIR OPERATOR CARD COMMAND SERIAL GOFILE
//   COMMAND: "dispense" (">>已配") or "issue" ("∨发药")
// Output lines: "prompts: ...", "message: ...", "dp: 0|1", "df: 0|1", "yf: 0|1".
#include "DLL_MZPY_KTRB.h"
#include "HostParamsBuilder.h"

#include "common/Env.h"
#include "common/Prompts.h"
#include "common/Session.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"
#include "host/uBaseDLLForm.h"
#include "workstation/UnitPY_MZPYXT.h"
#include "workstation/WsListModel.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <cstdio>

using namespace mzpy;

static int rowOf(WsListModel *m, const QString &serial)
{
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->text(r, QStringLiteral("CFLSH0")) == serial)
            return r;
    return -1;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 8) {
        std::fprintf(stderr, "usage: workstation_station DB HOSTDIR OPERATOR CARD COMMAND SERIAL GOFILE\n");
        return 2;
    }
    const QStringList a = app.arguments();
    hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
    const QDateTime fixed = QDateTime::fromString(QString::fromLatin1(hisdb::kFixtureNow), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    setClock([fixed] { return fixed; });
    QString error;
    hisdb::OpenOptions options;
    options.create = false;
    sqlite3 *db = hisdb::open(a[1], &error, options);
    if (!db) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(error));
        return 2;
    }
    setHostDir(a[2]);
    auto prompts = std::make_shared<RecordingPromptService>();
    setPromptService(prompts);
    HostParamsBuilder host;
    host.operatorInfo(a[3].toInt(), a[4], a[4]).department(101, QStringLiteral("门诊西药房")).machine(a[4]);
    QWidget page;
    page.resize(1200, 700);
    ShowDLLNormalForm(&app, &page, db, "ACT_PY_MZPYXT", "", host.params());
    TfrmPY_MZPYXT *f = nullptr;
    for (TBaseDLLForm *w : LiveForms())
        f = f ? f : qobject_cast<TfrmPY_MZPYXT *>(w);
    if (!f) {
        std::fprintf(stderr, "no workstation\n");
        return 2;
    }
    const QString serial = a[6];
    const bool dispense = a[5] == QLatin1String("dispense");
    QTableView *view = dispense ? f->grdDP : f->grdDF;
    WsListModel *model = dispense ? f->mdlDP : f->mdlDF;
    const int row = rowOf(model, serial);
    if (row < 0) {
        std::fprintf(stderr, "not listed\n");
        return 2;
    }
    f->selectRow(view, row);
    prompts->clear();
    std::printf("ready\n");
    std::fflush(stdout);
    while (!QFile::exists(a[7]))
        QThread::usleep(200);
    (dispense ? f->btnYP : f->btnFY)->click();
    std::printf("prompts: %s\n", qPrintable(prompts->texts().join(QLatin1Char('|'))));
    std::printf("message: %s\n", qPrintable(Session().lastProcMessage));
    f->RefreshAll();
    std::printf("dp: %d\ndf: %d\nyf: %d\n", rowOf(f->mdlDP, serial) >= 0, rowOf(f->mdlDF, serial) >= 0,
                rowOf(f->mdlYF, serial) >= 0);
    std::fflush(stdout);
    OperateDllNormalForm(0, 2, "");
    hisdb::close(db);
    return 0;
}
