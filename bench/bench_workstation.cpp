// The dispensing workstation on the demo day (10,000 prescriptions today):
// rebuilding the to-dispense, dispensed and issued lists of one window
// (query, model and view), loading a prescription's lines, and one group
// operation of one and of five prescriptions. Each list rebuild has its raw
// baseline: the same SELECT stepped through sqlite3 directly.
#include "DLL_MZPY_KTRB.h"
#include "HostParamsBuilder.h"

#include "common/Env.h"
#include "common/Prompts.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"
#include "host/WorkstationConfig.h"
#include "host/uBaseDLLForm.h"
#include "host/uDLLDM.h"
#include "workstation/UnitPY_MZPYXT.h"
#include "workstation/WsListModel.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace mzpy;

namespace {

sqlite3 *g_db = nullptr;
TfrmPY_MZPYXT *g_form = nullptr;
QString g_window, g_today, g_group1, g_group5, g_serial;

QString one(const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(g_db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

void exec(const QString &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(g_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(sql), err);
        sqlite3_free(err);
    }
}

// The raw baseline: prepare, bind, step every row and read every column.
void rawSelect(benchmark::State &state, const QString &sql, const QString &timeBind = QString())
{
    const QByteArray text = sql.toUtf8();
    const QByteArray bind = timeBind.toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(g_db, text.constData(), -1, &st, nullptr);
        if (!bind.isEmpty())
            sqlite3_bind_text(st, 1, bind.constData(), -1, SQLITE_STATIC);
        rows = 0;
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < n; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++rows;
        }
        sqlite3_finalize(st);
    }
    state.counters["rows"] = rows;
}

QString range() { return QStringLiteral("and PHRQ00 between '") + g_today + QStringLiteral("' and '") + g_today + QStringLiteral("' "); }

void BM_Raw_ToDispense(benchmark::State &state)
{
    rawSelect(state,
              QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where YPJE00 >= 0 ") + range()
                  + QStringLiteral(" and FYCKBH = ") + g_window
                  + QStringLiteral("    and ((ZT0000 = '4' and DYSJ00 > ?1) or (ZT0000 = '1')) order by FYDLXH) A "),
              QStringLiteral("10:30:00"));
}
void BM_Raw_Dispensed(benchmark::State &state)
{
    rawSelect(state, QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where 1=1 ") + range()
                         + QStringLiteral("and FYCKBH = ") + g_window
                         + QStringLiteral("    and ZT0000 = '2' and THBZ00<>'1' order by JHXH00 desc ) A "));
}
void BM_Raw_Issued(benchmark::State &state)
{
    rawSelect(state, QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where 1=1 ") + range()
                         + QStringLiteral("and FYCKBH = ") + g_window
                         + QStringLiteral("    and ZT0000 = '3' order by FYDLXH desc ) A "));
}
void BM_Raw_Detail(benchmark::State &state)
{
    rawSelect(state, QStringLiteral("select * from VW_PY_MZCFMX where CFLSH0 = ?1 order by CFID00"), g_serial);
}

// The same SELECT through the module's connection alone (no query object, model or view).
void BM_Adapter_ToDispense(benchmark::State &state)
{
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where YPJE00 >= 0 ") + range()
                      + QStringLiteral(" and FYCKBH = ") + g_window
                      + QStringLiteral("    and ((ZT0000 = '4' and DYSJ00 > :DYSJ00) or (ZT0000 = '1')) order by FYDLXH) A ");
    int rows = 0;
    for (auto _ : state)
        rows = Db().select(sql, {{QStringLiteral("DYSJ00"), QStringLiteral("10:30:00")}}).rows.size();
    state.counters["rows"] = rows;
}

// The same SELECT through a query object of the data module (no model, no view).
void BM_Query_ToDispense(benchmark::State &state)
{
    static TQuery query;
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where YPJE00 >= 0 ") + range()
                      + QStringLiteral(" and FYCKBH = ") + g_window
                      + QStringLiteral("    and ((ZT0000 = '4' and DYSJ00 > :DYSJ00) or (ZT0000 = '1')) order by FYDLXH) A ");
    for (auto _ : state)
        DLLDM()->DbReopenParams(&query, sql, {{QStringLiteral("DYSJ00"), QStringLiteral("10:30:00")}});
    state.counters["rows"] = query.recordCount();
}

