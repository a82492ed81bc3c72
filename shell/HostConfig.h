// The demo host's configuration: who is logged on, where, and how the
// hospital has set the system up. Read from a small UTF-8 INI file and turned
// into the host parameter record the module receives.
//
// The file is read by its own reader, not QSettings: system parameter values
// such as "N;N", "1;drop,delete" or "D:\His" must arrive exactly as written,
// and QSettings would cut them at ';' and eat the backslashes.
#pragma once

#include "DLL_MZPY_KTRB.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace shell {

using NameValueList = QList<QPair<QString, QString>>;

struct RightEntry {
    QString formClassName;
    QString controlName;
    bool visible = true;
    bool enabled = true;
};

struct LoginSettingEntry {
    QString section;
    QString key;
    QString value;
};

struct HostConfig {
    int operatorId = 0;
    QString operatorCardNo;
    QString operatorName;
    int departmentId = 0;
    QString departmentName;
    QString systemCode;
    QString hospitalId;
    QString machineName;
    int reportContext = 0;
    NameValueList userOptions;
    NameValueList sysParams1;
    NameValueList sysParams2;
    QList<RightEntry> rights;
    QList<LoginSettingEntry> loginSettings;

    // One line per fault found while reading ("file:line: what"). Faulty
    // lines are skipped; everything else in the file still applies.
    QStringList problems;

    // The print mode the module will use: the login setting PRINTER/PRINTMODE
    // when it is exactly "P", "V" or "D", else "P".
    QString printMode() const;
};

// Reads a configuration file. A missing or unreadable file gives the
// defaults and a problem line; the file is never written.
HostConfig loadHostConfig(const QString &path);

// Parses configuration text (file name only for the messages).
HostConfig parseHostConfig(const QByteArray &bytes, const QString &fileName);

// The commented example configuration written on first start.
QByteArray exampleHostConfig();

// Writes the example configuration (creating the folder). Fails when the
// file exists: an existing configuration is never replaced.
bool writeExampleHostConfig(const QString &path, QString *error);

// The host parameter record built from a configuration. It owns every GBK
// string and table the record points to; the addresses stay valid for the
// object's lifetime. Not copyable.
class HostParamsRecord {
public:
    explicit HostParamsRecord(const HostConfig &config);
    HostParamsRecord(const HostParamsRecord &) = delete;
    HostParamsRecord &operator=(const HostParamsRecord &) = delete;

    const HisHostParams *params() const { return &m_params; }

private:
    const char *keep(const QString &text);
    void fillPairs(const NameValueList &list, std::vector<HisNameValue> &out);

    std::deque<QByteArray> m_texts;
    std::vector<HisNameValue> m_userOptions;
    std::vector<HisNameValue> m_sysParams1;
    std::vector<HisNameValue> m_sysParams2;
    std::vector<HisRightEntry> m_rights;
    std::vector<HisLoginSetting> m_loginItems;
    HisHostParamSet m_paramSet{};
    HisLoginSettings m_loginSettings{};
    HisHostParams m_params{};
};

// GBK bytes of a text, the encoding of everything that crosses to the module.
QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);

}  // namespace shell
