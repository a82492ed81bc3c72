#include "HostConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QSysInfo>

namespace shell {

QByteArray toGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QString HostConfig::printMode() const
{
    for (const LoginSettingEntry &e : loginSettings) {
        if (e.section.compare(QLatin1String("PRINTER"), Qt::CaseInsensitive) == 0
            && e.key.compare(QLatin1String("PRINTMODE"), Qt::CaseInsensitive) == 0) {
            if (e.value == QLatin1String("P") || e.value == QLatin1String("V")
                || e.value == QLatin1String("D"))
                return e.value;
            return QStringLiteral("P");
        }
    }
    return QStringLiteral("P");
}

namespace {

enum class Section { None, Operator, Department, Host, UserOptions, SysParams1, SysParams2, Rights, Login, Unknown };

bool parseFlag(const QString &text, bool *value)
{
    const QString t = text.trimmed().toUpper();
    if (t == QLatin1String("1") || t == QLatin1String("Y") || t == QLatin1String("TRUE")) {
        *value = true;
        return true;
    }
    if (t == QLatin1String("0") || t == QLatin1String("N") || t == QLatin1String("FALSE")) {
        *value = false;
        return true;
    }
    return false;
}

}  // namespace

HostConfig parseHostConfig(const QByteArray &bytes, const QString &fileName)
{
    HostConfig config;
    config.machineName = QSysInfo::machineHostName();

    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        config.problems << QStringLiteral("%1: 文件不是 UTF-8 编码，已按 GBK 读取").arg(fileName);
        text = fromGbk(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    Section section = Section::None;
    QString loginSection;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const QString where = QStringLiteral("%1:%2").arg(fileName).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3) {
                config.problems << QStringLiteral("%1: 节名不完整: %2").arg(where, line);
                section = Section::Unknown;
                continue;
            }
            const QString name = line.mid(1, line.size() - 2).trimmed();
            const QString upper = name.toUpper();
            if (upper == QLatin1String("OPERATOR"))
                section = Section::Operator;
            else if (upper == QLatin1String("DEPARTMENT"))
                section = Section::Department;
            else if (upper == QLatin1String("HOST"))
                section = Section::Host;
            else if (upper == QLatin1String("USEROPTIONS"))
                section = Section::UserOptions;
            else if (upper == QLatin1String("SYSPARAMS1"))
                section = Section::SysParams1;
            else if (upper == QLatin1String("SYSPARAMS2"))
                section = Section::SysParams2;
            else if (upper == QLatin1String("RIGHTS"))
                section = Section::Rights;
            else if (upper.startsWith(QLatin1String("LOGIN/")) && !name.mid(6).trimmed().isEmpty()) {
                section = Section::Login;
                loginSection = name.mid(6).trimmed();
            } else {
                config.problems << QStringLiteral("%1: 未知的节 [%2]，其中各行被忽略").arg(where, name);
                section = Section::Unknown;
            }
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            config.problems << QStringLiteral("%1: 不是 键=值 格式: %2").arg(where, line);
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        const QString ukey = key.toUpper();

        auto readInt = [&](int *target) {
            bool ok = false;
            const int v = value.toInt(&ok);
            if (ok)
                *target = v;
            else
                config.problems << QStringLiteral("%1: %2 不是整数: %3").arg(where, key, value);
        };
        auto unknownKey = [&]() {
            config.problems << QStringLiteral("%1: 未知的键 %2").arg(where, key);
        };

        switch (section) {
        case Section::None:
            config.problems << QStringLiteral("%1: 键 %2 不在任何节中").arg(where, key);
            break;
        case Section::Unknown:
            break;
        case Section::Operator:
            if (ukey == QLatin1String("ID"))
                readInt(&config.operatorId);
            else if (ukey == QLatin1String("CARDNO"))
                config.operatorCardNo = value;
            else if (ukey == QLatin1String("NAME"))
                config.operatorName = value;
            else
                unknownKey();
            break;
        case Section::Department:
            if (ukey == QLatin1String("ID"))
                readInt(&config.departmentId);
            else if (ukey == QLatin1String("NAME"))
                config.departmentName = value;
            else
                unknownKey();
            break;
        case Section::Host:
            if (ukey == QLatin1String("SYSTEMCODE"))
                config.systemCode = value;
            else if (ukey == QLatin1String("HOSPITALID"))
                config.hospitalId = value;
            else if (ukey == QLatin1String("MACHINENAME"))
                config.machineName = value.isEmpty() ? QSysInfo::machineHostName() : value;
            else if (ukey == QLatin1String("REPORTCONTEXT"))
                readInt(&config.reportContext);
            else
                unknownKey();
            break;
        case Section::UserOptions:
            config.userOptions.append({key, value});
            break;
        case Section::SysParams1:
            config.sysParams1.append({key, value});
            break;
        case Section::SysParams2:
            config.sysParams2.append({key, value});
            break;
        case Section::Rights: {
            const int dot = key.indexOf(QLatin1Char('.'));
            const QStringList flags = value.split(QLatin1Char(','));
            RightEntry r;
            if (dot <= 0 || dot == key.size() - 1 || flags.size() != 2
                || !parseFlag(flags.at(0), &r.visible) || !parseFlag(flags.at(1), &r.enabled)) {
                config.problems << QStringLiteral("%1: 权限行应写成 窗体类名.控件名=可见,可用 (1/0): %2")
                                       .arg(where, line);
                break;
            }
            r.formClassName = key.left(dot).trimmed();
            r.controlName = key.mid(dot + 1).trimmed();
            config.rights.append(r);
            break;
        }
        case Section::Login:
            config.loginSettings.append({loginSection, key, value});
            break;
        }
    }
    return config;
}

