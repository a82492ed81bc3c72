// The hospital database's views. Plain SQLite SQL (ifnull, case), so they
// open without any registered function; V$session alone calls
// hisdb_pid_alive, which the connection always has.
//
// Views return each column once: statements add columns through "*"
// (rownum RN, b.zwxm00, c.ckbh00, YPYFMC, ...), so those names stay out.
#include "schema_modules.h"

namespace hisdb {
namespace schema {

const char *const kViews = R"SQL(
drop view if exists VW_BM_CKBM00;
create view VW_BM_CKBM00 as
select a.CKBH00, a.BMBH00, a.CKMC00, a.JQBH00, a.JQMC00, a.FLAG00,
  case a.FLAG00 when '1' then '收费' when '2' then '配药' when '3' then '发药' when 'K' then '审方' else a.FLAG00 end FLAGMC,
  a.ZT0000, case a.ZT0000 when '0' then '工作中' when '2' then '停止工作' else a.ZT0000 end ZTMC00,
  a.FYR000, a.CKLXID,
  (select group_concat(t.MC0000, ',') from BM_TYZD00 t where t.ZDMC00 = '窗口类型' and a.CKLXID is not null and instr(a.CKLXID, t.BH0000) > 0) CKLXMC,
  a.YPDLBH,
  (select group_concat(t.MC0000, ',') from BM_TYZD00 t where t.ZDMC00 = '药品大类' and instr(',' || ifnull(a.YPDLBH, '') || ',', ',' || t.BH0000 || ',') > 0) YPDLMC,
  a.CFDGS0,
  (select group_concat(t.MC0000, ',') from BM_TYZD00 t where t.ZDMC00 = '处方格式' and instr(',' || ifnull(a.CFDGS0, '') || ',', ',' || t.BH0000 || ',') > 0) CFDGSM,
  a.ZKCKBZ, a.CKXXDZ, a.MRXSP0, a.DQXSP0, a.BZ0000, a.DLQSH0, a.JHCKBH, a.CJR000,
  a.GZRQSJ, a.TCRQSJ, a.ISAUTO, a.IP0000, a.CZY000, a.JZCKBZ, a.PYSM00
from BM_CKBM00 a;

drop view if exists VW_BM_CKDY00;
create view VW_BM_CKDY00 as
select d.SCKBH0, d.DCKBH0, c.CKMC00,
  case c.FLAG00 when '1' then '收费' when '2' then '配药' when '3' then '发药' when 'K' then '审方' else c.FLAG00 end FLAGMC,
  case c.ZT0000 when '0' then '工作中' when '2' then '停止工作' else c.ZT0000 end ZTMC00,
  ifnull(d.SFYX00, '1') SFYX00, d.CJR000
from BM_CKDY00 d left join BM_CKBM00 c on c.CKBH00 = d.DCKBH0;

drop view if exists VW_PY_FYCK00;
create view VW_PY_FYCK00 as
select CKBH00, CKMC00, BMBH00, MRXSP0, DQXSP0, YPDLMC, ZT0000, ZTMC00, PYSM00
from VW_BM_CKBM00 where FLAG00 = '3';

drop view if exists VW_PY_PYCK00;
create view VW_PY_PYCK00 as
select CKBH00, CKMC00, BMBH00, ifnull(PYSM00, CKMC00) PYSM00, MRXSP0, DQXSP0, YPDLMC, ZT0000
from VW_BM_CKBM00 where FLAG00 = '2';

drop view if exists VW_PY_ZKFYCK;
create view VW_PY_ZKFYCK as
select z.BMBH00, z.FYCKBH CKBH00, c.CKMC00, c.MRXSP0, c.DQXSP0, c.YPDLMC
from YF_ZKFYCK z left join VW_BM_CKBM00 c on c.CKBH00 = z.FYCKBH;

drop view if exists VW_PY_KDKS00;
create view VW_PY_KDKS00 as
select BMBH00, BMMC00, PYSM00, WBSM00 from BM_BMBM00 where BMXZ00 = '1';

drop view if exists VW_BM_CFDGS0;
create view VW_BM_CFDGS0 as
select BH0000 GSLB00, MC0000 GSLBMC from BM_TYZD00 where ZDMC00 = '处方格式';
drop view if exists VW_BM_PYCKLX;
create view VW_BM_PYCKLX as
select BH0000 CKLXID, MC0000 CKLXMC from BM_TYZD00 where ZDMC00 = '窗口类型';
drop view if exists VW_BM_YPDLBH;
create view VW_BM_YPDLBH as
select BH0000 YPDLBH, MC0000 YPDLMC from BM_TYZD00 where ZDMC00 = '药品大类';

-- staff of the pharmacy departments (department nature '2', '3', '6')
drop view if exists VW_BM_YGBMYFYK;
create view VW_BM_YGBMYFYK as
select y.YGBH00, y.ZWXM00, y.XKH000, y.BMBH00, y.PYSM00, y.WBSM00, y.XB0000, y.CZBZ00
from BM_YGBM00 y join BM_BMBM00 b on b.BMBH00 = y.BMBH00
where b.BMXZ00 in ('2', '3', '6');

drop view if exists VW_YF_FHR000;
create view VW_YF_FHR000 as
select ZWXM00, YGBH00, XKH000, PYSM00, WBSM00, BMBH00 from VW_BM_YGBMYFYK where CZBZ00 = '1';

drop view if exists VW_PY_PYXTRY;
create view VW_PY_PYXTRY as
select ZWXM00, XKH000, YGBH00, BMBH00 from VW_BM_YGBMYFYK where CZBZ00 = '1';

-- checkers: active pharmacy staff marked as checkers on a window of theirs
drop view if exists VW_PY_CKHDRY;
create view VW_PY_CKHDRY as
select y.YGBH00, y.XKH000, y.ZWXM00, y.BMBH00
from VW_BM_YGBMYFYK y
where y.CZBZ00 = '1'
  and exists (select 1 from YF_PYCKRY r where r.YGBH00 = y.YGBH00 and r.HDZT00 = '1' and r.RYZT00 = '1');

-- dispensing-window staff: every pharmacy employee, with each window assignment
-- (an employee without a window has an empty PYCKBH)
drop view if exists VW_PY_BMCKRY;
create view VW_PY_BMCKRY as
select y.YGBH00, y.XKH000, y.ZWXM00, y.XB0000, r.RYZT00, r.HDZT00, r.PYCKBH,
  (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = r.PYCKBH) CKMC00,
  r.ZHPYSJ,
  (select count(*) from YF_MZCF00 m join YF_CFDL00 q on q.CFLSH0 = m.CFLSH0
    where m.PFR000 = y.YGBH00 and q.ZT0000 in ('1', '4')) PYGZLS,
  (select count(*) from YF_CFDL00 q where r.PYCKBH is not null and q.PYCKBH = r.PYCKBH and q.ZT0000 in ('0', '1', '4')) CFS000,
  y.BMBH00, b.BMXZ00, y.CZBZ00, y.PYSM00, y.WBSM00
from BM_YGBM00 y
join BM_BMBM00 b on b.BMBH00 = y.BMBH00
left join YF_PYCKRY r on r.YGBH00 = y.YGBH00
where b.BMXZ00 in ('2', '3', '6');

-- queue entries with their prescription, for the workstation lists
drop view if exists VW_PY_FYCFDL;
create view VW_PY_FYCFDL as
select a.CFLSH0, a.FYDLXH, a.PHRQ00,
  substr(a.PHRQ00, 1, 4) || '-' || substr(a.PHRQ00, 5, 2) || '-' || substr(a.PHRQ00, 7, 2) PHRQSH,
  a.FYCKBH, (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.FYCKBH) FYCKMC,
  a.PYCKBH, (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.PYCKBH) PYCKMC,
  a.ZT0000, a.THBZ00, a.DYRQ00, a.DYSJ00,
  case when a.DYRQ00 is null then null else substr(a.DYRQ00, 1, 4) || '-' || substr(a.DYRQ00, 5, 2) || '-' || substr(a.DYRQ00, 7, 2) || ' ' || ifnull(a.DYSJ00, '') end DYRQSJ,
  a.PYRQ00, a.PYSJ00, a.FYRQ00, a.FYSJ00, b.JZRQ00, a.DLXH00, a.YFBMBH,
  (select d.BMMC00 from BM_BMBM00 d where d.BMBH00 = a.YFBMBH) BMMC00,
  a.YPJE00, a.GHH000, a.BRID00, a.BRXM00, b.XB0000, b.BRNL00, b.BRLB00, b.KDYS00, b.KDKS00,
  a.PYLBBH, (select l.PYLBMC from BM_PYLB00 l where l.PYLBBH = a.PYLBBH) PYLBMC,
  b.YPDLBH, b.YPCZFL, b.ZYTS00,
  b.PFR000, (select y.ZWXM00 from BM_YGBM00 y where y.YGBH00 = b.PFR000) PFRXM0,
  b.FHR001, (select y.ZWXM00 from BM_YGBM00 y where y.YGBH00 = b.FHR001) FHRXM0,
  b.FYR000, (select y.ZWXM00 from BM_YGBM00 y where y.YGBH00 = b.FYR000) FYRXM0,
  a.JHCS00, a.JHXH00, a.BJBZ00, b.SFPS00, b.SFGW00, b.YYCWDJ,
  ifnull((select r.LZH000 from RCACCEPT r where r.CFLSH0 = a.CFLSH0), a.LZH000) LZH000,
  a.RCBYZT, b.CXBZ00, a.JKPYZT, ifnull(a.BYJJK0, a.CFLSH0) BYJJK0, a.WBJKBZ, a.CFDGS0,
  b.ZZDMC0, b.CHECK0, b.FLAG00, b.CFZT00, b.GHID00, b.CSRQ00, b.FBMC00, b.YBMC00, b.SFDR00,
  b.SFY000, b.ZYDJS0, b.SRRQ00,
  (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.FYCKBH) CKMC00,
  a.DKFYBZ
from YF_CFDL00 a left join YF_MZCF00 b on b.CFLSH0 = a.CFLSH0;

-- print queue of the dispensing print station
drop view if exists VW_PY_DYCFDL;
create view VW_PY_DYCFDL as
select a.FYDLXH, a.CFLSH0,
  (select y.ZWXM00 from BM_YGBM00 y where y.YGBH00 = b.PFR000) PFRXM0,
  a.BRXM00, b.XB0000, a.DYRQ00, a.DYSJ00, b.BRNL00, a.GHH000, b.KDKS00, b.KDYS00,
  (select d.BMMC00 from BM_BMBM00 d where d.BMBH00 = a.YFBMBH) BMMC00,
  b.CXBZ00, a.ZT0000, a.YFBMBH, a.PYCKBH, a.FYCKBH, b.JZRQ00, b.CFSRBZ, b.FBBH00,
  ifnull(b.PHBZ00, 0) PHBZ00, ifnull(b.NL0000, 0) NL0000, b.CFDGS0, b.CFDGS1, a.DLXH00, a.BRID00,
  a.WBJKBZ, ifnull(a.BYJJK0, a.CFLSH0) BYJJK0,
  (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.FYCKBH) CKMC00,
  (select l.PYLBMC from BM_PYLB00 l where l.PYLBBH = a.PYLBBH) PYLBMC,
  b.YPDLBH, b.CHECK0, a.PHRQ00
from YF_CFDL00 a left join YF_MZCF00 b on b.CFLSH0 = a.CFLSH0;

-- prescription query. VW_PY_CFCX00 lists every prescription (with its queue
-- entry when there is one); VW_PY_CFCX01 lists queue entries. Same columns.
-- FYRQ00/FYSJ00 are the prescription's stock-deduction (issue) date,
-- DLFYRQ the queue's issue date.
drop view if exists VW_PY_CFCX00;
create view VW_PY_CFCX00 as
select b.CFLSH0, a.FYDLXH,
  substr(b.JZRQ00, 1, 4) || '-' || substr(b.JZRQ00, 5, 2) || '-' || substr(b.JZRQ00, 7, 2) || ' ' || ifnull(b.JZSJ00, '') JZRQSJ,
  substr(b.SRRQ00, 1, 4) || '-' || substr(b.SRRQ00, 5, 2) || '-' || substr(b.SRRQ00, 7, 2) || ' ' || ifnull(b.SRSJ00, '') SRRQGG,
  b.BRXM00, b.XB0000, b.BRNL00, (select l.PYLBMC from BM_PYLB00 l where l.PYLBBH = b.PYLBBH) PYLBMC,
  b.ZYTS00, ifnull(b.ZYDJS0, 0) ZYDJS0,
  case ifnull(b.DJSFZT, '0') when '1' then '收费' when '2' then '退费' else '未收' end DJSFMC,
  b.KDKS00, b.KDYS00, (select d.BMMC00 from BM_BMBM00 d where d.BMBH00 = b.YFBMBH) YFBMMC, b.CXBZ00,
  case when ifnull(b.THBZ00, '0') = '1' then '已退回'
       when a.ZT0000 = '0' then '待打印' when a.ZT0000 in ('1', '4') then '待配药'
       when a.ZT0000 = '2' then '待发药' when a.ZT0000 = '3' then '已发药'
       when b.CFZT00 = '2' then '已发药' when b.CFZT00 = '1' then '已收费' else '未收费' end ZTMC00,
  case when b.FYRQ00 is null then null else substr(b.FYRQ00, 1, 4) || '-' || substr(b.FYRQ00, 5, 2) || '-' || substr(b.FYRQ00, 7, 2) || ' ' || ifnull(b.FYSJ00, '') end FYRQSJ,
  substr(a.PHRQ00, 1, 4) || '-' || substr(a.PHRQ00, 5, 2) || '-' || substr(a.PHRQ00, 7, 2) PHRQSH,
  case when a.DYRQ00 is null then null else substr(a.DYRQ00, 1, 4) || '-' || substr(a.DYRQ00, 5, 2) || '-' || substr(a.DYRQ00, 7, 2) || ' ' || ifnull(a.DYSJ00, '') end DYRQSJ,
  case when a.PYRQ00 is null then null else substr(a.PYRQ00, 1, 4) || '-' || substr(a.PYRQ00, 5, 2) || '-' || substr(a.PYRQ00, 7, 2) || ' ' || ifnull(a.PYSJ00, '') end PYRQSJ,
  case when a.FYRQ00 is null then null else substr(a.FYRQ00, 1, 4) || '-' || substr(a.FYRQ00, 5, 2) || '-' || substr(a.FYRQ00, 7, 2) || ' ' || ifnull(a.FYSJ00, '') end LYSJ00,
  b.GHH000, (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.FYCKBH) FYCKMC,
  (select c.CKMC00 from BM_CKBM00 c where c.CKBH00 = a.PYCKBH) PYCKMC,
  ifnull(a.DKFYBZ, '0') DKFYBZ, a.FYCKBH, a.PYCKBH, b.YFBMBH, b.BRID00, b.SRRQ00, b.SRSJ00,
  a.PHRQ00, b.JZRQ00, b.JZSJ00, a.FYRQ00 DLFYRQ, b.FYRQ00, b.FYSJ00, b.CFZT00, a.ZT0000,
  ifnull(b.DJSFZT, '0') TFZT00, b.YPDLBH, b.PYLBBH, b.GHID00, b.BCCFH0, b.YSGZH0, b.KSBH00 GHKS00,
  b.CSRQ00, b.CFZJE0, b.THBZ00
from YF_MZCF00 b left join YF_CFDL00 a on a.CFLSH0 = b.CFLSH0;

drop view if exists VW_PY_CFCX01;
create view VW_PY_CFCX01 as
select * from VW_PY_CFCX00 where PHRQ00 is not null;

-- prescription lines for the detail list
drop view if exists VW_PY_MZCFMX;
create view VW_PY_MZCFMX as
select m.CFLSH0, q.FYDLXH, c.BRXM00, ifnull(m.ZDXX00, c.ZZDMC0) ZDXX00,
  case when m.SFGW00 = '1' then '高危' else '' end SFGW00, m.YYCWDJ, m.YPMC00, m.YPGG00, m.YPYFMC,
  m.PSMC00, m.PCMC00, m.CSL000, m.JLDW00, m.JJSL00, m.SCCJZW, m.YPZSL0, m.CFDW00, m.YYSJ00,
  m.YYSJDW, m.YFSMMC, m.BZ0000, m.CFID00, m.SFZBY0, m.YPNM00, m.YYCWXX, c.BRID00, c.GHH000,
  m.THBZ00
from YF_MZCFMX m left join YF_MZCF00 c on c.CFLSH0 = m.CFLSH0
left join YF_CFDL00 q on q.CFLSH0 = m.CFLSH0;

-- lines for the skin-test warning
drop view if exists VW_YF_MZCFMX;
create view VW_YF_MZCFMX as
select m.CFLSH0, m.CFID00, m.YPNM00, m.YPMC00, m.YPGG00, m.PSLBID, m.TYMBH0, m.PSMC00, m.PSJG00
from YF_MZCFMX m;

-- skin-test history: the skin-test lines of a patient's prescriptions
drop view if exists VW_YF_PSLS00;
create view VW_YF_PSLS00 as
select c.BRID00, m.TYMBH0, m.CFLSH0, c.SRRQ00, c.GHH000,
  (select d.BMMC00 from BM_BMBM00 d where d.BMBH00 = c.KSBH00) BMMC00, c.KDYS00 YSXM00,
  m.YPMC00, m.YPGG00, m.PSMC00, m.PSJG00,
  ifnull(m.KSRQSJ, substr(c.SRRQ00, 1, 4) || '-' || substr(c.SRRQ00, 5, 2) || '-' || substr(c.SRRQ00, 7, 2) || ' ' || ifnull(c.SRSJ00, '')) KSRQSJ,
  m.PCMC00, m.CSL000 || ifnull(m.JLDW00, '') CSL001, m.YYSJ00 || ifnull(m.YYSJDW, '') YYSJ01,
  m.YPZSL0 || ifnull(m.CFDW00, '') YPZSL1,
  case c.CFZT00 when '2' then '已发药' when '1' then '已收费' else '未收费' end CFZT00
from YF_MZCFMX m join YF_MZCF00 c on c.CFLSH0 = m.CFLSH0
where m.TYMBH0 is not null;

-- drug lines for the print station
drop view if exists VW_PY_BRCFMX_DSQL;
create view VW_PY_BRCFMX_DSQL as
select m.CFLSH0, m.CFID00, m.YPMC00, m.GWDJ00, m.YPGG00, m.YPZSL0, m.CFDW00, m.YPYFMC, m.PCMC00,
  m.CSL000, m.JLDW00, m.YYSJ00, m.YYSJDW, m.YFSMMC, m.BZ0000
from YF_MZCFMX m where ifnull(m.THBZ00, '0') <> '1';

drop view if exists VW_SF_BRZHXX;
create view VW_SF_BRZHXX as
select p.BRID00, ifnull(z.YBSBK0, '0') YBSBK0, ifnull(z.ZHYE00, 0) ZHYE00
from BM_BRXXB0 p left join SF_BRZHXX z on z.BRID00 = p.BRID00;

drop view if exists VW_XT_BGSZJY;
create view VW_XT_BGSZJY as
select BGSZID, MKDLL0, CTNAME, GDNAME, GDTYPE, YGBH00, BMBH00, BGSZLB, XTDM00, MKNBMC, BZ0000,
  XGR000, XGRQSJ, CJRQSJ, SFYX00
from XT_BGSZJY where ifnull(SFYX00, '1') = '1';

drop view if exists VW_XT_GLMB00;
create view VW_XT_GLMB00 as
select MBID00, MBMC00, MBLB00, MKDLL0, CTNAME, GDNAME, BMBH00, CJR000, CJRQSJ, XGR000, XGRQSJ
from XT_GLMB00;

drop view if exists VW_BM_SRF000;
create view VW_BM_SRF000 as
select SRFID0, ZDBMC0, SRZDB0, SRBM00, SRMC00, SRPYM0, SRWBM0, GLTJ00 from BM_SRF000;

drop view if exists VW_YF_JYXXB0;
create view VW_YF_JYXXB0 as
select j.JYDH00, j.MZZYBZ, case j.MZZYBZ when '0' then '门诊' else '住院' end MZZYMC, j.CFLSH0,
  j.LYRQ00, j.LYSJ00,
  case when j.LYRQ00 is null then null else substr(j.LYRQ00, 1, 4) || '-' || substr(j.LYRQ00, 5, 2) || '-' || substr(j.LYRQ00, 7, 2) || ' ' || ifnull(j.LYSJ00, '') end LYRQSJ,
  j.BRXM00, j.BQMC00, j.CH0000, (select q.FYDLXH from YF_CFDL00 q where q.CFLSH0 = j.CFLSH0) FYDLXH,
  j.ZYDJS0, j.ZYSFJJ, j.YYRQ00, j.YPYFMC, j.YPYFSM, j.BZJHM0, j.DYCS00,
  j.JPRQSJ, j.JYRQSJ, j.EJRQSJ, j.JYCZY1, j.SYRQSJ, j.SYCZY1
from YF_JYXXB0 j;

-- open host sessions; a registration whose process has ended on this machine
-- does not count
drop view if exists V$session;
create view V$session as
select SID000 SID, TERMINAL, PROGRAM, HOSTNM MACHINE, PID000 PROCESS, LOGON0 LOGON_TIME
from HISDB_SESSION where hisdb_pid_alive(HOSTNM, PID000) = 1;
)SQL";

}  // namespace schema
}  // namespace hisdb
