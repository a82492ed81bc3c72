// Seeding the hospital database: the demo hospital and the small test fixture.
//
// Both run in one transaction on an open connection (hisdb::open), replace
// whatever data the seeded tables held, and take "today" from the database
// clock (hisdb::nowText(), which tests fix with hisdb::setFixedNow).
//
// ============================ The test fixture ============================
// seedFixture() writes a small, fixed hospital. Tests should fix the clock
// first, e.g. hisdb::setFixedNow(hisdb::kFixtureNow) ("2025-03-05 10:30:00"),
// so that "today" (T, "YYYYMMDD") and "yesterday" (Y) are known; every value
// below is the same whatever the date.
//
// Hospital YYID00 1001. XT_DBMS00 ('5.0.1','HIS'); XT_YYXT00 ('R','门诊配药','5.0.1').
//
// Departments BM_BMBM00 (BMBH00 name BMXZ00 pharmacy-kind YFLB00):
//   101 门诊西药房 '2' western ('2')      102 门诊中药房 '2' herbal ('1')
//   201 内科  202 外科  203 儿科  204 中医科        (clinical, BMXZ00 '1')
//
// Windows BM_CKBM00 (CKBH00 = CKMC00, all stopped: ZT0000 '2', JQMC00 null, JZCKBZ 'N'):
//   1 "01" dept 101 dispensing (FLAG00 '2')   3 "03" dept 101 issuing (FLAG00 '3')
//   2 "02" dept 101 dispensing               4 "04" dept 101 issuing
//   5 "05" dept 102 dispensing               6 "06" dept 102 issuing
// Window links BM_CKDY00 (SCKBH0 -> DCKBH0): 1->3, 1->4, 2->3, 2->4, 5->6.
// Specialist issuing windows YF_ZKFYCK: department 203 -> window 4.
//
// Staff BM_YGBM00 (YGBH00 name card XKH000 department):
//   1001 张明 K1001 101    1002 李华 K1002 101    1003 王芳 K1003 101
//   1004 赵强 K1004 101 (inactive, CZBZ00 '0')
//   1011 陈静 K1011 102    1012 刘洋 K1012 102
//   2001 周建国 D2001 201  2002 吴敏 D2002 202  2003 郑丽 D2003 203  2004 孙志远 D2004 204 (doctors)
//   Pinyin/wubi initials (PYSM00, WBSM00 of staff and departments) are lower case ("zm",
//   "nk"): the module lower-cases what it searches for, and LIKE is case-sensitive.
// Window staff YF_PYCKRY (PYCKBH YGBH00 RYZT00 HDZT00):
//   (1,1001,'1','1') (1,1002,'1','0') (2,1003,'1','1') (2,1004,'0','0') (5,1011,'1','1') (5,1012,'1','0')
//   Checkers (VW_PY_CKHDRY): 1001, 1003, 1011.
// CA binding BM_SZZSXX: 1001 (OPENID 'openid-1001').
//
// Patients BM_BRXXB0 100001..100010: 王建国 李秀英 张伟 刘芳 陈杰 杨丽 黄强 赵敏 周勇 吴静
//   (sex alternating 男/女 from 100001). Cards IC_YHXX00: ICKH00 'C' + id, ICKNBH 'N' + id,
//   KMH000 'M' + id, ZT0000 1, KLDH00 'SLE4442'. Registrations SF_BRXXB0: today GHID00 =
//   GHH000 = 300000 + n (n = id - 100000), yesterday 310000 + n; patient 100009's registration
//   today is a network one (SJLY00 '2'). One-card accounts SF_BRZHXX: 100001..100005 hold one
//   (YBSBK0 '1'); balances 500, 500, 19.99, 20, 100.
// Allergies XT_BRGMJL: 100005 drug '青霉素'; 100002 food '海鲜'. YS_MZBLWS: GHH000 300005
//   GMS000 '青霉素过敏'. Vital signs YS_BRTZXX for registrations 300001..300005.
//
// Drugs BM_YD0000 5001..5014 western, 5015..5020 herbs. High-alert (SFGW00 '1'): 5005
//   氯化钾注射液, 5006 胰岛素注射液. Skin test: 5003 阿莫西林胶囊 (PSLBID '1', TYMBH0 'PS01'),
//   5004 注射用头孢呋辛钠 (PSLBID '2', TYMBH0 'PS02').
// Dispensing categories BM_PYLB00 / PYLBBH: '1' 西药 '2' 中草药 '3' 中成药 '4' 全成分
//   '5' 全成分 '6' 代煎.
//
// Prescriptions: CFLSH0 = "10000000000000" + two digits nn (16 digits). nn 01..30 are today's
// queue (PHRQ00 = T, charged today), 31..35 yesterday's queue (PHRQ00 = Y), 36..37 paid today
// without a queue entry. Queue entries YF_CFDL00 (nn patient pharmacy dispensing-window
// issuing-window FYDLXH state PYLBBH, notes):
//   01 100001 101 1 3  1 '0' 1        02 100001 101 1 3  1 '0' 1 (group with 01)
//   03 100002 101 1 3  2 '0' 1        04 100003 101 2 4  1 '0' 1
//   05 100004 101 1 3  3 '1' 1        06 100004 101 1 3  3 '1' 3 (group with 05)
//   07 100005 101 1 3  4 '1' 1 skin-test drug 5003 (SFPS00 '1')
//   08 100006 101 1 3  5 '1' 1 high-alert drug 5005 (SFGW00 '1')
//   09 100007 101 2 4  2 '1' 1 no print date (DYRQ00 null); light retry count 2
//   10 100008 101 2 4  3 '1' 1
//   11 100009 101 1 3  6 '4' 1 DYSJ00 14:00:00    12 100010 101 2 4 4 '4' 1 DYSJ00 15:30:00
//   13 100002 101 1 3  7 '4' 1 DYSJ00 09:00:00 (already past at 10:30)
//   14 100001 101 1 3  8 '2' 1 dispenser 1001, checker 1002, JHXH00 1
//   15 100003 101 1 3  9 '2' 1 JHXH00 2          16 100005 101 2 4 5 '2' 1 JHXH00 1
//   17 100006 101 2 4  6 '2' 1 returned to the doctor (THBZ00 '1')
//   18 100007 101 1 3 10 '2' 1 refund: negative amount, BCCFH0 = prescription 34
//   19 100008 101 1 3 11 '3' 1        20 100009 101 2 4 7 '3' 1 issued by card read (DKFYBZ '1')
//   21 100010 101 1 3 12 '3' 1 shared-pharmacy prescription (WGCFBZ '3', YF_GXMZCF row)
//   22 100004 101 1 3 13 '2' 1        23 100004 101 1 3 13 '2' 3 (group with 22)
//   24 100002 102 5 6  1 '0' 2        25 100003 102 5 6  2 '1' 2 (7 doses)
//   26 100005 102 5 6  3 '1' 6 decoction, fee not charged (5 doses)
//   27 100006 102 5 6  4 '4' 4 全成分, DYSJ00 16:00:00
//   28 100007 102 5 6  5 '2' 6 decoction, fee charged (3 doses, YJ_YW0000/SF_FYMX00 rows,
//      JZDH00 0); decoction record YF_JYXXB0 JYDH00 1 (LYRQ00 T, BZJHM0 'BZJ003')
//   29 100008 102 5 6  6 '3' 5        30 100001 102 5 6 7 '2' 2
//   31..34 patients 100001..100004, 101, windows 1/3, FYDLXH 1..4, state '3' (issued yesterday)
//   35 100010 101 1 3  5 '2' (dispensed yesterday, never issued)
//   36 100009 101 paid today (CFZT00 '1'), network registration, no queue entry
//   37 100010 101 paid today, no queue entry, circulated prescription (WGCFBZ '2', YF_MZLZCF '0')
// Issued entries (state '3') carry issuer 1002 (pharmacy 101) / 1012 (102), and their
// YF_MZCF00.CFZT00 is '2' with FYRQ00 set; the others CFZT00 '1'. Entries in '1'/'2'/'3' are
// printed (DYRQ00 = queue date, DYSJ00 08:00:00) unless noted. Dispensed and issued entries
// carry dispenser 1001 (101) / 1011 (102) and checker 1002 / 1012 (on YF_MZCF00); call order
// JHXH00 counts per issuing window. Returned prescription 17: THBZ00 '1', THYY00 '医生开错处方'.
// Every prescription has 1 to 3 lines (herbal ones 4 to 6), YF_MZCFMX.CFID00 = nn * 10 + k
// (k from 1), mirrored in YS_CFMXB0; and a YS_CFXXB0 row.
// RCACCEPT rows for 05..10 (LZH000 empty). YF_RCMZPYZT: 09 -> 2.
//
// Dictionary BM_TYZD00: every category the module reads, with working values (all switches
// off: "0"/"N"); return reasons 门诊审方退回原因 01..03 (LBBZ00 '0') and 04 (LBBZ00 '1'),
// 退回原因 01..03. XT_XTCS00: XT_SRFSLXSCT 'Y', IC_SFDM '8000000001', IC_YBYYJKLM
// 'FNWND360', IC_BBH '1', PY_DJFDJ0 '5' (decoction fee per dose).
// Input assist: VW_BM_SRF000 '员工' (SRFID0 1, over BM_YGBM00), XT_ZDZDDZ PFR000/FHR001 -> '员工'.
// ==========================================================================
#pragma once

#include <QDate>
#include <QString>

struct sqlite3;

namespace hisdb {

// The clock tests set before seeding the fixture.
inline constexpr const char *kFixtureNow = "2025-03-05 10:30:00";

struct SeedOptions {
    unsigned int randomSeed = 20240305;  // same seed, same hospital
    int prescriptionsPerDay = 10000;     // today's queue size
    int daysOfHistory = 2;               // earlier days for the query list (smaller queues)
    QDate today;                         // null: the date of hisdb::nowText()
};

// The demo hospital: two pharmacies (western, herbal) with dispensing and
// issuing windows, clinical departments and doctors, about 2,000 patients
// with cards, a few hundred drugs, and a queue of prescriptionsPerDay for
// today over every window and state, plus the previous days.
bool seedDemo(sqlite3 *db, const SeedOptions &options, QString *error);

// The small fixture documented above.
bool seedFixture(sqlite3 *db, QString *error);

}  // namespace hisdb