// The issued list's SELECT through a query object (no model, no view).
void BM_Query_Issued(benchmark::State &state)
{
    static TQuery query;
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where 1=1 ") + range()
                      + QStringLiteral("and FYCKBH = ") + g_window + QStringLiteral("    and ZT0000 = '3' order by FYDLXH desc ) A ");
    for (auto _ : state)
        DLLDM()->DbReopen(&query, sql);
    state.counters["rows"] = query.recordCount();
}

void rebuild(benchmark::State &state, void (TfrmPY_MZPYXT::*method)(), QTableView *view, WsListModel *model)
{
    for (auto _ : state) {
        (g_form->*method)();
        view->viewport()->repaint();
    }
    state.counters["rows"] = model->rowCount();
}

void BM_Rebuild_ToDispense(benchmark::State &state) { rebuild(state, &TfrmPY_MZPYXT::RefreshDP, g_form->grdDP, g_form->mdlDP); }
void BM_Rebuild_Dispensed(benchmark::State &state)
{
    for (auto _ : state) {
        g_form->RefreshDF();
        g_form->grdDF->viewport()->repaint();
    }
    state.counters["rows"] = g_form->mdlDF->rowCount();
}
void BM_Rebuild_Issued(benchmark::State &state) { rebuild(state, &TfrmPY_MZPYXT::RefreshYF, g_form->grdYF, g_form->mdlYF); }
// The view's share of a rebuild: repainting the list as it stands (no query,
// no model reset). Rebuild minus query object minus this is the model reset,
// the release of the previous rows and the row selection.
void repaintOnly(benchmark::State &state, QTableView *view)
{
    for (auto _ : state)
        view->viewport()->repaint();
}
void BM_Repaint_ToDispense(benchmark::State &state) { repaintOnly(state, g_form->grdDP); }
void BM_Repaint_Issued(benchmark::State &state) { repaintOnly(state, g_form->grdYF); }

void BM_Load_Detail(benchmark::State &state)
{
    for (auto _ : state) {
        g_form->LoadMX(g_serial);
        g_form->grdMX->viewport()->repaint();
    }
    state.counters["rows"] = g_form->mdlMX->rowCount();
}

