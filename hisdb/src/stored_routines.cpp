// The hospital database's own stored procedures (SP_...) and functions
// (SF_...), registered on every connection.
//
// Procedures follow the calling convention of include/HisDatabase.h. They
// re-read the state they are about to change inside their savepoint (the
// caller's BEGIN IMMEDIATE serialises writers), so two stations reaching one
// prescription at once never both succeed. A move the state does not allow
// is a refusal: PZXCGBZ "0" with a message in PTSXX00, and nothing written.
#include "hisdb/hisdb.h"
#include "routine_support.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>
#include <cmath>
#include <sqlite3.h>

namespace hisdb {

using namespace routines;

namespace {

// ------------------------------------------------------------------ helpers
QString stateName(const QString &state)
{
    if (state == QLatin1String("0"))
        return QStringLiteral("待打印");
    if (state == QLatin1String("1"))
        return QStringLiteral("待配药");
    if (state == QLatin1String("4"))
        return QStringLiteral("待配药(已打印)");
    if (state == QLatin1String("2"))
        return QStringLiteral("已配药待发");
    if (state == QLatin1String("3"))
        return QStringLiteral("已发药");
    return state;
}

void succeed(Outputs &out)
{
    out.insert(QStringLiteral("PZXCGBZ"), QStringLiteral("1"));
    out.insert(QStringLiteral("PTSXX00"), QVariant());
    out.insert(QStringLiteral("PXXXX00"), QVariant());
}

void refuse(Outputs &out, const QString &message)
{
    out.insert(QStringLiteral("PZXCGBZ"), QStringLiteral("0"));
    out.insert(QStringLiteral("PTSXX00"), message);
    out.insert(QStringLiteral("PXXXX00"), message);
}

// A serial number passed as text or as a number ("PCFLSH0 number").
QString serialOf(const Inputs &in, const QString &name)
{
    const QString t = in.text(name).trimmed();
    bool isNumber = false;
    const double d = t.toDouble(&isNumber);
    if (isNumber && t.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return argText(QVariant(d));
    return t;
}

double decoctionFeePerDose(const Sql &sql)
{
    bool ok = false;
    const double fee = sql.value("select VALUE0 from XT_XTCS00 where NAME00 = 'PY_DJFDJ0'").toString().toDouble(&ok);
    return ok && fee > 0 ? fee : 5.0;
}

// ------------------------------------------------------------------ SP_PY_MZPFYCZ
// Moves a queue entry, by POPFLAG:
//   "1" print mark: state "0" -> "1" with print date/time (dispenser :=
//       PPFR000 when given); a later state without print date gets the
//       print date and keeps its state; anything else is refused (a second
//       print station finds the entry already printed).
//   "2" dispensed: "1"/"4" -> "2", dispensed date/time, checker := PFHRBH0,
//       dispenser := operator when none is recorded, next call order.
//   "3" back to waiting: "2" -> "1", dispensed date/time and checker cleared.
//   "4" issued: "2" -> "3", issue date/time, issuer := operator, card-read
//       flag from PDKFYBZ, prescription CFZT00 "2" with its issue date.
//   "5" undo issue: "3" -> "2", issue data cleared, CFZT00 back to "1".
//   "6" dispensed and issued: "1"/"4" -> "3" with the data of "2" and "4".
// A prescription returned to the doctor (THBZ00 "1") is not issued.
void spMzpfycz(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString op = in.text(QStringLiteral("POPFLAG")).trimmed();
    const QString serial = serialOf(in, QStringLiteral("PCFLSH0"));
    if (serial.isEmpty())
        return refuse(out, QStringLiteral("处方号不能为空"));
    const auto rows = sql.rows("select ZT0000, ifnull(DYRQ00, ''), ifnull(THBZ00, '0'), FYCKBH, PHRQ00 from YF_CFDL00 where CFLSH0 = ?",
                               {serial});
    if (rows.isEmpty())
        return refuse(out, QStringLiteral("处方[%1]不在取药队列中").arg(serial));
    const QString state = rows[0][0].toString();
    const bool printed = !rows[0][1].toString().isEmpty();
    const bool returned = rows[0][2].toString() == QLatin1String("1");
    const QVariant window = rows[0][3], queueDate = rows[0][4];
    const QString today = nowDate(), now = nowTime();
    const QVariant operatorId = in.integer(QStringLiteral("PCZY000"));
    const QVariant checker = in.integer(QStringLiteral("PFHRBH0"));
    const QVariant dispenser = in.integer(QStringLiteral("PPFR000"));
    const QString cardFlag = in.text(QStringLiteral("PDKFYBZ")).trimmed() == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");

    auto notAllowed = [&](const QString &what) {
        refuse(out, QStringLiteral("处方[%1]当前状态为[%2]%3，不能%4").arg(serial, state, stateName(state), what));
    };
    // moves the entry from the state read above; the state guard in the
    // update makes a concurrent move visible as a refusal too
    auto move = [&](const char *update, QVariantList binds) {
        binds.append(serial);
        binds.append(state);
        if (sql.exec(update, binds) != 1)
            throw Failure{QStringLiteral("处方[%1]的状态已被其他操作改变").arg(serial)};
    };
    auto markDispensed = [&]() {
        const qlonglong order =
            sql.value("select ifnull(max(JHXH00), 0) + 1 from YF_CFDL00 where FYCKBH = ? and PHRQ00 = ?", {window, queueDate}).toLongLong();
        sql.exec("update YF_MZCF00 set FHR001 = ?, PFR000 = ifnull(PFR000, ?) where CFLSH0 = ?", {checker, operatorId, serial});
        return order;
    };
    auto markIssued = [&]() {
        sql.exec("update YF_MZCF00 set FYR000 = ?, CFZT00 = '2', FYRQ00 = ?, FYSJ00 = ? where CFLSH0 = ?",
                 {operatorId, today, now, serial});
    };

    if (op == QLatin1String("1")) {
        if (state == QLatin1String("0")) {
            move("update YF_CFDL00 set ZT0000 = '1', DYRQ00 = ?, DYSJ00 = ? where CFLSH0 = ? and ZT0000 = ?", {today, now});
            if (!dispenser.isNull())
                sql.exec("update YF_MZCF00 set PFR000 = ? where CFLSH0 = ?", {dispenser, serial});
        } else if (!printed) {
            move("update YF_CFDL00 set DYRQ00 = ?, DYSJ00 = ? where CFLSH0 = ? and ZT0000 = ?", {today, now});
        } else {
            return refuse(out, QStringLiteral("处方[%1]已打印，当前状态为[%2]%3").arg(serial, state, stateName(state)));
        }
    } else if (op == QLatin1String("2")) {
        if (state != QLatin1String("1") && state != QLatin1String("4"))
            return notAllowed(QStringLiteral("配药"));
        const qlonglong order = markDispensed();
        move("update YF_CFDL00 set ZT0000 = '2', PYRQ00 = ?, PYSJ00 = ?, JHXH00 = ? where CFLSH0 = ? and ZT0000 = ?",
             {today, now, order});
    } else if (op == QLatin1String("3")) {
        if (state != QLatin1String("2"))
            return notAllowed(QStringLiteral("撤销配药"));
        move("update YF_CFDL00 set ZT0000 = '1', PYRQ00 = null, PYSJ00 = null, JHXH00 = null where CFLSH0 = ? and ZT0000 = ?", {});
        sql.exec("update YF_MZCF00 set FHR001 = null where CFLSH0 = ?", {serial});
    } else if (op == QLatin1String("4")) {
        if (state != QLatin1String("2"))
            return notAllowed(QStringLiteral("发药"));
        if (returned)
            return refuse(out, QStringLiteral("处方[%1]已退回医生，不能发药").arg(serial));
        move("update YF_CFDL00 set ZT0000 = '3', FYRQ00 = ?, FYSJ00 = ?, DKFYBZ = ? where CFLSH0 = ? and ZT0000 = ?",
             {today, now, cardFlag});
        markIssued();
    } else if (op == QLatin1String("5")) {
        if (state != QLatin1String("3"))
            return notAllowed(QStringLiteral("撤销发药"));
        move("update YF_CFDL00 set ZT0000 = '2', FYRQ00 = null, FYSJ00 = null, DKFYBZ = '0' where CFLSH0 = ? and ZT0000 = ?", {});
        sql.exec("update YF_MZCF00 set FYR000 = null, CFZT00 = '1', FYRQ00 = null, FYSJ00 = null where CFLSH0 = ?", {serial});
    } else if (op == QLatin1String("6")) {
        if (state != QLatin1String("1") && state != QLatin1String("4"))
            return notAllowed(QStringLiteral("配药发药"));
        if (returned)
            return refuse(out, QStringLiteral("处方[%1]已退回医生，不能发药").arg(serial));
        const qlonglong order = markDispensed();
        move("update YF_CFDL00 set ZT0000 = '3', PYRQ00 = ?, PYSJ00 = ?, JHXH00 = ?, FYRQ00 = ?, FYSJ00 = ?, DKFYBZ = ? "
             "where CFLSH0 = ? and ZT0000 = ?",
             {today, now, order, today, now, cardFlag});
        markIssued();
    } else {
        return refuse(out, QStringLiteral("处方[%1]：操作类型[%2]无效").arg(serial, op));
    }
    succeed(out);
}

// ------------------------------------------------------------------ SP_PY_YF_RCMZPYZT_SJCS00
// One more failed light attempt: the prescription's retry count, inserted at 1.
void spRetryCount(const Sql &sql, const Inputs &in, Outputs &)
{
    const QString serial = serialOf(in, QStringLiteral("PCFLSH0"));
    if (serial.isEmpty())
        throw Failure{QStringLiteral("处方号不能为空")};
    sql.exec("insert into YF_RCMZPYZT(CFLSH0, SJCS00) values (?, 1) on conflict(CFLSH0) do update set SJCS00 = SJCS00 + 1", {serial});
}

// ------------------------------------------------------------------ SP_YF_YZYPSQ_THCZ
// Return to the doctor. PTHSFLX "2": the whole prescription (PYPQLPC is the
// serial) is marked returned with the reason on YF_MZCF00, YS_CFXXB0 and its
// queue entry. "0": one line (PYPQLPC is CFID00) on YF_MZCFMX and the
// doctor's line YS_CFMXB0. An issued prescription is not returned; a
// prescription or line already returned is refused.
void spReturn(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString key = serialOf(in, QStringLiteral("PYPQLPC"));
    const QString kind = in.text(QStringLiteral("PTHSFLX")).trimmed();
    const QVariant reason = in.value(QStringLiteral("PTHYY00"));
    QString serial = key;
    if (kind == QLatin1String("0")) {
        const auto line = sql.rows("select CFLSH0, ifnull(THBZ00, '0'), YPMC00 from YF_MZCFMX where CFID00 = ?", {key});
        if (line.isEmpty())
            return refuse(out, QStringLiteral("处方明细[%1]不存在").arg(key));
        serial = line[0][0].toString();
        if (line[0][1].toString() == QLatin1String("1"))
            return refuse(out, QStringLiteral("药品[%1]已退回").arg(line[0][2].toString()));
    } else if (kind != QLatin1String("2")) {
        return refuse(out, QStringLiteral("退回类型[%1]无效").arg(kind));
    }
    const auto rx = sql.rows("select ifnull(c.CFZT00, ''), ifnull(c.THBZ00, '0'), ifnull(q.ZT0000, '') "
                             "from YF_MZCF00 c left join YF_CFDL00 q on q.CFLSH0 = c.CFLSH0 where c.CFLSH0 = ?",
                             {serial});
    if (rx.isEmpty())
        return refuse(out, QStringLiteral("处方[%1]不存在").arg(serial));
    if (rx[0][0].toString() == QLatin1String("2") || rx[0][2].toString() == QLatin1String("3"))
        return refuse(out, QStringLiteral("处方[%1]已发药，不能退回").arg(serial));
    if (kind == QLatin1String("2")) {
        if (rx[0][1].toString() == QLatin1String("1"))
            return refuse(out, QStringLiteral("处方[%1]已退回").arg(serial));
        sql.exec("update YF_MZCF00 set THBZ00 = '1', THYY00 = ? where CFLSH0 = ?", {reason, serial});
        sql.exec("update YS_CFXXB0 set THBZ00 = '1', THYY00 = ? where CFLSH0 = ?", {reason, serial});
        sql.exec("update YF_CFDL00 set THBZ00 = '1' where CFLSH0 = ?", {serial});
    } else {
        sql.exec("update YF_MZCFMX set THBZ00 = '1', THYY00 = ? where CFID00 = ?", {reason, key});
        sql.exec("update YS_CFMXB0 set THBZ00 = '1', THYY00 = ? where CFID00 = ?", {reason, key});
    }
    succeed(out);
}

// ------------------------------------------------------------------ SP_PY_PYDJSF
// The decoction fee. "1" charge: PZYDJS0 doses at the fee per dose
// (XT_XTCS00 PY_DJFDJ0) as a decoction item (YJ_YW0000, FJDJBZ '7') with its
// unsettled charge (SF_FYMX00, JZDH00 0); the prescription records the doses
// and fee state "1". "2" refund: only of a charged, unsettled fee; the item
// and its charge are removed, fee state "2".
void spDecoctionFee(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString op = in.text(QStringLiteral("POPFLAG")).trimmed();
    const QString serial = serialOf(in, QStringLiteral("PCFLSH0"));
    const auto rx = sql.rows("select ifnull(DJSFZT, '0'), BRID00, GHID00, ifnull(THBZ00, '0') from YF_MZCF00 where CFLSH0 = ?", {serial});
    if (rx.isEmpty())
        return refuse(out, QStringLiteral("处方[%1]不存在").arg(serial));
    const QString feeState = rx[0][0].toString();
    const QVariant patient = rx[0][1], registration = rx[0][2];
    const QVariant operatorId = in.integer(QStringLiteral("PCZY000"));
    if (op == QLatin1String("1")) {
        if (feeState == QLatin1String("1"))
            return refuse(out, QStringLiteral("处方[%1]已收代煎费").arg(serial));
        if (rx[0][3].toString() == QLatin1String("1"))
            return refuse(out, QStringLiteral("处方[%1]已退回医生").arg(serial));
        const QVariant doses = in.integer(QStringLiteral("PZYDJS0"));
        if (doses.isNull() || doses.toLongLong() <= 0)
            return refuse(out, QStringLiteral("代煎剂数必须大于0"));
        const double price = decoctionFeePerDose(sql);
        const double amount = std::round(price * doses.toLongLong() * 100.0) / 100.0;
        const qint64 item = sql.nextval("SQ_YJ_YW0000_YJDJH0");
        sql.exec("insert into YJ_YW0000(YJDJH0, BRID00, YZCFID, FJDJBZ, ZYGHID, MZZYBZ, XMMC00, SL0000, JE0000, KDRQ00) "
                 "values (?, ?, ?, '7', ?, '0', '中药代煎费', ?, ?, ?)",
                 {item, patient, serial, registration, doses, amount, nowDate()});
        sql.exec("insert into SF_FYMX00(FYID00, JZDH00, YJDJH0, BRID00, CFLSH0, XMMC00, SL0000, DJ0000, JE0000, SFRQ00, CZY000) "
                 "values (?, 0, ?, ?, ?, '中药代煎费', ?, ?, ?, ?, ?)",
                 {sql.nextval("SQ_SF_FYMX00_FYID00"), item, patient, serial, doses, price, amount, nowDate(), operatorId});
        sql.exec("update YF_MZCF00 set ZYDJS0 = ?, DJSFZT = '1' where CFLSH0 = ?", {doses, serial});
    } else if (op == QLatin1String("2")) {
        if (feeState != QLatin1String("1"))
            return refuse(out, QStringLiteral("处方[%1]未收代煎费").arg(serial));
        const qlonglong settled = sql.value("select count(*) from SF_FYMX00 f join YJ_YW0000 y on y.YJDJH0 = f.YJDJH0 "
                                            "where y.YZCFID = ? and y.FJDJBZ = '7' and ifnull(f.JZDH00, 0) <> 0",
                                            {serial})
                                      .toLongLong();
        if (settled > 0)
            return refuse(out, QStringLiteral("代煎费用已结算，不能退费"));
        sql.exec("delete from SF_FYMX00 where YJDJH0 in (select YJDJH0 from YJ_YW0000 where YZCFID = ? and FJDJBZ = '7')", {serial});
        sql.exec("delete from YJ_YW0000 where YZCFID = ? and FJDJBZ = '7'", {serial});
        sql.exec("update YF_MZCF00 set ZYDJS0 = 0, DJSFZT = '2' where CFLSH0 = ?", {serial});
    } else {
        return refuse(out, QStringLiteral("操作类型[%1]无效").arg(op));
    }
    succeed(out);
    out.remove(QStringLiteral("PXXXX00"));
}

// ------------------------------------------------------------------ SP_YF_MZCF00_KJYF00
// Stock deduction of the decoction service item: one deduction record per
// call, for the doses now charged (negative after a refund, giving back the
// last deduction). PDJH000 returns the record number.
void spStockDeduction(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString serial = serialOf(in, QStringLiteral("PCFLSH0"));
    const auto rx = sql.rows("select ifnull(DJSFZT, '0'), ifnull(ZYDJS0, 0) from YF_MZCF00 where CFLSH0 = ?", {serial});
    if (rx.isEmpty())
        return refuse(out, QStringLiteral("处方[%1]不存在").arg(serial));
    double quantity = 0;
    if (rx[0][0].toString() == QLatin1String("1")) {
        quantity = rx[0][1].toDouble();
    } else {
        const double net = sql.value("select ifnull(sum(SL0000), 0) from YF_KJJL00 where CFLSH0 = ?", {serial}).toDouble();
        quantity = -net;
    }
    const qint64 doc = sql.nextval("SQ_YF_KJJL00_DJH000");
    sql.exec("insert into YF_KJJL00(DJH000, CFLSH0, SL0000, CZY000, CZYKS0, CZRQSJ) values (?, ?, ?, ?, ?, ?)",
             {doc, serial, quantity, in.integer(QStringLiteral("PCZY000")), in.integer(QStringLiteral("PCZYKS0")), nowText()});
    sql.exec("update YF_MZCF00 set KJBZ00 = ? where CFLSH0 = ?", {quantity > 0 ? QStringLiteral("1") : QStringLiteral("0"), serial});
    succeed(out);
    out.insert(QStringLiteral("PDJH000"), doc);
}

// ------------------------------------------------------------------ SP_PY_SCPHDL
// Queues a paid prescription that has no queue entry: a new queue number
// of the issuing window for today, state "0". Windows given as 0 are chosen:
// the issuing window of the prescription's pharmacy with the fewest waiting
// entries today (working windows first), and a dispensing window linked to it.
void spQueueNumber(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString serial = serialOf(in, QStringLiteral("AS_CFLSH0"));
    auto refuseMsg = [&](const QString &m) {
        out.insert(QStringLiteral("AS_YHMSG0"), m);
        out.insert(QStringLiteral("AS_SYSMSG"), QVariant());
    };
    const auto rx = sql.rows("select CFZT00, YFBMBH, BRID00, BRXM00, GHH000, CFDGS0, CFZJE0, PYLBBH, ifnull(THBZ00, '0') "
                             "from YF_MZCF00 where CFLSH0 = ?",
                             {serial});
    if (rx.isEmpty())
        return refuseMsg(QStringLiteral("处方[%1]不存在").arg(serial));
    const QVariantList &r = rx[0];
    if (r[0].toString() != QLatin1String("1"))
        return refuseMsg(QStringLiteral("处方[%1]不是已收费状态").arg(serial));
    if (r[8].toString() == QLatin1String("1"))
        return refuseMsg(QStringLiteral("处方[%1]已退回医生").arg(serial));
    if (sql.value("select count(*) from YF_CFDL00 where CFLSH0 = ?", {serial}).toLongLong() > 0)
        return refuseMsg(QStringLiteral("处方[%1]已在取药队列中").arg(serial));
    const QVariant pharmacy = r[1];
    const QString today = nowDate();
    QVariant issuing = in.integer(QStringLiteral("AD_FYCKBH"));
    QVariant dispensing = in.integer(QStringLiteral("AD_PYCKBH"));
    if (issuing.isNull() || issuing.toLongLong() == 0) {
        issuing = sql.value("select c.CKBH00 from BM_CKBM00 c where c.BMBH00 = ? and c.FLAG00 = '3' "
                            "order by case when c.ZT0000 = '0' then 0 else 1 end, "
                            "(select count(*) from YF_CFDL00 q where q.FYCKBH = c.CKBH00 and q.PHRQ00 = ? and q.ZT0000 in ('0','1','4','2')), c.CKBH00 "
                            "limit 1",
                            {pharmacy, today});
        if (issuing.isNull())
            return refuseMsg(QStringLiteral("药房[%1]没有发药窗口").arg(argText(pharmacy)));
    }
    if (dispensing.isNull() || dispensing.toLongLong() == 0) {
        dispensing = sql.value("select c.CKBH00 from BM_CKDY00 d join BM_CKBM00 c on c.CKBH00 = d.SCKBH0 "
                               "where d.DCKBH0 = ? and ifnull(d.SFYX00, '1') = '1' and c.FLAG00 = '2' "
                               "order by case when c.ZT0000 = '0' then 0 else 1 end, c.CKBH00 limit 1",
                               {issuing});
        if (dispensing.isNull())
            dispensing = sql.value("select CKBH00 from BM_CKBM00 where BMBH00 = ? and FLAG00 = '2' "
                                   "order by case when ZT0000 = '0' then 0 else 1 end, CKBH00 limit 1",
                                   {pharmacy});
        if (dispensing.isNull())
            return refuseMsg(QStringLiteral("药房[%1]没有配药窗口").arg(argText(pharmacy)));
    }
    const qlonglong number =
        sql.value("select ifnull(max(FYDLXH), 0) + 1 from YF_CFDL00 where FYCKBH = ? and PHRQ00 = ?", {issuing, today}).toLongLong();
    sql.exec("insert into YF_CFDL00(CFLSH0, YFBMBH, BRID00, BRXM00, GHH000, PYCKBH, FYCKBH, FYDLXH, PHRQ00, ZT0000, THBZ00, "
             "CFDGS0, YPJE00, PYLBBH, CJRQSJ) values (?, ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', ?, ?, ?, ?)",
             {serial, pharmacy, r[2], r[3], r[4], dispensing, issuing, number, today, r[5], r[6], r[7], nowText()});
    sql.exec("update YF_MZCF00 set SFKSLY = 'Y' where CFLSH0 = ?", {serial});
    out.insert(QStringLiteral("AS_YHMSG0"), QVariant());
    out.insert(QStringLiteral("AS_SYSMSG"), QVariant());
}

// ------------------------------------------------------------------ SP_YF_MZCFFY
// Direct issue of a queued prescription: from "0", "1", "4" or "2" straight
// to "3", recording print, dispensing (dispenser PPFR000 or the operator,
// checker PFHRBH0) and issue data. An issued entry is refused.
void spDirectIssue(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QString serial = serialOf(in, QStringLiteral("PCFLSH0"));
    const auto rows = sql.rows("select ZT0000, FYCKBH, PHRQ00, ifnull(THBZ00, '0') from YF_CFDL00 where CFLSH0 = ?", {serial});
    if (rows.isEmpty())
        return refuse(out, QStringLiteral("处方[%1]不在取药队列中").arg(serial));
    const QString state = rows[0][0].toString();
    if (state == QLatin1String("3"))
        return refuse(out, QStringLiteral("处方[%1]已发药").arg(serial));
    if (rows[0][3].toString() == QLatin1String("1"))
        return refuse(out, QStringLiteral("处方[%1]已退回医生，不能发药").arg(serial));
    const QString today = nowDate(), now = nowTime();
    const QVariant operatorId = in.integer(QStringLiteral("PCZY000"));
    QVariant dispenser = in.integer(QStringLiteral("PPFR000"));
    if (dispenser.isNull())
        dispenser = operatorId;
    const qlonglong order = sql.value("select ifnull(max(JHXH00), 0) + 1 from YF_CFDL00 where FYCKBH = ? and PHRQ00 = ?",
                                      {rows[0][1], rows[0][2]})
                                .toLongLong();
    if (sql.exec("update YF_CFDL00 set ZT0000 = '3', DYRQ00 = ifnull(DYRQ00, ?), DYSJ00 = ifnull(DYSJ00, ?), "
                 "PYRQ00 = ifnull(PYRQ00, ?), PYSJ00 = ifnull(PYSJ00, ?), JHXH00 = ifnull(JHXH00, ?), FYRQ00 = ?, FYSJ00 = ? "
                 "where CFLSH0 = ? and ZT0000 = ?",
                 {today, now, today, now, order, today, now, serial, state})
        != 1)
        throw Failure{QStringLiteral("处方[%1]的状态已被其他操作改变").arg(serial)};
    sql.exec("update YF_MZCF00 set PFR000 = ifnull(PFR000, ?), FHR001 = ifnull(?, FHR001), FYR000 = ?, CFZT00 = '2', "
             "FYRQ00 = ?, FYSJ00 = ? where CFLSH0 = ?",
             {dispenser, in.integer(QStringLiteral("PFHRBH0")), operatorId, today, now, serial});
    succeed(out);
}

// ------------------------------------------------------------------ SP_YF_ZYDJBQ_PRINT
// Registers a decoction label for a decoction record; PID0000 returns its id.
void spDecoctionLabel(const Sql &sql, const Inputs &in, Outputs &out)
{
    const QVariant record = in.integer(QStringLiteral("PJYDH00"));
    if (record.isNull() || sql.value("select count(*) from YF_JYXXB0 where JYDH00 = ?", {record}).toLongLong() == 0) {
        refuse(out, QStringLiteral("煎药记录[%1]不存在").arg(argText(record)));
        out.remove(QStringLiteral("PXXXX00"));
        return;
    }
    const qint64 id = sql.nextval("SQ_YF_ZYDJBQ_BQID00");
    sql.exec("insert into YF_ZYDJBQ(BQID00, JYDH00, CZY000, CZYKS0, CJRQSJ) values (?, ?, ?, ?, ?)",
             {id, record, in.integer(QStringLiteral("PCZY000")), in.integer(QStringLiteral("PCZYKS0")), nowText()});
    succeed(out);
    out.remove(QStringLiteral("PXXXX00"));
    out.insert(QStringLiteral("PID0000"), id);
}

// ------------------------------------------------------------------ SP_IC_ICKRK0
// Old-card registration (positional): card, internal number, state, patient,
// card type, card face number, issuer code, operator. The card is entered in
// the registry so that the next read finds it; a card already there is an error.
void spCardRegistration(const Sql &sql, const Inputs &in, Outputs &)
{
    const QString card = in.text(QStringLiteral("PICKH00")).trimmed();
    if (card.isEmpty())
        throw Failure{QStringLiteral("卡号不能为空")};
    QString internal = in.text(QStringLiteral("PICKNBH")).trimmed();
    if (internal.isEmpty())
        internal = card;
    if (sql.value("select count(*) from IC_YHXX00 where ICKH00 = ? and ICKNBH = ?", {card, internal}).toLongLong() > 0)
        throw Failure{QStringLiteral("卡号[%1]已入库").arg(card)};
    const QString state = in.text(QStringLiteral("PZT0000")).trimmed();
    sql.exec("insert into IC_YHXX00(ICKH00, ICKNBH, YGBH00, BRID00, KMH000, ZT0000, KLDH00, SFDM00, FKRQ00, CZY000) "
             "values (?, ?, null, ?, ?, ?, ?, ?, ?, ?)",
             {card, internal, in.integer(QStringLiteral("PBRID00")), in.value(QStringLiteral("PKMH000")),
              state.isEmpty() ? QVariant(0) : QVariant(state.toInt()), in.value(QStringLiteral("PKLDH00")),
              in.value(QStringLiteral("PSFDM00")), nowDate(), in.integer(QStringLiteral("PCZY000"))});
}

// ------------------------------------------------------------------ functions
QString text(const QVector<QVariant> &args, int i) { return i < args.size() ? argText(args[i]).trimmed() : QString(); }

QVariant orNull(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }

QString jsonText(const QJsonObject &o) { return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)); }

void registerFunctions(sqlite3 *db)
{
    // vital signs of the prescription's registration
    registerFunction(db, "SF_PY_GETMZBRTZXX", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const auto rows = sql.rows("select t.TW0000, t.MB0000, t.XY0000, t.SG0000, t.TZ0000 from YS_BRTZXX t "
                                   "join YF_MZCF00 c on c.GHID00 = t.GHID00 where c.CFLSH0 = ? order by t.CLRQSJ desc limit 1",
                                   {text(a, 0)});
        if (rows.isEmpty())
            return QVariant();
        static const char *const labels[][2] = {{"体温:", "℃"}, {"脉搏:", "次/分"}, {"血压:", "mmHg"}, {"身高:", "cm"}, {"体重:", "kg"}};
        QStringList parts;
        for (int i = 0; i < 5; ++i)
            if (!rows[0][i].toString().isEmpty())
                parts << QString::fromUtf8(labels[i][0]) + rows[0][i].toString() + QString::fromUtf8(labels[i][1]);
        return orNull(parts.join(QLatin1Char(' ')));
    });
    // decoction fee: kind 1 the fee state ("1" charged), kind 2 the doses
    // decocted, kind 3 the unsettled amount to pay from the one-card account
    registerFunction(db, "SF_PY_GetSFSDJF", 2, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString kind = text(a, 0), serial = text(a, 1);
        const auto rows = sql.rows("select ifnull(DJSFZT, '0'), ifnull(ZYDJS0, 0) from YF_MZCF00 where CFLSH0 = ?", {serial});
        if (rows.isEmpty())
            return QStringLiteral("0");
        if (kind == QLatin1String("1"))
            return rows[0][0].toString() == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
        if (kind == QLatin1String("2"))
            return argText(rows[0][1]);
        if (kind == QLatin1String("3")) {
            const double amount = sql.value("select ifnull(sum(f.JE0000), 0) from SF_FYMX00 f join YJ_YW0000 y on y.YJDJH0 = f.YJDJH0 "
                                            "where y.YZCFID = ? and y.FJDJBZ = '7' and ifnull(f.JZDH00, 0) = 0",
                                            {serial})
                                      .toDouble();
            return argText(QVariant(std::round(amount * 100.0) / 100.0));
        }
        return QStringLiteral("0");
    });
    // pharmacy kind of a department: "1" herbal, "2" western
    registerFunction(db, "SF_PY_GetYFLB", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        return sql.value("select YFLB00 from BM_BMBM00 where BMBH00 = ?", {text(a, 0)});
    });
    // dispensing category name of a prescription
    registerFunction(db, "SF_PY_PYLBMC", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        return sql.value("select l.PYLBMC from BM_PYLB00 l where l.PYLBBH = "
                         "ifnull((select PYLBBH from YF_MZCF00 where CFLSH0 = ?1), (select PYLBBH from YF_CFDL00 where CFLSH0 = ?1))",
                         {text(a, 0)});
    });
    // allergy text of a patient for a kind ('0' drugs, '1' food, '2' other)
    registerFunction(db, "SF_XT_BRGMJL_DZBL", 4, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        QString kind = text(a, 2);
        if (kind.isEmpty())
            kind = QStringLiteral("0");
        const auto rows = sql.rows("select GMYW00, GMFY00 from XT_BRGMJL where BRID00 = ? and GMLB00 = ? and ifnull(SFYX00, '1') = '1' "
                                   "order by JLID00",
                                   {text(a, 1), kind});
        QStringList parts;
        for (const auto &r : rows)
            parts << (r[1].toString().isEmpty() ? r[0].toString() : QStringLiteral("%1(%2)").arg(r[0].toString(), r[1].toString()));
        return orNull(parts.join(QStringLiteral("，")));
    });
    // message of a common-interface answer row
    registerFunction(db, "SF_BM_GETTYJKFH", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        return sql.value("select MSG000 from JK_WZTJK0 where SID000 = ?", {text(a, 0)});
    });
    // CA: texts of the signing requests (JSON the CA service takes as DATA00)
    registerFunction(db, "SF_CA_POSTHS", 3, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString serial = text(a, 1);
        const auto rx = sql.rows("select BRID00, BRXM00, CFZJE0, SRRQ00 from YF_MZCF00 where CFLSH0 = ?", {serial});
        QJsonObject o{{QStringLiteral("vendor"), text(a, 0)}, {QStringLiteral("bizSn"), serial}, {QStringLiteral("flag"), text(a, 2)}};
        if (!rx.isEmpty()) {
            o.insert(QStringLiteral("patientId"), argText(rx[0][0]));
            o.insert(QStringLiteral("patientName"), rx[0][1].toString());
            o.insert(QStringLiteral("amount"), argText(rx[0][2]));
            o.insert(QStringLiteral("date"), rx[0][3].toString());
        }
        return jsonText(o);
    });
    registerFunction(db, "SF_CA_POSTXX", 5, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString request = text(a, 4);
        const QString openId = sql.value("select OPENID from BM_SZZSXX where YGBH00 = ?", {text(a, 1)}).toString();
        return jsonText({{QStringLiteral("vendor"), text(a, 0)}, {QStringLiteral("openId"), openId}, {QStringLiteral("staffId"), text(a, 1)},
                         {QStringLiteral("bizSn"), text(a, 2)}, {QStringLiteral("flag"), text(a, 3)},
                         {QStringLiteral("sid"), request.section(QLatin1Char('|'), 0, 0)},
                         {QStringLiteral("hash"), request.section(QLatin1Char('|'), 1)}});
    });
    registerFunction(db, "SF_CA_ZDQMSC2", 3, [](const Sql &, const QVector<QVariant> &a) -> QVariant {
        return jsonText({{QStringLiteral("vendor"), text(a, 0)}, {QStringLiteral("staffId"), text(a, 1)}, {QStringLiteral("openId"), text(a, 2)}});
    });
    registerFunction(db, "SF_YF_CAJHJK", 5, [](const Sql &, const QVector<QVariant> &a) -> QVariant {
        return jsonText({{QStringLiteral("vendor"), text(a, 0)}, {QStringLiteral("staffId"), text(a, 1)}, {QStringLiteral("scene"), text(a, 2)},
                         {QStringLiteral("bizSn"), text(a, 3)}, {QStringLiteral("flag"), text(a, 4)}});
    });
    // CA service address per vendor and scene: dictionary "CA认证接口配置"
    // code "CA_URL_" + scene, else the local CA service
    registerFunction(db, "SF_YF_CAURL0", 2, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString url = sql.value("select trim(MC0000) from BM_TYZD00 where ZDMC00 = 'CA认证接口配置' and BH0000 = ?",
                                      {QStringLiteral("CA_URL_") + text(a, 1)})
                                .toString();
        if (!url.isEmpty())
            return url;
        return QStringLiteral("http://127.0.0.1:8092/ca/%1/%2").arg(text(a, 0), text(a, 1));
    });
    // dispensing-information push: "1" for a prescription worth pushing
    registerFunction(db, "SF_PY_JK_SFXXTS", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const auto rows = sql.rows("select ifnull(CFZJE0, 0), ifnull(THBZ00, '0') from YF_MZCF00 where CFLSH0 = ?", {text(a, 0)});
        return (!rows.isEmpty() && rows[0][0].toDouble() >= 0 && rows[0][1].toString() != QLatin1String("1")) ? QStringLiteral("1")
                                                                                                              : QStringLiteral("0");
    });
    registerFunction(db, "SF_PY_JK_ZYXXTS", 1, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const auto rows = sql.rows("select q.BRXM00, c.CKMC00, q.FYDLXH, (select d.BMMC00 from BM_BMBM00 d where d.BMBH00 = q.YFBMBH) "
                                   "from YF_CFDL00 q left join BM_CKBM00 c on c.CKBH00 = q.FYCKBH where q.CFLSH0 = ?",
                                   {text(a, 0)});
        if (rows.isEmpty())
            return QVariant();
        return QStringLiteral("%1您好，您的处方已调配完成，请到%2%3号窗口取药，取药号%4。")
            .arg(rows[0][0].toString(), rows[0][3].toString(), rows[0][1].toString(), argText(rows[0][2]));
    });
    // print-queue priority by age: elderly (70 and over) and young children
    // (6 and under) first
    registerFunction(db, "SF_PY_SFYXBR", 1, [](const Sql &, const QVector<QVariant> &a) -> QVariant {
        bool ok = false;
        const double age = text(a, 0).toDouble(&ok);
        if (!ok)
            return 1;
        return (age >= 70 || age <= 6) ? 0 : 1;
    });
    // drug write-off body for the write-off interface
    registerFunction(db, "SF_PY_YPHXJK_JSON", 2, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString serial = text(a, 1);
        QJsonArray drugs;
        for (const auto &r : sql.rows("select YPNM00, YPMC00, YPGG00, YPZSL0, CFDW00, SCCJZW from YF_MZCFMX "
                                      "where CFLSH0 = ? and ifnull(THBZ00, '0') <> '1' order by CFID00",
                                      {serial}))
            drugs.append(QJsonObject{{QStringLiteral("drugCode"), argText(r[0])}, {QStringLiteral("drugName"), r[1].toString()},
                                     {QStringLiteral("spec"), r[2].toString()}, {QStringLiteral("quantity"), argText(r[3])},
                                     {QStringLiteral("unit"), r[4].toString()}, {QStringLiteral("manufacturer"), r[5].toString()}});
        return jsonText({{QStringLiteral("patientId"), text(a, 0)}, {QStringLiteral("prescriptionNo"), serial},
                         {QStringLiteral("writeOffTime"), nowText()}, {QStringLiteral("drugs"), drugs}});
    });
    // medicine days of a line without its own: the herbal doses, else from
    // the total, the dose per time and the frequency
    registerFunction(db, "SF_SF_GETYYTS", 2, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        bool ok = false;
        const int doses = text(a, 1).toInt(&ok);
        if (ok && doses > 0)
            return doses;
        const auto rows = sql.rows("select m.YPZSL0, m.CSL000, ifnull(p.MTCS00, 1), ifnull(d.DJ0000, 0) from YF_MZCFMX m "
                                   "left join BM_PC0000 p on p.PCMC00 = m.PCMC00 left join BM_YD0000 d on d.YPNM00 = m.YPNM00 "
                                   "where m.CFID00 = ?",
                                   {text(a, 0)});
        if (rows.isEmpty() || rows[0][1].toDouble() <= 0)
            return QVariant();
        const double days = rows[0][0].toDouble() / (rows[0][1].toDouble() * std::max(1.0, rows[0][2].toDouble()));
        return std::max<qlonglong>(1, static_cast<qlonglong>(std::ceil(days)));
    });
    registerFunction(db, "SF_SF_TYZD00", 2, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString v = sql.value("select trim(MC0000) from BM_TYZD00 where ZDMC00 = ? and BH0000 = ?", {text(a, 0), text(a, 1)}).toString();
        return orNull(v);
    });
    // the rational-drug-use review content of a prescription (XML)
    registerFunction(db, "SF_SQSF_HLYY_ESB_Content", 3, [](const Sql &sql, const QVector<QVariant> &a) -> QVariant {
        const QString serial = text(a, 0);
        const auto rx = sql.rows("select c.BRID00, c.BRXM00, c.XB0000, c.CSRQ00, c.GHID00, c.KDKS00, c.KDYS00, c.ZZDMC0, c.SRRQ00, c.SRSJ00 "
                                 "from YF_MZCF00 c where c.CFLSH0 = ?",
                                 {serial});
        if (rx.isEmpty())
            return QVariant();
        QString xml;
        QXmlStreamWriter w(&xml);
        w.writeStartElement(QStringLiteral("root"));
        w.writeStartElement(QStringLiteral("base_xml"));
        w.writeTextElement(QStringLiteral("source"), QStringLiteral("HIS"));
        w.writeTextElement(QStringLiteral("hosp_code"), argText(a.value(2)));
        w.writeTextElement(QStringLiteral("mzzybz"), text(a, 1));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("details_xml"));
        w.writeAttribute(QStringLiteral("is_upload"), QStringLiteral("0"));
        w.writeStartElement(QStringLiteral("patient"));
        static const char *const keys[] = {"patient_id", "name", "gender", "birth", "visit_id", "dept_name", "doctor_name", "diagnosis"};
        for (int i = 0; i < 8; ++i)
            w.writeTextElement(QString::fromLatin1(keys[i]), argText(rx[0][i]));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("prescription"));
        w.writeAttribute(QStringLiteral("id"), serial);
        w.writeAttribute(QStringLiteral("date"), rx[0][8].toString() + QLatin1Char(' ') + rx[0][9].toString());
        for (const auto &l : sql.rows("select YPNM00, YPMC00, YPGG00, YPYFMC, PCMC00, CSL000, JLDW00, YYSJ00, YPZSL0, CFDW00 "
                                      "from YF_MZCFMX where CFLSH0 = ? order by CFID00",
                                      {serial})) {
            w.writeStartElement(QStringLiteral("medicine"));
            static const char *const lk[] = {"his_code", "name", "spec", "route", "frequency", "dose", "dose_unit", "days", "total", "unit"};
            for (int i = 0; i < 10; ++i)
                w.writeTextElement(QString::fromLatin1(lk[i]), argText(l[i]));
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        return xml;
    });
}

