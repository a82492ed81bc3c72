// Opens the dispensing workstation in a test host page on the fixture
// hospital, with a recording prompt service and a fixed clock.
#pragma once

#include "DLL_MZPY_KTRB.h"
#include "HostParamsBuilder.h"
#include "TestEnv.h"

#include "common/Env.h"
#include "common/Prompts.h"
#include "host/WorkstationConfig.h"
#include "host/uBaseDLLForm.h"
#include "host/uDLLDM.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"
#include "workstation/UnitMZPY_HDRYSelect.h"
#include "workstation/UnitPY_MZPYXT.h"
#include "workstation/WsListModel.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QListWidget>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace wstest {

inline QString serial(int nn)
{
    return QStringLiteral("10000000000000") + QStringLiteral("%1").arg(nn, 2, 10, QLatin1Char('0'));
}

// Serial numbers listed by a workstation list, in list order, as their two last digits.
inline QStringList listed(mzpy::WsListModel *model)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->text(r, QStringLiteral("CFLSH0")).right(2);
    return out;
}

inline int rowOf(mzpy::WsListModel *model, int nn)
{
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->text(r, QStringLiteral("CFLSH0")) == serial(nn))
            return r;
    return -1;
}

// Answers the next checker dialog by checking the item of a staff id (empty:
// close it with "取  消"). Polls until the dialog is up.
inline void answerCheckerDialog(const QString &staffId, int *shown)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, staffId, shown, tries] {
        for (mzpy::TBaseDLLForm *f : mzpy::LiveForms()) {
            auto *d = qobject_cast<mzpy::TfrmMZPY_HDRYSelect *>(f);
            if (!d || !d->isVisible())
                continue;
            timer->stop();
            timer->deleteLater();
            if (shown)
                ++*shown;
            if (staffId.isEmpty()) {
                d->btnCancel->click();
                return;
            }
            for (int i = 0; i < d->lstRY->count(); ++i)
                if (d->lstRY->item(i)->text().endsWith(QStringLiteral("|") + staffId)) {
                    d->lstRY->item(i)->setCheckState(Qt::Checked);
                    return;
                }
            d->btnCancel->click();
            return;
        }
        if (++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

class WorkstationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
        env = std::make_unique<TestEnv>();
        setClockTo(QStringLiteral("2025-03-05 10:30:00"));
        mzpy::setHostDir(env->hostDir());
        prompts = std::make_shared<mzpy::RecordingPromptService>();
        mzpy::setPromptService(prompts);
        host.operatorInfo(1001, QStringLiteral("K1001"), QStringLiteral("张明"))
            .department(101, QStringLiteral("门诊西药房"))
            .machine(QStringLiteral("PC1"));
        page.resize(1400, 800);
    }
    void TearDown() override
    {
        OperateDllNormalForm(0, 2, "");
        mzpy::setPromptService(nullptr);
        mzpy::setClock({});
        mzpy::setHostDir(QString());
        env.reset();
        hisdb::setFixedNow(QString());
    }
    static void setClockTo(const QString &text)
    {
        const QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        mzpy::setClock([t] { return t; });
    }
    // Opens the workstation for a dispensing and an issuing window.
    mzpy::TfrmPY_MZPYXT *open(const QString &py = QStringLiteral("1"), const QString &fy = QStringLiteral("3"))
    {
        QByteArray ini = "[MZPY]\r\n";
        if (!py.isEmpty())
            ini += "CKBH_PY=" + py.toLatin1() + "\r\n";
        if (!fy.isEmpty())
            ini += "CKBH_FY=" + fy.toLatin1() + "\r\n";
        env->writeFile(QStringLiteral("Login.ini"), ini);
        ShowDLLNormalForm(qApp, &page, env->db(), "ACT_PY_MZPYXT", "", host.params());
        for (mzpy::TBaseDLLForm *f : mzpy::LiveForms())
            if (auto *w = qobject_cast<mzpy::TfrmPY_MZPYXT *>(f))
                return w;
        ADD_FAILURE() << "the workstation did not open";
        return nullptr;
    }
    QString scalar(const QString &sql) { return env->scalar(sql); }
    QString state(int nn)
    {
        return scalar(QStringLiteral("select ZT0000 from YF_CFDL00 where CFLSH0='") + serial(nn) + QStringLiteral("'"));
    }
    int count(const QString &text) const
    {
        int n = 0;
        for (const auto &e : prompts->entries)
            n += e.text.contains(text) ? 1 : 0;
        return n;
    }

    std::unique_ptr<TestEnv> env;
    HostParamsBuilder host;
    std::shared_ptr<mzpy::RecordingPromptService> prompts;
    QWidget page;
};

}  // namespace wstest