// One group operation ">>已配" (procedure calls and the commit); the group is
// put back to waiting outside the timing.
void groupOperation(benchmark::State &state, const QString &queueNumber)
{
    g_form->RefreshDP();
    const QStringList serials = [&] {
        QStringList s;
        for (int r = 0; r < g_form->mdlDP->rowCount(); ++r)
            if (g_form->mdlDP->text(r, QStringLiteral("FYDLXH")) == queueNumber)
                s << g_form->mdlDP->text(r, QStringLiteral("CFLSH0"));
        return s;
    }();
    for (auto _ : state) {
        if (!g_form->GroupOperation(QStringLiteral("2"), queueNumber, g_today, g_window))
            state.SkipWithError("group operation failed");
        state.PauseTiming();
        for (const QString &s : serials)
            DLLDM()->CallProc(QStringLiteral("SP_PY_MZPFYCZ"), {{QStringLiteral("POPFLAG"), QStringLiteral("3")},
                                                                {QStringLiteral("PCFLSH0"), s},
                                                                {QStringLiteral("PCZY000"), QStringLiteral("1001")},
                                                                {QStringLiteral("PCZYKS0"), QStringLiteral("1")}});
        Db().execute(QStringLiteral("commit"));
        state.ResumeTiming();
    }
    state.counters["prescriptions"] = serials.size();
}
void BM_Group_One(benchmark::State &state) { groupOperation(state, g_group1); }
void BM_Group_Five(benchmark::State &state) { groupOperation(state, g_group5); }

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
    const QDateTime fixed = QDateTime::fromString(QString::fromLatin1(hisdb::kFixtureNow), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    setClock([fixed] { return fixed; });
    QString error;
    g_db = hisdb::open(dir.filePath(QStringLiteral("demo.db")), &error);
    if (!g_db || !hisdb::seedDemo(g_db, hisdb::SeedOptions{}, &error)) {
        std::fprintf(stderr, "demo day: %s\n", qPrintable(error));
        return 1;
    }
    g_today = fixed.toString(QStringLiteral("yyyyMMdd"));
    // the busiest issuing window of the day
    g_window = one(QStringLiteral("select FYCKBH from YF_CFDL00 where PHRQ00='") + g_today
                   + QStringLiteral("' group by FYCKBH order by count(*) desc limit 1"));
    const QString dept = one(QStringLiteral("select BMBH00 from BM_CKBM00 where CKBH00=") + g_window);
    const QString pyWindow = one(QStringLiteral("select PYCKBH from YF_CFDL00 where FYCKBH=") + g_window + QStringLiteral(" limit 1"));
    // a one-prescription group and a five-prescription group waiting at the window
    const QString base = QStringLiteral("select FYDLXH from YF_CFDL00 where FYCKBH=") + g_window + QStringLiteral(" and PHRQ00='")
                       + g_today + QStringLiteral("' and ZT0000='1' and DYRQ00 is not null and YPJE00>=0 group by FYDLXH having count(*)=");
    g_group1 = one(base + QStringLiteral("1 limit 1"));
    g_group5 = one(base + QStringLiteral("1 limit 1 offset 1"));
    // make the second a group of five: four more waiting entries join its queue number
    exec(QStringLiteral("update YF_CFDL00 set FYDLXH=") + g_group5 + QStringLiteral(" where CFLSH0 in (select CFLSH0 from YF_CFDL00 where FYCKBH=")
         + g_window + QStringLiteral(" and PHRQ00='") + g_today + QStringLiteral("' and ZT0000='1' and DYRQ00 is not null and YPJE00>=0 and FYDLXH not in (")
         + g_group1 + QStringLiteral(",") + g_group5 + QStringLiteral(") limit 4)"));
    g_serial = one(QStringLiteral("select CFLSH0 from YF_CFDL00 where FYCKBH=") + g_window + QStringLiteral(" and PHRQ00='") + g_today
                   + QStringLiteral("' and ZT0000='2' limit 1"));
    std::printf("window %s (department %s), today's queue at the window %s, groups %s (1) and %s (5)\n", qPrintable(g_window),
                qPrintable(dept), qPrintable(one(QStringLiteral("select count(*) from YF_CFDL00 where PHRQ00='") + g_today
                                                 + QStringLiteral("' and FYCKBH=") + g_window)),
                qPrintable(g_group1), qPrintable(g_group5));

    setHostDir(dir.path() + QStringLiteral("/"));
    QFile ini(dir.filePath(QStringLiteral("Login.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[MZPY]\r\nCKBH_PY=" + pyWindow.toLatin1() + "\r\nCKBH_FY=" + g_window.toLatin1() + "\r\n");
    ini.close();
    setPromptService(std::make_shared<RecordingPromptService>());
    HostParamsBuilder host;
    host.operatorInfo(1001, QStringLiteral("K1001"), QStringLiteral("药师")).department(dept.toInt(), QStringLiteral("药房")).machine(QStringLiteral("BENCH"));
    QWidget page;
    page.resize(1400, 900);
    page.show();
    ShowDLLNormalForm(&app, &page, g_db, "ACT_PY_MZPYXT", "", host.params());
    for (TBaseDLLForm *f : LiveForms())
        g_form = g_form ? g_form : qobject_cast<TfrmPY_MZPYXT *>(f);
    if (!g_form) {
        std::fprintf(stderr, "no workstation\n");
        return 1;
    }
    g_form->tmrRefresh->stop();
    g_form->tmrWindow->stop();
    QCoreApplication::processEvents();

    BENCHMARK(BM_Raw_ToDispense)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Adapter_ToDispense)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Query_ToDispense)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Rebuild_ToDispense)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Repaint_ToDispense)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Raw_Dispensed)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Rebuild_Dispensed)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Raw_Issued)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Query_Issued)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Rebuild_Issued)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Repaint_Issued)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Raw_Detail)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Load_Detail)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Group_One)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_Group_Five)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    OperateDllNormalForm(0, 2, "");
    hisdb::close(g_db);
    return 0;
}
