#pragma once
// Test helper: answers the message boxes a widget test provokes and records them, so a
// test never hangs on a modal dialog. Boxes that appear while no answerer is armed are
// closed as well and reported as unexpected.
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
};

class ModalAnswerer : public QObject {
    Q_OBJECT

public:
    ModalAnswerer();
    const QVector<SeenMessage>& seen() const { return m_seen; }
    void clear() { m_seen.clear(); }

private slots:
    void poll();

private:
    QTimer m_timer;
    QVector<SeenMessage> m_seen;
};