HostConfig loadHostConfig(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        HostConfig config = parseHostConfig(QByteArray(), path);
        config.problems << QStringLiteral("%1: 配置文件无法读取 (%2)，使用默认值").arg(path, file.errorString());
        return config;
    }
    return parseHostConfig(file.readAll(), path);
}

QByteArray exampleHostConfig()
{
    return QStringLiteral(
R"(; 门诊配药演示宿主的配置文件 (UTF-8)
;
; 宿主把这里的内容作为宿主参数记录交给 DLL_MZPY_KTRB 模块。
; 以 ; 或 # 开头的行是注释。值按原样读取，不需要引号：
; "N;N"、"1;drop,delete"、"D:\His" 都是完整的值。
; 改动后重新启动宿主生效。

[Operator]
; 操作员: 工号、卡号、姓名
Id=1001
CardNo=K1001
Name=演示药师

[Department]
; 药房: 部门编号 (BM_BMBM00.BMBH00) 和名称
Id=101
Name=门诊西药房

[Host]
SystemCode=YF
HospitalId=1001
; 本机机器名; 留空用本机的主机名
MachineName=
ReportContext=0

[UserOptions]
; 用户选项: 名称=值
RTNRUM=100
IPTDRT=N
FZSRF0=拼音码
XT_USEBACKCOLOR=N

[SysParams1]
; 第一张系统参数表: 名称=值 (值为空的项视为没有)
YF_WZTCAJK=N;N
XT_SQLPLUSSECURLEVEL=0

[SysParams2]
; 第二张系统参数表: 第一张表里没有或为空时才查这里

[Rights]
; 功能权限: 窗体类名.控件名=可见,可用 (1 或 0)，按顺序应用
; TfrmPY_MZPYXT.btnFY=1,0

; 登录设置: 每个节 [Login/节名] 下写 键=值
[Login/PRINTER]
; 打印方式: P 打印, V 预览, D 设计
PRINTMODE=P

[Login/ICK]
COM=1
ICKJ=
BRKL=ALL
CWXSFS=1
)")
        .toUtf8();
}

bool writeExampleHostConfig(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 已存在").arg(path);
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("无法建立文件夹 %1").arg(folder);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(exampleHostConfig()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

HostParamsRecord::HostParamsRecord(const HostConfig &config)
{
    fillPairs(config.userOptions, m_userOptions);
    fillPairs(config.sysParams1, m_sysParams1);
    fillPairs(config.sysParams2, m_sysParams2);

    m_rights.reserve(size_t(config.rights.size()));
    for (const RightEntry &r : config.rights) {
        HisRightEntry e{};
        e.formClassName = keep(r.formClassName);
        e.controlName = keep(r.controlName);
        e.text1 = e.text2 = e.text3 = e.text4 = keep(QString());
        e.visible = r.visible ? 1 : 0;
        e.enabled = r.enabled ? 1 : 0;
        m_rights.push_back(e);
    }

    m_loginItems.reserve(size_t(config.loginSettings.size()));
    for (const LoginSettingEntry &l : config.loginSettings) {
        HisLoginSetting s{};
        s.section = keep(l.section);
        s.key = keep(l.key);
        s.value.kind = HIS_VT_TEXT;
        s.value.text = keep(l.value);
        m_loginItems.push_back(s);
    }

    m_paramSet.userOptions = m_userOptions.data();
    m_paramSet.userOptionCount = int32_t(m_userOptions.size());
    m_paramSet.sysParams1 = m_sysParams1.data();
    m_paramSet.sysParams1Count = int32_t(m_sysParams1.size());
    m_paramSet.sysParams2 = m_sysParams2.data();
    m_paramSet.sysParams2Count = int32_t(m_sysParams2.size());
    m_paramSet.rights = m_rights.data();
    m_paramSet.rightsCount = int32_t(m_rights.size());

    m_loginSettings.items = m_loginItems.data();
    m_loginSettings.count = int32_t(m_loginItems.size());

    m_params.operatorId = config.operatorId;
    m_params.operatorCardNo = keep(config.operatorCardNo);
    m_params.operatorName = keep(config.operatorName);
    m_params.departmentId = config.departmentId;
    m_params.departmentName = keep(config.departmentName);
    m_params.systemCode = keep(config.systemCode);
    m_params.hospitalId = keep(config.hospitalId);
    m_params.paramSet = &m_paramSet;
    m_params.loginSettings = &m_loginSettings;
    m_params.machineName = keep(config.machineName);
    m_params.reportContext = config.reportContext;
}

const char *HostParamsRecord::keep(const QString &text)
{
    // A deque never moves its elements, and a QByteArray that is not touched
    // again keeps its data where it is.
    m_texts.push_back(toGbk(text));
    return m_texts.back().constData();
}

void HostParamsRecord::fillPairs(const NameValueList &list, std::vector<HisNameValue> &out)
{
    out.reserve(size_t(list.size()));
    for (const auto &p : list)
        out.push_back(HisNameValue{keep(p.first), keep(p.second)});
}

}  // namespace shell