// hisdb_pid_alive(host, pid): 1 while the process runs (or runs on another
// machine, which this one cannot see), 0 when it has ended here.
void pidAlive(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString host = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    const sqlite3_int64 pid = sqlite3_value_int64(argv[1]);
    if (!host.isEmpty() && host != localHostName()) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    sqlite3_result_int(ctx, pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)) ? 1 : 0);
}

}  // namespace

void registerStoredRoutines(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "hisdb_pid_alive", 2, SQLITE_UTF8, nullptr, pidAlive, nullptr, nullptr, nullptr);

    registerProcedure(db, {"SP_PY_MZPFYCZ",
                           {QStringLiteral("POPFLAG"), QStringLiteral("PCFLSH0"), QStringLiteral("PFHRBH0"), QStringLiteral("PCZY000"),
                            QStringLiteral("PCZYKS0"), QStringLiteral("PCOMMIT"), QStringLiteral("PZXCGBZ"), QStringLiteral("PTSXX00"),
                            QStringLiteral("PXXXX00"), QStringLiteral("PDKFYBZ")},
                           spMzpfycz});
    registerProcedure(db, {"SP_PY_YF_RCMZPYZT_SJCS00", {QStringLiteral("PCFLSH0")}, spRetryCount, QString()});
    registerProcedure(db, {"SP_YF_YZYPSQ_THCZ",
                           {QStringLiteral("PYPQLPC"), QStringLiteral("PCZY000"), QStringLiteral("PCZYKS0"), QStringLiteral("PCOMMIT"),
                            QStringLiteral("PZXCGBZ"), QStringLiteral("PTSXX00"), QStringLiteral("PXXXX00"), QStringLiteral("PTHYY00"),
                            QStringLiteral("PTHSFLX")},
                           spReturn});
    registerProcedure(db, {"SP_PY_PYDJSF",
                           {QStringLiteral("POPFLAG"), QStringLiteral("PCFLSH0"), QStringLiteral("PZYDJS0"), QStringLiteral("PCZY000"),
                            QStringLiteral("PCZYKS0"), QStringLiteral("PCOMMIT"), QStringLiteral("PZXCGBZ"), QStringLiteral("PTSXX00"),
                            QStringLiteral("PKFBZ00")},
                           spDecoctionFee});
    registerProcedure(db, {"SP_YF_MZCF00_KJYF00",
                           {QStringLiteral("PCFLSH0"), QStringLiteral("PDJH000"), QStringLiteral("PCZY000"), QStringLiteral("PCZYKS0"),
                            QStringLiteral("PCOMMIT"), QStringLiteral("PZXCGBZ"), QStringLiteral("PTSXX00"), QStringLiteral("PXXXX00")},
                           spStockDeduction});
    Procedure queue{"SP_PY_SCPHDL",
                    {QStringLiteral("AS_CFLSH0"), QStringLiteral("AD_SFCKBH"), QStringLiteral("AD_PYCKBH"), QStringLiteral("AD_FYCKBH"),
                     QStringLiteral("AS_YHMSG0"), QStringLiteral("AS_SYSMSG"), QStringLiteral("AD_YFYYPH")},
                    spQueueNumber, QString(), QStringLiteral("AS_YHMSG0")};
    registerProcedure(db, queue);
    registerProcedure(db, {"SP_YF_MZCFFY",
                           {QStringLiteral("PCFLSH0"), QStringLiteral("PFHRBH0"), QStringLiteral("PPFR000"), QStringLiteral("PFLAG00"),
                            QStringLiteral("PCZY000"), QStringLiteral("PCZYKS0"), QStringLiteral("PCOMMIT"), QStringLiteral("PZXCGBZ"),
                            QStringLiteral("PTSXX00"), QStringLiteral("PXXXX00")},
                           spDirectIssue});
    registerProcedure(db, {"SP_YF_ZYDJBQ_PRINT",
                           {QStringLiteral("PID0000"), QStringLiteral("PJYDH00"), QStringLiteral("PCZY000"), QStringLiteral("PCZYKS0"),
                            QStringLiteral("PCOMMIT"), QStringLiteral("PZXCGBZ"), QStringLiteral("PTSXX00")},
                           spDecoctionLabel});
    registerProcedure(db, {"SP_IC_ICKRK0",
                           {QStringLiteral("PICKH00"), QStringLiteral("PICKNBH"), QStringLiteral("PZT0000"), QStringLiteral("PBRID00"),
                            QStringLiteral("PKLDH00"), QStringLiteral("PKMH000"), QStringLiteral("PSFDM00"), QStringLiteral("PCZY000")},
                           spCardRegistration, QString()});
    registerFunctions(db);
}

}  // namespace hisdb
