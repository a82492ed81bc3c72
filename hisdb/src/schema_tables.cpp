// The hospital database's tables, sequences and indexes (plain SQLite DDL).
//
// Key columns that the module compares with text binds and quoted literals
// ('07' = 7) carry INTEGER or NUMERIC affinity. Dates the SQL compares as
// text stay text: "YYYYMMDD" and "HH:MM:SS". Timestamps written by the
// database itself are "yyyy-MM-dd HH:mm:ss".
#include "schema_modules.h"

namespace hisdb {
namespace schema {

const char *const kTables = R"SQL(
-- dual: Oracle's one-row table
create table if not exists DUAL (DUMMY text);
insert into DUAL(DUMMY) select 'X' where not exists (select 1 from DUAL);

-- sequences: NAME -> last value handed out
create table if not exists HISDB_SEQUENCE (NAME text primary key, VALUE integer not null);

-- registered host sessions (the V$session equivalent)
create table if not exists HISDB_SESSION (
  SID000 integer primary key autoincrement,
  TERMINAL text, PROGRAM text, HOSTNM text, PID000 integer, CONNID text,
  LOGON0 text default (datetime('now','localtime')));
create index if not exists IX_HISDB_SESSION_TERM on HISDB_SESSION(TERMINAL);
create index if not exists IX_HISDB_SESSION_CONN on HISDB_SESSION(CONNID, PID000);

-- ===== code tables =====
create table if not exists BM_BMBM00 (
  BMBH00 integer primary key, BMMC00 text not null, BMXZ00 text, YYID00 integer,
  YFLB00 text, PYSM00 text, WBSM00 text, SFYX00 text default '1');

create table if not exists BM_BRXXB0 (
  BRID00 integer primary key, BRXM00 text, XB0000 text, CSRQ00 text, BRZJBH text,
  BRBLH0 text, YBID00 text, LXDH00 text, JTDZ00 text);

create table if not exists BM_CKBM00 (
  CKBH00 integer primary key, BMBH00 integer, CKMC00 text not null, JQBH00 text, JQMC00 text,
  FLAG00 text, ZT0000 text default '2', FYR000 text, CKLXID text, YPDLBH text, CFDGS0 text,
  ZKCKBZ text default '0', CKXXDZ text, MRXSP0 text, DQXSP0 text, BZ0000 text, DLQSH0 text,
  JHCKBH text, CJR000 integer, GZRQSJ text, TCRQSJ text, ISAUTO text, IP0000 text, CZY000 integer,
  JZCKBZ text default 'N', PYSM00 text);
create index if not exists IX_BM_CKBM00_BMBH on BM_CKBM00(BMBH00, FLAG00);

create table if not exists BM_CKDY00 (
  SCKBH0 integer not null, DCKBH0 integer not null, SFYX00 text default '1', CJR000 integer,
  CJRQSJ text default (datetime('now','localtime')), primary key (SCKBH0, DCKBH0));

create table if not exists BM_JKFHZ0 (
  DDLSH0 text, CARDLX text, BRID00 integer, ICKH00 text, XM0000 text, ZJHM00 text,
  CJRQSJ text default (datetime('now','localtime')));
create index if not exists IX_BM_JKFHZ0_DDLSH on BM_JKFHZ0(DDLSH0);

create table if not exists BM_PC0000 (PCID00 text primary key, PCMC00 text, MTCS00 numeric);
create table if not exists BM_YPYF00 (YFID00 text primary key, YPYFMC text);

create table if not exists BM_SRF000 (
  SRFID0 integer primary key, ZDBMC0 text, SRZDB0 text, SRBM00 text, SRMC00 text,
  SRPYM0 text, SRWBM0 text, GLTJ00 text);
create table if not exists BM_SRFMX0 (
  SRFID0 integer, ZDM000 text, XXBT00 text, XXKD00 integer, SFKJ00 text, XH0000 integer);
create index if not exists IX_BM_SRFMX0 on BM_SRFMX0(SRFID0, XH0000);

create table if not exists BM_SZZSXX (
  YGBH00 integer primary key, YGXM00 text, XLH000 text, HXZ000 text, OPENID text, BFG000 text,
  BFZ000 text, DZQM00 blob, SJH000 text, SXRQ00 text, JZRQ00 text);

create table if not exists BM_TYZD00 (
  ZDMC00 text not null, BH0000 text not null, MC0000 text, LBBZ00 text default '0',
  XSXH00 integer, BZ0000 text);
create index if not exists IX_BM_TYZD00 on BM_TYZD00(ZDMC00, BH0000);

create table if not exists BM_YBSXZD (
  JKBM00 integer, SXBM00 text, SFYX00 text default '1', XSXH00 integer, SXSM00 text,
  VALUE0 text, JKDZBM text);

-- drugs: price DJ0000 per pack unit; SFGW00 '1' high-alert; PSLBID skin-test class;
-- TYMBH0 the skin-test item the drug needs
create table if not exists BM_YD0000 (
  YPNM00 integer primary key, YPMC00 text not null, YPGG00 text, PZWH00 text, SCCJZW text,
  JLDW00 text, BZDW00 text, DJ0000 numeric, YPDLBH text, YPCZFL text, SFGW00 text default '0',
  GWDJ00 text, PSLBID text, TYMBH0 text, PSMC00 text, PYSM00 text, WBSM00 text);

create table if not exists BM_YGBM00 (
  YGBH00 integer primary key, ZWXM00 text not null, XKH000 text, BMBH00 integer,
  CZBZ00 text default '1', PYSM00 text, WBSM00 text, ZYJSZC text, SFZBH0 text, XB0000 text,
  YGLB00 text);
create index if not exists IX_BM_YGBM00_XKH on BM_YGBM00(XKH000);
create index if not exists IX_BM_YGBM00_BMBH on BM_YGBM00(BMBH00);

create table if not exists BM_ZJ0000 (YGBH00 integer primary key, DZQM00 blob);

-- dispensing categories (PYLBBH) and their names
create table if not exists BM_PYLB00 (PYLBBH text primary key, PYLBMC text not null);

-- ===== cards and accounts =====
create table if not exists IC_KLDM00 (
  KLDH00 text primary key, KLMC00 text, KLLB00 text, KHQZBH text, SYBZ00 integer);
create table if not exists IC_YHXX00 (
  ICKH00 text not null, ICKNBH text, YGBH00 integer, BRID00 integer, KMH000 text,
  ZT0000 integer default 1, KLDH00 text, SFDM00 text, FKRQ00 text, CZY000 integer);
create index if not exists IX_IC_YHXX00_ICKH on IC_YHXX00(ICKH00);
create index if not exists IX_IC_YHXX00_BRID on IC_YHXX00(BRID00);
create table if not exists IC_YYID00 (YYID00 text primary key);

create table if not exists SF_BRZHXX (BRID00 integer primary key, YBSBK0 text default '0', ZHYE00 numeric default 0);

-- ===== interfaces =====
create table if not exists JK_WZTJK0 (
  SID000 integer primary key, SCCJ00 text, QRCID0 text, PIC640, SIGN64, SCCZY0 integer,
  CERTID text, JASON2 text, JASON3 text, JASON6 text, QRC640 text, QRCEXT text, MSG000 text,
  CJRQSJ text default (datetime('now','localtime')));

create table if not exists RCACCEPT (CFLSH0 text primary key, LZH000 text, CKH000 text);

-- ===== charging =====
create table if not exists SF_BRXXB0 (
  GHID00 integer primary key, GHH000 text, BRID00 integer, SJLY00 text default '1',
  LBBH00 integer, GHRQ00 text, GHKS00 integer, YSGZH0 integer);
create index if not exists IX_SF_BRXXB0_BRID on SF_BRXXB0(BRID00);

create table if not exists SF_FYMX00 (
  FYID00 integer primary key, JZDH00 numeric default 0, YJDJH0 integer, BRID00 integer,
  CFLSH0 text, XMMC00 text, SL0000 numeric, DJ0000 numeric, JE0000 numeric, SFRQ00 text, CZY000 integer);
create index if not exists IX_SF_FYMX00_YJDJH on SF_FYMX00(YJDJH0, BRID00);

-- ===== system tables =====
create table if not exists XT_BGSZJY (
  BGSZID numeric primary key, MKDLL0 text, CTNAME text, GDNAME text, GDTYPE integer,
  YGBH00 integer, BMBH00 integer, BGSZLB integer, XTDM00 text, MKNBMC text, BZ0000 text,
  XGR000 integer, XGRQSJ text, CJRQSJ text default (datetime('now','localtime')), SFYX00 text default '1');
create index if not exists IX_XT_BGSZJY on XT_BGSZJY(MKDLL0, YGBH00, XTDM00);
create table if not exists XT_BGSZMX (
  MXID00 numeric primary key, BGSZID numeric, CLFDNM text, SFXS00 text, CLINDX integer,
  CLCPNM text, CLWDTH integer, BDINDX integer, BDCLDX integer);
create index if not exists IX_XT_BGSZMX on XT_BGSZMX(BGSZID);

create table if not exists XT_DBMS00 (DBBB00 text, SJKYH0 text);

create table if not exists XT_GLMB00 (
  MBID00 integer primary key, MBMC00 text, MBLB00 integer, MKDLL0 text, CTNAME text, GDNAME text,
  BMBH00 integer, CJR000 integer, CJRQSJ text default (datetime('now','localtime')),
  XGR000 integer, XGRQSJ text);
create index if not exists IX_XT_GLMB00 on XT_GLMB00(MKDLL0, BMBH00);
create table if not exists XT_GLMBMX (
  MXID00 integer primary key, MBID00 integer, MXXH00 integer, MXZDID text, MXZDMC text,
  YXF000 text, ZDZ000 text, GXF000 text);
create index if not exists IX_XT_GLMBMX on XT_GLMBMX(MBID00);

create table if not exists XT_XTCS00 (NAME00 text primary key, VALUE0 text, BZ0000 text);
create table if not exists XT_YYXT00 (XTDM00 text primary key, XTMC00 text, XTBB00 text);
create table if not exists XT_ZDZDDZ (ZDM000 text, ZDBMC0 text, SFYX00 text default '1', SYXT00 text);
create index if not exists IX_XT_ZDZDDZ on XT_ZDZDDZ(ZDM000);

-- allergy records read by SF_XT_BRGMJL_DZBL (GMLB00 '0' drug, '1' food, '2' other)
create table if not exists XT_BRGMJL (
  JLID00 integer primary key, BRID00 integer, GMLB00 text, GMYW00 text, GMFY00 text,
  SFYX00 text default '1', JLRQ00 text);
create index if not exists IX_XT_BRGMJL on XT_BRGMJL(BRID00);

-- ===== pharmacy =====
-- outpatient prescriptions. CFZT00: '0' entered, '1' paid, '2' issued, '4' pending;
-- DJSFZT decoction fee '0' none, '1' charged, '2' refunded.
create table if not exists YF_MZCF00 (
  CFLSH0 text primary key, GHID00 integer, GHH000 text, BRID00 integer, BRXM00 text,
  XB0000 text, BRNL00 text, NL0000 integer, CSRQ00 text, BRLB00 text, FBBH00 integer,
  FBMC00 text, YBMC00 text, PHBZ00 integer default 1, YFBMBH integer, KSBH00 integer,
  KDKS00 text, YSGZH0 integer, KDYS00 text, ZZDMC0 text, CFZT00 text default '1',
  SRRQ00 text, SRSJ00 text, JZRQ00 text, JZSJ00 text, FYRQ00 text, FYSJ00 text,
  CFZJE0 numeric, YPDLBH text, YPCZFL text, PYLBBH text, ZYTS00 integer default 0,
  ZYDJS0 integer default 0, DJSFZT text default '0', BCCFH0 text, CFDGS0 text, CFDGS1 text,
  CFSRBZ text, WGCFBZ text default '0', SFKSLY text default 'N', THBZ00 text default '0',
  THYY00 text, PFR000 integer, FHR001 integer, FYR000 integer, DYCS00 integer default 0,
  CFBDCS integer default 0, TSYS00 text, YYSFR0 text, SFCAQM text, CXBZ00 text,
  SFPS00 text default '0', SFGW00 text default '0', YYCWDJ text, CHECK0 text, FLAG00 text,
  SFDR00 text, SFY000 text, KJBZ00 text default '0');
create index if not exists IX_YF_MZCF00_BRID on YF_MZCF00(BRID00, JZRQ00);
create index if not exists IX_YF_MZCF00_SRRQ on YF_MZCF00(SRRQ00);
create index if not exists IX_YF_MZCF00_JZRQ on YF_MZCF00(JZRQ00);
create index if not exists IX_YF_MZCF00_FYRQ on YF_MZCF00(FYRQ00);
create index if not exists IX_YF_MZCF00_GHID on YF_MZCF00(GHID00);
create index if not exists IX_YF_MZCF00_BCCFH on YF_MZCF00(BCCFH0);

-- prescription lines (must not carry PZWH00, FREQ_CODE, ADMIN_CODE, medicine_days)
create table if not exists YF_MZCFMX (
  CFID00 integer primary key, CFLSH0 text not null, YPNM00 integer, YPMC00 text, YPGG00 text,
  YPYFMC text, PCMC00 text, CSL000 numeric, JLDW00 text, JJSL00 numeric, YPZSL0 numeric,
  CFDW00 text, YYSJ00 numeric, YYSJDW text, YFSMMC text, BZ0000 text, ZB0000 integer,
  CXBZ00 text default 'Z', SFZBY0 text default 'N', PSMC00 text, PSJG00 text, PSLBID text,
  TYMBH0 text, SCCJZW text, DJ0000 numeric, JE0000 numeric, SFGW00 text default '0',
  GWDJ00 text, YYCWDJ text, YYCWXX text, ZDXX00 text, THBZ00 text default '0', THYY00 text,
  KSRQSJ text);
create index if not exists IX_YF_MZCFMX_CFLSH on YF_MZCFMX(CFLSH0, CFID00);

-- the pharmacy queue: one entry per prescription and issuing window.
-- ZT0000: '0' print queue, '1' waiting, '4' waiting printed for later,
-- '2' dispensed, '3' issued.
create table if not exists YF_CFDL00 (
  DLXH00 integer primary key, CFLSH0 text not null, YFBMBH integer, BRID00 integer,
  BRXM00 text, GHH000 text, PYCKBH integer, FYCKBH integer, FYDLXH integer, PHRQ00 text,
  ZT0000 text not null default '0', THBZ00 text default '0', DYRQ00 text, DYSJ00 text,
  PYRQ00 text, PYSJ00 text, FYRQ00 text, FYSJ00 text, BJBZ00 text default '0',
  JHCS00 integer default 0, JHXH00 integer, DKFYBZ text default '0', CFDGS0 text,
  LZH000 text, RCBYZT text, JKPYZT text, BYJJK0 text, WBJKBZ text default '0',
  YPJE00 numeric default 0, PYLBBH text, CJRQSJ text default (datetime('now','localtime')));
create unique index if not exists UX_YF_CFDL00_CFLSH on YF_CFDL00(CFLSH0);
create index if not exists IX_YF_CFDL00_WIN on YF_CFDL00(FYCKBH, PHRQ00, ZT0000);
create index if not exists IX_YF_CFDL00_PYWIN on YF_CFDL00(PYCKBH, ZT0000, PHRQ00);
create index if not exists IX_YF_CFDL00_DEPT on YF_CFDL00(YFBMBH, PHRQ00, ZT0000);
create index if not exists IX_YF_CFDL00_BRID on YF_CFDL00(BRID00, PHRQ00);
create index if not exists IX_YF_CFDL00_FYRQ on YF_CFDL00(FYRQ00);
create index if not exists IX_YF_CFDL00_DATE on YF_CFDL00(PHRQ00, ZT0000);

create table if not exists YF_GXMZCF (CFLSH0 text primary key, BASEPSCRIPTID text, DrHospitalCode text);

create table if not exists YF_JYXXB0 (
  JYDH00 integer primary key, CFLSH0 text, MZZYBZ text default '0', BRXM00 text, BQMC00 text,
  CH0000 text, LYRQ00 text, LYSJ00 text, JPRQSJ text, JYRQSJ text, EJRQSJ text, JYCZY1 text,
  SYRQSJ text, SYCZY1 text, ZYDJS0 integer, ZYSFJJ text, YYRQ00 text, YPYFMC text, YPYFSM text,
  BZJHM0 text, DYCS00 integer default 0);
create index if not exists IX_YF_JYXXB0_CFLSH on YF_JYXXB0(CFLSH0);
create index if not exists IX_YF_JYXXB0_LYRQ on YF_JYXXB0(LYRQ00);

-- decoction labels registered by SP_YF_ZYDJBQ_PRINT
create table if not exists YF_ZYDJBQ (
  BQID00 integer primary key, JYDH00 integer, CZY000 integer, CZYKS0 integer,
  CJRQSJ text default (datetime('now','localtime')));

-- stock deductions made by SP_YF_MZCF00_KJYF00
create table if not exists YF_KJJL00 (
  DJH000 integer primary key, CFLSH0 text, SL0000 numeric, CZY000 integer, CZYKS0 integer,
  CZRQSJ text default (datetime('now','localtime')));

create table if not exists YF_MZLZCF (CFLSH0 text primary key, CFZTBZ text default '0');

create table if not exists YF_PYCKRY (
  PYCKBH integer not null, YGBH00 integer not null, RYZT00 text default '1', HDZT00 text default '0',
  ZHPYSJ text, primary key (PYCKBH, YGBH00));
create index if not exists IX_YF_PYCKRY_YGBH on YF_PYCKRY(YGBH00);

create table if not exists YF_RCMZPYZT (CFLSH0 text primary key, SJCS00 integer not null default 0);

create table if not exists YF_ZKFYCK (BMBH00 integer not null, FYCKBH integer not null, primary key (BMBH00, FYCKBH));

-- medical-technical orders; FJDJBZ '7' is the decoction fee item
create table if not exists YJ_YW0000 (
  YJDJH0 integer primary key, BRID00 integer, YZCFID text, FJDJBZ text, ZYGHID integer,
  MZZYBZ text default '0', XMMC00 text, SL0000 numeric, JE0000 numeric, KDRQ00 text);
create index if not exists IX_YJ_YW0000_YZCF on YJ_YW0000(YZCFID, FJDJBZ);

-- ===== doctors' side =====
create table if not exists YS_BRZDXX (GHID00 integer, SFXYZD text, ZDMC00 text, ICD900 text);
create index if not exists IX_YS_BRZDXX on YS_BRZDXX(GHID00);
create table if not exists YS_CFXXB0 (
  CFLSH0 text primary key, GHID00 integer, BRID00 integer, YSGZH0 integer, SRRQ00 text,
  THBZ00 text default '0', THYY00 text);
-- the doctor's prescription lines (same line ids as YF_MZCFMX)
create table if not exists YS_CFMXB0 (
  CFID00 integer primary key, CFLSH0 text, YPNM00 integer, THBZ00 text default '0', THYY00 text);
create index if not exists IX_YS_CFMXB0 on YS_CFMXB0(CFLSH0);
create table if not exists YS_MZBLWS (GHH000 text, GHID00 integer, ZS0000 text, GMS000 text, JLRQ00 text);
create index if not exists IX_YS_MZBLWS on YS_MZBLWS(GHH000);
-- vital signs per registration, read by SF_PY_GETMZBRTZXX
create table if not exists YS_BRTZXX (
  GHID00 integer, TW0000 text, MB0000 text, XY0000 text, SG0000 text, TZ0000 text, CLRQSJ text);
create index if not exists IX_YS_BRTZXX on YS_BRTZXX(GHID00);
)SQL";

// Start values sit above every id the demo and the fixture seed.
const char *const kSequences = R"SQL(
insert or ignore into HISDB_SEQUENCE(NAME, VALUE) values
  ('SQ_XT_BGSZJY_BGSZID', 1000),
  ('SQ_XT_BGSZMX_MXID00', 10000),
  ('SQ_XT_GLMB00_MBID00', 1000),
  ('SQ_XT_GLMBMX_MXID00', 10000),
  ('SQ_BM_CKBM00_CKBH00', 100),
  ('SQ_JK_WZTJK0_SID000', 1000),
  ('SQ_YF_ZYDJBQ_BQID00', 1000),
  ('SQ_YF_KJJL00_DJH000', 100000),
  ('SQ_YJ_YW0000_YJDJH0', 5000000),
  ('SQ_SF_FYMX00_FYID00', 5000000);
)SQL";

}  // namespace schema
}  // namespace hisdb
