#include "HostParamsBuilder.h"

#include <QStringEncoder>

HostParamsBuilder::HostParamsBuilder()
{
    operatorInfo(1001, QStringLiteral("YG1001"), QStringLiteral("张药师"));
    department(201, QStringLiteral("门诊西药房"));
    machine(QStringLiteral("PC-TEST"));
    systemCode(QStringLiteral("R"));
}

const char *HostParamsBuilder::keep(const QString &text)
{
    QStringEncoder enc("GBK");
    m_strings.push_back(enc.encode(text));
    return m_strings.back().constData();
}

HostParamsBuilder &HostParamsBuilder::operatorInfo(int id, const QString &cardNo, const QString &name)
{
    m_params.operatorId = id;
    m_params.operatorCardNo = keep(cardNo);
    m_params.operatorName = keep(name);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::department(int id, const QString &name)
{
    m_params.departmentId = id;
    m_params.departmentName = keep(name);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::machine(const QString &name)
{
    m_params.machineName = keep(name);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::systemCode(const QString &code)
{
    m_params.systemCode = keep(code);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::sysParam(const QString &name, const QString &value, int table)
{
    (table == 2 ? m_sys2 : m_sys1).push_back({keep(name), keep(value)});
    return *this;
}

HostParamsBuilder &HostParamsBuilder::userOption(const QString &name, const QString &value)
{
    m_options.push_back({keep(name), keep(value)});
    return *this;
}

HostParamsBuilder &HostParamsBuilder::right(const QString &form, const QString &control, bool visible, bool enabled)
{
    HisRightEntry e{};
    e.formClassName = keep(form);
    e.controlName = keep(control);
    e.visible = visible ? 1 : 0;
    e.enabled = enabled ? 1 : 0;
    m_rights.push_back(e);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::loginSetting(const QString &section, const QString &key, const QString &value)
{
    HisLoginSetting s{};
    s.section = keep(section);
    s.key = keep(key);
    s.value.kind = HIS_VT_TEXT;
    s.value.text = keep(value);
    m_login.push_back(s);
    return *this;
}

HostParamsBuilder &HostParamsBuilder::loginSettingInt(const QString &section, const QString &key, long long value)
{
    HisLoginSetting s{};
    s.section = keep(section);
    s.key = keep(key);
    s.value.kind = HIS_VT_INT;
    s.value.intValue = value;
    m_login.push_back(s);
    return *this;
}

const HisHostParams *HostParamsBuilder::params()
{
    m_set.sysParams1 = m_sys1.data();
    m_set.sysParams1Count = int(m_sys1.size());
    m_set.sysParams2 = m_sys2.data();
    m_set.sysParams2Count = int(m_sys2.size());
    m_set.userOptions = m_options.data();
    m_set.userOptionCount = int(m_options.size());
    m_set.rights = m_rights.data();
    m_set.rightsCount = int(m_rights.size());
    m_settings.items = m_login.data();
    m_settings.count = int(m_login.size());
    m_params.paramSet = &m_set;
    m_params.loginSettings = &m_settings;
    return &m_params;
}
