// A temporary host folder, a fixed clock and a recording prompt service for
// each test of the shared services.
#pragma once

#include "common/Codec.h"
#include "common/Env.h"
#include "common/Prompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

class CommonFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        mzpy::setHostDir(tmp.path());
        clockAt = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 3, 45));
        mzpy::setClock([this] { return clockAt; });
        recorder = std::make_shared<mzpy::RecordingPromptService>();
        mzpy::setPromptService(recorder);
    }
    void TearDown() override
    {
        mzpy::setPromptService(nullptr);
        mzpy::setClock({});
        mzpy::setHostDir(QString());
    }

    QString path(const QString &relative) const { return tmp.path() + QLatin1Char('/') + relative; }
    QByteArray readBytes(const QString &relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeBytes(const QString &relative, const QByteArray &bytes) const
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QTemporaryDir tmp;
    QDateTime clockAt;
    std::shared_ptr<mzpy::RecordingPromptService> recorder;
};
