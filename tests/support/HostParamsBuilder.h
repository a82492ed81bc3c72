// Builds a host parameter record the way a host fills it: GBK strings,
// the parameter tables, rights and login settings, all owned by the builder.
#pragma once

#include "DLL_MZPY_KTRB.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <vector>

class HostParamsBuilder {
public:
    HostParamsBuilder();
    HostParamsBuilder(const HostParamsBuilder &) = delete;
    HostParamsBuilder &operator=(const HostParamsBuilder &) = delete;

    HostParamsBuilder &operatorInfo(int id, const QString &cardNo, const QString &name);
    HostParamsBuilder &department(int id, const QString &name);
    HostParamsBuilder &machine(const QString &name);
    HostParamsBuilder &systemCode(const QString &code);
    HostParamsBuilder &sysParam(const QString &name, const QString &value, int table = 1);
    HostParamsBuilder &userOption(const QString &name, const QString &value);
    HostParamsBuilder &right(const QString &form, const QString &control, bool visible, bool enabled);
    HostParamsBuilder &loginSetting(const QString &section, const QString &key, const QString &value);
    HostParamsBuilder &loginSettingInt(const QString &section, const QString &key, long long value);

    // The record; valid while the builder lives. Rebuilt on every call.
    const HisHostParams *params();

private:
    const char *keep(const QString &text);
    std::deque<QByteArray> m_strings;
    std::vector<HisNameValue> m_sys1, m_sys2, m_options;
    std::vector<HisRightEntry> m_rights;
    std::vector<HisLoginSetting> m_login;
    HisHostParamSet m_set{};
    HisLoginSettings m_settings{};
    HisHostParams m_params{};
};
