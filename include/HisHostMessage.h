/*
 * Host messages: how the module reaches the host's main window.
 *
 * The host names its main window by setting the application property
 * "HisMainWindow" to a QObject* (QVariant::fromValue<QObject*>(mainWindow)),
 * and clears it (an invalid QVariant) before that window goes away. A host
 * without a main window receives no messages; the module does not fail.
 *
 * Each message is sent with QCoreApplication::sendEvent as a HisCopyDataEvent:
 * synchronous, handled before the module's call returns. wParam is 0; in the
 * copy-data record both dwData and cbData hold the text's length in bytes and
 * lpData points to the GBK text followed by one zero byte that is not
 * counted. The data is valid only while the event is being handled.
 */
#ifndef HIS_HOST_MESSAGE_H
#define HIS_HOST_MESSAGE_H

#include <QEvent>
#include <stdint.h>

#define HIS_MAIN_WINDOW_PROPERTY "HisMainWindow"

struct HisCopyData {
    uintptr_t dwData;
    uint32_t cbData;
    const void *lpData;
};

/* WM_COPYDATA counterpart. */
constexpr QEvent::Type HisCopyDataEventType = QEvent::Type(QEvent::User + 0x4A);

class HisCopyDataEvent : public QEvent {
public:
    explicit HisCopyDataEvent(const HisCopyData &data)
        : QEvent(HisCopyDataEventType), copyData(data) {}
    uintptr_t wParam = 0;
    HisCopyData copyData;
    /* The host sets this to answer the message (the copy-data result). */
    intptr_t result = 0;
};

#endif
