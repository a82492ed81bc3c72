// A host main window for tests: registers itself as the application's
// "HisMainWindow" and records every host message it receives, decoded.
#pragma once

#include "HisHostMessage.h"

#include <QApplication>
#include <QStringDecoder>
#include <QStringList>
#include <QWidget>

class MessageSink : public QWidget {
public:
    MessageSink()
    {
        qApp->setProperty(HIS_MAIN_WINDOW_PROPERTY, QVariant::fromValue<QObject *>(this));
    }
    ~MessageSink() override { qApp->setProperty(HIS_MAIN_WINDOW_PROPERTY, QVariant()); }

    QStringList messages;
    QList<QByteArray> raw;
    QList<HisCopyData> records;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == HisCopyDataEventType) {
            auto *cd = static_cast<HisCopyDataEvent *>(e);
            const QByteArray bytes(static_cast<const char *>(cd->copyData.lpData), int(cd->copyData.cbData));
            raw.append(bytes);
            records.append(cd->copyData);
            QStringDecoder dec("GBK");
            messages.append(dec.decode(bytes));
            cd->result = 1;
            return true;
        }
        return QWidget::event(e);
    }
};
